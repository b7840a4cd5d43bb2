// Number entry: digit by digit arithmetic, what is committed and reported, leaving, and the
// number box's fresh state, colours and focus handling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/number_box.h"
#include "controls/window_panel.h"
#include "tests/controls/window_fixture.h"

namespace {

constexpr char16_t kBackspace = 8;

// A value callback that records every value and answers 0x200.
ValueCallback recordValue(std::vector<int32_t>& reported) {
  return [&reported](int32_t value) {
    reported.push_back(value);
    return 0x200u;
  };
}

uint32_t typeKeys(NumberEditor& editor, const std::u16string& keys) {
  uint32_t result = 0;
  for (char16_t c : keys) result |= editor.key(c);
  return result;
}

TEST(NumberEditor, DigitEntry) {
  const struct {
    const char* name;
    int32_t scale, minimum, maximum, initial;
    bool fresh;
    std::u16string keys;
    int32_t value, committed;
    std::vector<int32_t> reported;
  } cases[] = {
      {"fresh entry replaces the number", 0, 1, 600, 25, true, u"7", 7, 7, {7}},
      {"a second digit extends it", 0, 1, 600, 25, true, u"70", 70, 70, {7, 70}},
      {"a digit beyond the range is ignored", 0, 1, 600, 25, true, u"700", 70, 70, {7, 70}},
      {"without a fresh start digits append", 0, 1, 600, 25, false, u"3", 253, 253, {253}},
      {"backspace to zero shows but does not commit", 0, 1, 600, 25, true, u"7\b", 0, 7, {7}},
      {"backspace truncates", 0, 1, 600, 253, false, u"\b", 25, 25, {25}},
      {"sign change out of range is not committed", 0, 1, 600, 25, false, u"-", -25, 25, {}},
      {"sign change within range is committed", 0, -100, 100, 25, false, u"-", -25, -25, {-25}},
      {"digits grow a negative number's magnitude",
       0,
       -1000,
       1000,
       3,
       false,
       u"-4",
       -34,
       -34,
       {-3, -34}},
      {"other keys change nothing", 0, 1, 600, 25, false, u"x.\r\x1f", 25, 25, {}},
      {"fixed point: integer then fraction", 10, 0, 1000, 125, true, u"3.4", 34, 34, {30, 34}},
      {"fixed point: no digit after the last place",
       10,
       0,
       1000,
       125,
       true,
       u"3.45",
       34,
       34,
       {30, 34}},
      {"fixed point: a digit up to the maximum", 10, 0, 100, 50, true, u"9.9", 99, 99, {90, 99}},
      {"fixed point: over the maximum is ignored",
       10,
       0,
       100,
       50,
       true,
       u"10.1",
       100,
       100,
       {10, 100}},
      {"fixed point: backspace leaves the fraction",
       10,
       0,
       1000,
       125,
       true,
       u"3.4\b",
       30,
       30,
       {30, 34, 30}},
      {"fixed point: then the integer digit",
       10,
       0,
       1000,
       125,
       true,
       u"3.4\b\b",
       0,
       30,
       {30, 34, 30}},
      {"fixed point: typing continues after backspace",
       10,
       0,
       1000,
       125,
       true,
       u"3.4\b.7",
       37,
       37,
       {30, 34, 30, 37}},
      {"fixed point: sign below the minimum", 10, 0, 1000, 50, false, u"-", -50, 50, {}},
      {"fixed point: sign the minimum allows", 10, -100, 1000, 50, false, u"-", -50, -50, {-50}},
      {"two decimals", 100, 0, 10000, 500, true, u"1.25", 125, 125, {100, 120, 125}},
  };
  for (const auto& k : cases) {
    std::vector<int32_t> reported;
    NumberEditor editor(k.initial, k.minimum, k.maximum, nullptr, recordValue(reported), k.scale);
    if (k.fresh) editor.beginEntry();
    typeKeys(editor, k.keys);
    EXPECT_EQ(editor.value(), k.value) << k.name;
    EXPECT_EQ(editor.committed(), k.committed) << k.name;
    EXPECT_EQ(reported, k.reported) << k.name;
  }
}

TEST(NumberEditor, SetValueContinuesAsIfItsDigitsHadBeenTyped) {
  const struct {
    int32_t scale, value, fractionStep;
  } cases[] = {
      {10, 125, 1},     {10, 120, 10}, {100, 1250, 10}, {100, 1255, 1},
      {100, 1200, 100}, {0, 7, 0},     {10, -125, 1},
  };
  for (const auto& k : cases) {
    NumberEditor editor(0, -100000, 100000, nullptr, nullptr, k.scale);
    editor.setValue(k.value);
    EXPECT_EQ(editor.value(), k.value);
    EXPECT_EQ(editor.committed(), k.value);
    EXPECT_EQ(editor.fractionStep(), k.fractionStep) << k.scale << " " << k.value;
    NumberEditor built(k.value, -100000, 100000, nullptr, nullptr, k.scale);
    EXPECT_EQ(built.fractionStep(), k.fractionStep) << "the constructor agrees";
  }
  NumberEditor editor(125, 0, 1000, nullptr, nullptr, 10);
  editor.key(kBackspace);
  EXPECT_EQ(editor.value(), 120) << "12.5 loses its last digit";
}

TEST(NumberEditor, ResultsAndLeaving) {
  std::vector<int32_t> reported;
  NumberEditor editor(25, 1, 600, nullptr, recordValue(reported), 0);
  editor.beginEntry();
  EXPECT_EQ(typeKeys(editor, u"7"), 0x200u) << "a commit answers the callback's result";
  EXPECT_EQ(typeKeys(editor, u"\b"), 0u);
  EXPECT_EQ(editor.leave(), 0x200u) << "no target to show in, the callback's result";
  EXPECT_EQ(editor.value(), 7);
  EXPECT_EQ(reported, (std::vector<int32_t>{7, 7}));
  reported.clear();
  EXPECT_EQ(editor.leave(), 0u) << "nothing to revert, nothing reported";
  EXPECT_TRUE(reported.empty());

  NumberEditor silent(25, 1, 600, nullptr, nullptr, 0);
  silent.beginEntry();
  EXPECT_EQ(typeKeys(silent, u"8"), 0u);
  EXPECT_EQ(silent.committed(), 8);
  EXPECT_EQ(silent.show(""), 0u) << "no target";
}

TEST(NumberEditor, ShowsIntegersWholeNumbersAndOneDecimal) {
  const struct {
    int32_t scale, value;
    const char* shown;
  } cases[] = {
      {0, 600, "600 mm"},   {0, -5, "-5 mm"},     {10, 120, "12 mm"},
      {10, 125, "12.5 mm"}, {100, 126, "1.3 mm"}, {10, -5, "-0.5 mm"},
  };
  for (const auto& k : cases) {
    TextLabel label(0, 0, 50, 14, ControlFlags::Active, nullptr, "", "Arial", 400, nullptr, 0, 0,
                    0);
    NumberEditor editor(k.value, -1000, 1000, &label, nullptr, k.scale);
    EXPECT_EQ(editor.show(" mm"), 1u);
    EXPECT_STREQ(label.text(), k.shown);
  }
}

class NumberBoxTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    reported.clear();
    panel = std::make_unique<WindowPanel>(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                                          solidBitmap(240, 120, kWhite));
    box = panel->add(std::make_unique<NumberBox>(20, 20, 80, 14, ControlFlags::Focusable,
                                                 panel.get(), 25, 1, 600, recordValue(reported),
                                                 "Arial", 400, " mm", 0));
    other =
        panel->add(std::make_unique<NumberBox>(20, 60, 80, 14, ControlFlags::Focusable, panel.get(),
                                               100, 1, 600, nullptr, "Arial", 400, " mm", 0));
  }
  void TearDown() override {
    panel.reset();
    WindowTest::TearDown();
  }
  uint32_t key(char16_t code) { return panel->onKey(code); }
  void clickBox() {
    panel->onButtonDown({30, 25}, MouseButton::Left);
    panel->onButtonUp({30, 25}, MouseButton::Left);
  }
  std::string shown() const { return box->label()->text(); }

  std::unique_ptr<WindowPanel> panel;
  NumberBox* box = nullptr;
  NumberBox* other = nullptr;
  std::vector<int32_t> reported;
};

