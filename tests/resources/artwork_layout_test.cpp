// The pictures against the windows that show them: what the dialogs draw over the background
// must land on white, the marks under the click areas must be there, and the About window's
// grey lines must have a light place to go.
#include <gtest/gtest.h>

#include "resource_files.h"

namespace {

using namespace resources_test;

struct Area {
  const char* what;
  int x, y, w, h;
};

// Counts the pixels of the area that are not pure white.
int nonWhitePixels(const artwork::DecodedBitmap& b, const Area& a) {
  int count = 0;
  for (int y = a.y; y < a.y + a.h; ++y) {
    for (int x = a.x; x < a.x + a.w; ++x) count += pixelAt(b, x, y) != artwork::Rgb{255, 255, 255};
  }
  return count;
}

// The value fields, the status lines and the zoom factor paint their text on an opaque white,
// and the preview pane clears itself to white when the picture shrinks: the background under
// them has to be white too, or every label would sit in a white box.
TEST(DialogBackground, PlacesTheControlsPaintOnAreWhite) {
  const auto background = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(background.width, 500);
  const Area areas[] = {{"preview pane", 232, 71, 252, 218},
                        {"value fields and step selectors", 10, 93, 200, 212},
                        {"status lines", 28, 361, 456, 53},
                        {"zoom factor (one cell of the 12-pixel font)", 442, 57, 19, 12}};
  for (const Area& a : areas) EXPECT_EQ(nonWhitePixels(background, a), 0) << a.what;
}

TEST(DialogBackground, FramesThePreviewPane) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, 500);
  const int cx = 232 + 126, cy = 71 + 109;
  for (auto [x, y] : {std::pair{231, cy}, {484, cy}, {cx, 70}, {cx, 289}}) {
    EXPECT_LT(luminance(pixelAt(b, x, y)), 230) << "no frame at " << x << "," << y;
  }
}

// "+" has a vertical bar through the centre of its click area, "-" has none.
TEST(DialogBackground, ZoomMarksSitUnderTheirClickAreas) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, 500);
  struct Mark {
    int x, y;
    bool plus;
  };
  for (const Mark& m : {Mark{462, 57, true}, Mark{475, 57, false}}) {
    SCOPED_TRACE(m.plus ? "+" : "-");
    EXPECT_LT(luminance(pixelAt(b, m.x + 3, m.y + 4)), 100) << "horizontal bar";
    EXPECT_LT(luminance(pixelAt(b, m.x + 6, m.y + 4)), 100) << "horizontal bar";
    EXPECT_EQ(luminance(pixelAt(b, m.x + 4, m.y + 2)) < 100, m.plus) << "vertical bar";
  }
}

// Pressing V writes the build date in white at (400, 10), 14 pixels high.
TEST(DialogBackground, BuildDateLandsOnDarkGround) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, 500);
  for (int y = 10; y < 26; ++y) {
    for (int x = 400; x < 490; ++x) ASSERT_LT(luminance(pixelAt(b, x, y)), 80) << x << "," << y;
  }
}

TEST(AboutPicture, TextAreaIsQuietAndLight) {
  const auto b = committedBitmap("ABOUT_BITMAP");
  ASSERT_EQ(b.width, 350);
  // Three lines of 14-pixel text from (214, 219), (214, 245) and (214, 257).
  for (int y = 219; y < 273; ++y) {
    for (int x = 214; x < 345; ++x) ASSERT_GT(luminance(pixelAt(b, x, y)), 235) << x << "," << y;
  }
}

struct NavigationSpot {
  const char* what;
  int x, y, w, h;
};

const NavigationSpot kBack{"back", 384, 323, 20, 20};
const NavigationSpot kClose{"close", 412, 323, 15, 20};
const NavigationSpot kNext{"next", 427, 323, 20, 20};

int darkestIn(const artwork::DecodedBitmap& b, const NavigationSpot& s) {
  int darkest = 255;
  for (int y = s.y; y < s.y + s.h; ++y) {
    for (int x = s.x; x < s.x + s.w; ++x) darkest = std::min(darkest, luminance(pixelAt(b, x, y)));
  }
  return darkest;
}

// Each of the help window's three click areas shows its mark, inside the area.
TEST(HelpPages, NavigationMarksSitInTheClickAreas) {
  for (int page = 1; page <= 9; ++page) {
    SCOPED_TRACE(page);
    const auto b = committedBitmap("FILTER_HELP_BITMAP" + std::to_string(page));
    ASSERT_EQ(b.width, 460);
    for (const NavigationSpot& s : {kBack, kClose, kNext}) {
      EXPECT_LT(darkestIn(b, s), 215) << s.what << " mark missing";
      const int cx = s.x + s.w / 2, cy = s.y + s.h / 2;
      EXPECT_NE(pixelAt(b, cx, cy), (artwork::Rgb{255, 255, 255})) << s.what << " mark off centre";
    }
  }
}

// There is nothing before the first page and nothing after the last: their marks are dimmed.
TEST(HelpPages, MarksWithNowhereToGoAreDimmed) {
  const auto first = committedBitmap("FILTER_HELP_BITMAP1");
  const auto middle = committedBitmap("FILTER_HELP_BITMAP5");
  const auto last = committedBitmap("FILTER_HELP_BITMAP9");
  ASSERT_EQ(first.width, 460);
  EXPECT_GT(darkestIn(first, kBack), darkestIn(middle, kBack) + 60);
  EXPECT_GT(darkestIn(last, kNext), darkestIn(middle, kNext) + 60);
  EXPECT_EQ(darkestIn(first, kNext), darkestIn(middle, kNext));
}

}  // namespace
