// Reading the help text and fitting it on its pages.
#include <gtest/gtest.h>

#include "resources/artwork/help_pages.h"
#include "resources/artwork/text.h"

namespace {

TEST(HelpText, ReadsPagesParagraphsAndListItems) {
  const std::string text =
      "# First\n"
      "A paragraph\n"
      "on two lines.\n"
      "\n"
      "- **Item** one\n"
      "  continued\n"
      "- Item two\r\n"
      "\n"
      "# Second\n"
      "Only text.\n";
  std::vector<artwork::HelpPage> pages;
  std::string error;
  ASSERT_TRUE(artwork::parseHelpText(text, pages, error)) << error;
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].title, "First");
  ASSERT_EQ(pages[0].blocks.size(), 3u);
  EXPECT_FALSE(pages[0].blocks[0].listItem);
  EXPECT_EQ(pages[0].blocks[0].text, "A paragraph on two lines.");
  EXPECT_TRUE(pages[0].blocks[1].listItem);
  EXPECT_EQ(pages[0].blocks[1].text, "**Item** one   continued");
  EXPECT_EQ(pages[0].blocks[2].text, "Item two");
  EXPECT_EQ(pages[1].title, "Second");
  ASSERT_EQ(pages[1].blocks.size(), 1u);
}

TEST(HelpText, RefusesMalformedText) {
  const char* const cases[] = {"", "Text before any title\n# Title\nText\n",
                               "# Title without text\n", "# One\nText\n# \nText\n"};
  for (const char* text : cases) {
    std::vector<artwork::HelpPage> pages;
    std::string error;
    EXPECT_FALSE(artwork::parseHelpText(text, pages, error)) << text;
    EXPECT_FALSE(error.empty());
  }
}

// Text that does not fit is refused rather than cut off at the footer.
TEST(HelpPage, RefusesTextLongerThanThePage) {
  const artwork::Fonts fonts(artwork::defaultFontDirectory());
  ASSERT_TRUE(fonts.ok()) << fonts.error();
  artwork::HelpPage page{"Long", {}};
  std::string paragraph;
  for (int i = 0; i < 12; ++i) paragraph += "Every word of this sentence takes room on the page. ";
  artwork::Canvas canvas(1, 1, {});
  std::string error;
  page.blocks.push_back({false, paragraph});
  EXPECT_TRUE(artwork::drawHelpPage(fonts, page, 1, 2, canvas, error)) << error;
  EXPECT_EQ(canvas.width(), 460);
  for (int i = 0; i < 3; ++i) page.blocks.push_back({true, paragraph});
  EXPECT_FALSE(artwork::drawHelpPage(fonts, page, 1, 2, canvas, error));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;
}

}  // namespace