TEST_F(NumberBoxTest, FocusStartsAFreshEntryInInvertedColours) {
  EXPECT_EQ(shown(), "25 mm");
  EXPECT_EQ(box->label()->textColor(), kBlack);
  EXPECT_EQ(box->label()->backColor(), kWhite);
  clickBox();
  EXPECT_TRUE(box->isFresh());
  EXPECT_EQ(box->label()->textColor(), kWhite);
  EXPECT_EQ(box->label()->backColor(), kBlack);
  EXPECT_GT(count(20, 20, 100, 34, kBlack), 0) << "the digits sit on a black ground";

  key('7');
  EXPECT_FALSE(box->isFresh());
  EXPECT_EQ(shown(), "7 mm");
  key('0');
  key('0');
  EXPECT_EQ(shown(), "70 mm");
  EXPECT_EQ(reported, (std::vector<int32_t>{7, 70}));
}

TEST_F(NumberBoxTest, KeysThatEndTheFreshStateWithoutClearingTheNumber) {
  const struct {
    const char* name;
    char16_t first;
    const char* shownAfterFirst;
    const char* shownAfterDigit;
  } cases[] = {
      {"backspace edits the old number", kBackspace, "2 mm", "23 mm"},
      {"cancel keeps it", 31, "25 mm", "253 mm"},
      {"enter keeps it", 13, "25 mm", "253 mm"},
  };
  for (const auto& k : cases) {
    SetUp();
    clickBox();
    key(k.first);
    EXPECT_FALSE(box->isFresh()) << k.name;
    EXPECT_EQ(shown(), k.shownAfterFirst) << k.name;
    key('3');
    EXPECT_EQ(shown(), k.shownAfterDigit) << k.name;
    TearDown();
  }
}

