// Text labels: the format dialect, the 255-byte text buffer, colours, the font's lifetime, and
// where and how the text is drawn.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <functional>
#include <string>

#include "controls/control_group.h"
#include "controls/label_format.h"
#include "controls/text_label.h"
#include "tests/controls/window_fixture.h"

namespace {

// Composes into a buffer guarded by canary bytes, which must survive every format.
std::string compose(const char* format, ...) {
  char buffer[TextLabel::TextCapacity + 8];
  std::memset(buffer, '#', sizeof buffer);
  std::strcpy(buffer, "old");
  va_list args;
  va_start(args, format);
  composeLabelText(buffer, TextLabel::TextCapacity, format, args);
  va_end(args);
  for (size_t i = TextLabel::TextCapacity; i < sizeof buffer; ++i) {
    EXPECT_EQ(buffer[i], '#') << "written past the text at " << i;
  }
  return buffer;
}

TEST(LabelFormat, ConversionsAndLiterals) {
  const std::string longA(200, 'a');
  const std::string longB(200, 'b');
  const std::string literal254(254, 'x');
  const std::string literal255(255, 'y');
  const struct {
    const char* name;
    std::function<std::string()> run;
    std::string expected;
  } cases[] = {
      {"integer and unit", [] { return compose("%i%s", 600, " mm"); }, "600 mm"},
      {"one decimal", [] { return compose("%f%s", 2.5, ""); }, "2.5"},
      {"whole number as decimal", [] { return compose("%f", 12.0); }, "12.0"},
      {"rounded to one decimal", [] { return compose("%f", 12.34); }, "12.3"},
      {"string then integer", [] { return compose("%s%i", "1:", 4); }, "1:4"},
      {"negative integer", [] { return compose("%i", -25); }, "-25"},
      {"unknown conversion takes no argument", [] { return compose("%x%i%s", 5, "a"); }, "5a"},
      {"text between conversions is ignored", [] { return compose("%i:%s", 7, "z"); }, "7"},
      {"null string prints nothing", [] { return compose("%s%i", nullptr, 3); }, "3"},
      {"literal text", [] { return compose("Print Width"); }, "Print Width"},
      {"empty literal", [] { return compose(""); }, ""},
      {"literal of 254 fits", [&] { return compose(literal254.c_str()); }, literal254},
      {"literal of 255 keeps the old text", [&] { return compose(literal255.c_str()); }, "old"},
      {"long conversions are cut at 254",
       [&] { return compose("%s%s", longA.c_str(), longB.c_str()); }, longA + std::string(54, 'b')},
  };
  for (const auto& k : cases) EXPECT_EQ(k.run(), k.expected) << k.name;
}

class LabelTest : public WindowTest {
 protected:
  // Columns in [left, right) of the label's row that show the text colour.
  int inkColumns(int left, int right, int top, COLORREF ink) const {
    return count(left, top, right, top + 12, ink);
  }
};

TEST_F(LabelTest, KeepsPreviousTextAndColours) {
  TextLabel label(0, 0, 100, 14, ControlFlags::Active, nullptr, "first", "Arial", 400, window, 0, 0,
                  0);
  EXPECT_STREQ(label.text(), "first");
  EXPECT_STREQ(label.previousText(), "first");
  EXPECT_EQ(label.textColor(), kBlack);
  EXPECT_EQ(label.backColor(), kWhite);
  label.setText("%s%i", "second ", 2);
  EXPECT_STREQ(label.text(), "second 2");
  EXPECT_STREQ(label.previousText(), "first");
  label.setText(std::string(300, 'z').c_str());
  EXPECT_STREQ(label.text(), "second 2") << "an over-long literal leaves the text";
  label.setColor(90, 91, 92);
  EXPECT_EQ(label.textColor(), RGB(90, 91, 92));
}

TEST_F(LabelTest, OwnsItsFontAndLeavesNoDrawingObjectsBehind) {
  const int before = drv::liveObjects();
  {
    TextLabel label(0, 0, 100, 14, ControlFlags::Active, nullptr, "x", "Arial", 400, window, 0, 0,
                    0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Font), 1);
    label.setText("%i", 42);
    label.setText("%i", 43);
    EXPECT_EQ(drv::liveObjects(drv::Object::DeviceContext), 0);
  }
  EXPECT_EQ(drv::liveObjects(), before);
}