TEST_F(NumberBoxTest, LeavingRevertsAnUncommittedValueAndRestoresColours) {
  clickBox();
  key('7');
  key(kBackspace);
  EXPECT_EQ(shown(), "0 mm");
  const int focusedBlack = count(20, 20, 100, 34, kBlack);
  const uint32_t result = panel->onFocusOut();
  EXPECT_NE(result & ControlResult::FocusOut, 0u) << "the box gave up a focus";
  EXPECT_EQ(shown(), "7 mm");
  EXPECT_EQ(box->numberEditor()->value(), 7);
  EXPECT_EQ(reported, (std::vector<int32_t>{7, 7}));
  EXPECT_EQ(box->label()->textColor(), kBlack);
  EXPECT_EQ(box->label()->backColor(), kWhite);
  EXPECT_LT(count(20, 20, 100, 34, kBlack), focusedBlack / 2)
      << "the black ground of the focus is wiped; only the digits stay black";
}

TEST_F(NumberBoxTest, EnterMovesTheFocusToTheNextBox) {
  clickBox();
  key('9');
  panel->onAdvance();
  EXPECT_EQ(panel->focused, other);
  EXPECT_EQ(shown(), "9 mm");
  EXPECT_EQ(box->label()->backColor(), kWhite);
  EXPECT_TRUE(other->isFresh());
}

TEST_F(NumberBoxTest, SetValueShowsTheNewNumber) {
  box->setValue(321);
  EXPECT_EQ(shown(), "321 mm");
  EXPECT_EQ(box->numberEditor()->committed(), 321);
}

TEST_F(NumberBoxTest, FixedPointBoxShowsItsValueFromTheStart) {
  auto* scaled =
      panel->add(std::make_unique<NumberBox>(20, 90, 80, 14, ControlFlags::Focusable, panel.get(),
                                             125, 0, 1000, nullptr, "Arial", 400, " cm", 10));
  EXPECT_STREQ(scaled->label()->text(), "12.5 cm");
}

}  // namespace