// Right alignment anchors the text's right end at the parent's origin plus offsetX, whatever
// the label's own x; left alignment starts at the label's x plus offsetX.
TEST_F(LabelTest, AnchorsByAlignment) {
  const struct {
    const char* name;
    int32_t labelX;
    uint32_t align;
    int inkFrom, inkTo;      // where the text must show
    int cleanFrom, cleanTo;  // where nothing may be drawn
  } cases[] = {
      {"right aligned", 150, TA_RIGHT, 80, 110, 110, 240},
      {"left aligned", 0, TA_LEFT, 110, 140, 0, 110},
  };
  for (const auto& k : cases) {
    SetUp();
    ControlGroup parent(10, 20, 200, 50, ControlFlags::Active, nullptr);
    TextLabel label(k.labelX, 5, 40, 14, ControlFlags::Active, &parent, "", "Arial", 400, window,
                    100, 0, k.align);
    label.setText("%i", 888);
    EXPECT_GT(inkColumns(k.inkFrom, k.inkTo, 25, kBlack), 0) << k.name;
    EXPECT_EQ(inkColumns(k.cleanFrom, k.cleanTo, 25, kBlack), 0) << k.name;
    EXPECT_EQ(count(k.cleanFrom, 25, k.cleanTo, 37, kWhite), 0) << k.name << ": no box";
    TearDown();
  }
}

TEST_F(LabelTest, NewTextErasesTheOldOne) {
  TextLabel label(0, 0, 200, 14, ControlFlags::Active, nullptr, "", "Arial", 400, window, 200, 10,
                  TA_RIGHT);
  label.setText("WWWWWWWW");
  ASSERT_GT(inkColumns(120, 180, 10, kBlack), 0);
  label.setText("%i", 1);
  EXPECT_EQ(inkColumns(100, 185, 10, kBlack), 0) << "the wide old text is gone";
  EXPECT_GT(count(120, 10, 180, 22, kWhite), 0) << "wiped in the background colour";
  EXPECT_GT(inkColumns(185, 200, 10, kBlack), 0);
}

// A line wider than the label's fit width is drawn in a smaller height so that it stays inside
// that room, on the full-height cell's line; a line that fits is drawn as without a limit, and
// every line is erased in the height it was drawn in.
TEST_F(LabelTest, FitWidthShrinksOnlyTheLinesThatDoNotFit) {
  const char* const wide = "Digital Camera (mid range)";
  auto drawn = [this](int32_t fitWidth, const char* text) {
    clearWindow();
    TextLabel label(0, 0, 200, 14, ControlFlags::Active, nullptr, "", "Arial", 400, window, 200, 10,
                    TA_RIGHT);
    label.setFitWidth(fitWidth);
    label.setText(text);
    EXPECT_EQ(inkSpan(0, 22, 240, 40).first, -1) << text << ": nothing below the cell";
    return inkSpan(0, 0, 240, 22);
  };
  const Span unlimited = drawn(0, wide);
  ASSERT_LT(unlimited.first, 100) << "the wide line needs more than the room below";

  const Span fitted = drawn(100, wide);
  EXPECT_GE(fitted.first, 100) << "the line starts inside the room";
  EXPECT_LT(fitted.last, 200);
  EXPECT_GT(fitted.last - fitted.first, 60) << "still a line of text, not a speck";

  const Span plain = drawn(0, "average"), limited = drawn(100, "average");
  EXPECT_EQ(limited.first, plain.first) << "a line that fits keeps the label's height";
  EXPECT_EQ(limited.last, plain.last);

  clearWindow();
  TextLabel label(0, 0, 200, 14, ControlFlags::Active, nullptr, "", "Arial", 400, window, 200, 10,
                  TA_RIGHT);
  label.setFitWidth(100);
  label.setText(wide);
  label.setText("APS");
  EXPECT_GT(inkSpan(0, 0, 240, 22).first, 170) << "the shrunk line is erased whole";
}

}  // namespace
