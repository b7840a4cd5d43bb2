// Value fields: slider geometry, clicks at both ends, clamping, ranges wider than the track,
// drags with either button, typed entry with links, Init, and what the slider looks like.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/slider_geometry.h"
#include "controls/value_field.h"
#include "controls/window_panel.h"
#include "core/setting_names.h"
#include "tests/controls/probe.h"
#include "tests/controls/window_fixture.h"

namespace {

constexpr int32_t kFieldX = 10, kFieldY = 20, kFieldWidth = 200, kFieldHeight = 30;
constexpr int32_t kThumb = 15;
constexpr COLORREF kThumbYellow = RGB(230, 230, 0);

const char* const kPrinters[] = {"300x300 dpi",   "360x360 dpi",   "600x300 dpi",
                                 "600x600 dpi",   "720x360 dpi",   "720x720 dpi",
                                 "1200x600 dpi",  "1200x1200 dpi", "1440x720 dpi",
                                 "1440x1440 dpi", "2880x1440 dpi", "2880x720 photo"};

struct ChangeLog {
  int calls = 0;
  std::vector<ValueField*> seen;
};

// A change callback that counts its calls and keeps the field and its one link.
ValueFieldChange recordChange(ChangeLog& log) {
  return [&log](ValueField* const* links) {
    ++log.calls;
    log.seen.assign(links, links + 2);
    return 1u;
  };
}

// A list field of the dialog's shape: ticks along the track and the item's name.
ValueField::Options listOptions(const char* caption, int32_t count, const char* const* items,
                                int32_t* bound, bool* changed, HWND window) {
  ValueField::Options o;
  o.caption = caption;
  o.count = count;
  o.bound = bound;
  o.changed = changed;
  o.thumbWidth = kThumb;
  o.weight = 400;
  o.window = window;
  o.ticks = true;
  o.text = FieldText::ItemName;
  o.items = items;
  return o;
}

class ValueFieldTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    panel = std::make_unique<WindowPanel>(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                                          solidBitmap(240, 120, kWhite));
  }
  void TearDown() override {
    panel.reset();
    WindowTest::TearDown();
  }

  ValueField* listField(int32_t count, int32_t step = 1, int32_t value = 0) {
    ValueField::Options o = listOptions("Printer", count, kPrinters, &bound, &changed, window);
    o.step = step;
    o.value = value;
    return panel->add(std::make_unique<ValueField>(kFieldX, kFieldY, kFieldWidth, kFieldHeight,
                                                   ControlFlags::Active, panel.get(), o));
  }
  ValueField* numericField(int32_t count, int32_t value, int32_t y = kFieldY) {
    ValueField::Options o;
    o.caption = "Image Width";
    o.count = count;
    o.value = value;
    o.bound = &bound;
    o.changed = &changed;
    o.thumbWidth = kThumb;
    o.weight = 400;
    o.window = window;
    o.text = FieldText::Number;
    o.unit = " mm";
    o.linkCount = 1;
    o.onChange = recordChange(log);
    return panel->add(std::make_unique<ValueField>(kFieldX, y, kFieldWidth, kFieldHeight,
                                                   ControlFlags::Active, panel.get(), o));
  }
  // Mouse events in window coordinates, through the root panel as the dialog sends them.
  void mouse(Ev event, int32_t wx, int32_t wy) { send(*panel, event, wx, wy); }
  void click(int32_t fx, int32_t fy) {
    mouse(Ev::LeftDown, kFieldX + fx, kFieldY + fy);
    mouse(Ev::LeftUp, kFieldX + fx, kFieldY + fy);
  }
  void key(char16_t c) { panel->onKey(c); }
  void paintAll() { paintAndDraw(*panel, {0, 0, 120, 240}, window); }

  std::unique_ptr<WindowPanel> panel;
  int32_t bound = 0;
  bool changed = false;
  ChangeLog log;
};

TEST(SliderGeometry, PicksTheNearestValueAsAMultipleOfStep) {
  const double twelve = slider::scale(200, 15, 12);
  EXPECT_DOUBLE_EQ(twelve, 185.0 / 11.0);
  const struct {
    const char* name;
    double position, scale;
    int32_t step, index;
  } cases[] = {
      {"left end", 0.0, twelve, 1, 0},
      {"right end", 185.0, twelve, 1, 11},
      {"just below a half rounds down", twelve * 4.49, twelve, 1, 4},
      {"a half rounds up", twelve * 4.5, twelve, 1, 5},
      {"left of the track", -30.0, twelve, 1, -2},
      {"reduced to a multiple of step", twelve * 5.0, twelve, 2, 4},
      {"a single value has no scale", 50.0, 0.0, 1, 0},
      {"far beyond saturates", 1e12, 0.001, 1, INT32_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(slider::indexAt(c.position, c.scale, c.step), c.index) << c.name;
  }
  EXPECT_EQ(slider::scale(200, 15, 1), 0.0);
  EXPECT_EQ(slider::thumbX(600, slider::scale(200, 15, 601)), 185);
}

TEST(SliderGeometry, ClampsIndices) {
  const struct {
    int32_t index, count, step, expected;
  } cases[] = {{-3, 10, 1, 0}, {99, 10, 1, 9}, {10, 10, 1, 9},
               {99, 10, 2, 8}, {5, 10, 2, 5},  {INT32_MAX, 601, 1, 600}};
  for (const auto& c : cases) {
    EXPECT_EQ(slider::clampIndex(c.index, c.count, c.step), c.expected)
        << c.index << " of " << c.count << " step " << c.step;
  }
}

TEST_F(ValueFieldTest, ClicksAtBothEndsOfATwelveItemList) {
  ValueField* f = listField(12, 1, 5);
  const struct {
    int32_t x;
    int32_t item;
  } cases[] = {{7, 0}, {192, 11}, {0, 0}, {199, 11}, {7 + 93, 6}};
  for (const auto& c : cases) {
    f->setValue(5, 0);
    changed = false;
    click(c.x, 25);
    EXPECT_EQ(f->value(), c.item) << "x " << c.x;
    EXPECT_EQ(bound, c.item) << "x " << c.x;
    EXPECT_TRUE(changed) << "x " << c.x;
    EXPECT_STREQ(f->itemText()->text(), kPrinters[c.item]) << "x " << c.x;
  }
}

TEST_F(ValueFieldTest, SetValueClampsIntoTheRange) {
  const struct {
    const char* name;
    int32_t count, step, index, value;
  } cases[] = {
      {"past the end of ten items", 10, 1, 99, 9},
      {"negative", 10, 1, -4, 0},
      {"past the end with step 2", 10, 2, 99, 8},
      {"the last item", 10, 1, 9, 9},
  };
  for (const auto& c : cases) {
    ValueField* f = listField(c.count, c.step, 3);
    f->setValue(c.index, 0);
    EXPECT_EQ(f->value(), c.value) << c.name;
    EXPECT_EQ(bound, c.value) << c.name;
    panel->remove(f);
  }
}

TEST_F(ValueFieldTest, ConstructionWritesTheClampedStartValue) {
  ValueField* f = listField(10, 1, 42);
  EXPECT_EQ(f->value(), 9);
  EXPECT_EQ(bound, 9);
  EXPECT_STREQ(f->itemText()->text(), kPrinters[9]);
}

TEST_F(ValueFieldTest, NumericMaximumIsSelectableAtTheRightEnd) {
  ValueField* f = numericField(600, 100);
  EXPECT_EQ(f->count(), 601);
  f->setValue(600, 0);
  EXPECT_EQ(f->value(), 600);
  EXPECT_EQ(f->thumb()->x, kFieldWidth - kThumb);
  EXPECT_STREQ(f->numberBox()->label()->text(), "600 mm");
  f->setValue(601, 0);
  EXPECT_EQ(f->value(), 600);
}

// With 601 values on 185 pixels neighbouring values share a thumb pixel; the value must still
// reach the settings, or a typed number would be shown but never used.
TEST_F(ValueFieldTest, ValuesSharingAThumbPixelStillReachTheSettings) {
  ValueField* f = numericField(600, 300);
  const int32_t x = f->thumb()->x;
  ASSERT_EQ(slider::thumbX(301, f->scale()), x);
  log.calls = 0;
  EXPECT_EQ(f->setValue(301, 1), 1);
  EXPECT_EQ(f->thumb()->x, x);
  EXPECT_EQ(bound, 301);
  EXPECT_EQ(log.calls, 1);
  EXPECT_STREQ(f->numberBox()->label()->text(), "301 mm");
  EXPECT_EQ(f->setValue(301, 1), 0) << "the same value again changes nothing";
  EXPECT_EQ(log.calls, 1);
}

TEST_F(ValueFieldTest, InitReadsTheBoundFieldAndNotifiesOnlyOnChange) {
  ValueField* f = numericField(600, 254);
  log.calls = 0;
  panel->onInit();
  EXPECT_EQ(log.calls, 0) << "an unchanged value notifies nobody";
  EXPECT_STREQ(f->numberBox()->label()->text(), "254 mm");

  bound = 120;
  panel->onInit();
  EXPECT_EQ(f->value(), 120);
  EXPECT_EQ(log.calls, 1);
  EXPECT_STREQ(f->numberBox()->label()->text(), "120 mm");

  bound = 5000;
  panel->onInit();
  EXPECT_EQ(f->value(), 600);
  EXPECT_EQ(bound, 600) << "a bound value out of range is written back clamped";
}

TEST_F(ValueFieldTest, ClampedInitWritesBackEvenWhenTheValueStays) {
  ValueField* f = listField(10, 1, 9);
  bound = 77;
  panel->onInit();
  EXPECT_EQ(f->value(), 9);
  EXPECT_EQ(bound, 9);
}

TEST_F(ValueFieldTest, CaptionIsInFrontOfTheClickArea) {
  ValueField* f = listField(12, 1, 3);
  click(kThumb / 2 + 40, 5);
  EXPECT_EQ(f->value(), 3);
  click(kThumb / 2 + 40, 25);
  EXPECT_NE(f->value(), 3) << "the same column below the caption moves the thumb";
}

TEST_F(ValueFieldTest, RightDragRaisesChangedOnEveryMoveLeftDragOnRelease) {
  const struct {
    const char* name;
    Ev down, up;
    bool changedDuringDrag;
  } cases[] = {
      {"left", Ev::LeftDown, Ev::LeftUp, false},
      {"right", Ev::RightDown, Ev::RightUp, true},
  };
  for (const auto& c : cases) {
    ValueField* f = listField(12, 1, 0);
    const int32_t grabX = kFieldX + f->thumb()->x + 7, grabY = kFieldY + 20;
    mouse(c.down, grabX, grabY);
    for (int32_t item = 1; item <= 3; ++item) {
      changed = false;
      const int32_t target = slider::thumbX(item, f->scale());
      mouse(Ev::MouseMove, kFieldX + target + 7, grabY);
      EXPECT_EQ(f->value(), item) << c.name;
      EXPECT_EQ(bound, item) << c.name;
      EXPECT_EQ(changed, c.changedDuringDrag) << c.name << " move " << item;
    }
    changed = false;
    mouse(c.up, kFieldX + slider::thumbX(3, f->scale()) + 7, grabY);
    EXPECT_TRUE(changed) << c.name << " release";
    EXPECT_EQ(f->value(), 3) << c.name;
    panel->remove(f);
  }
}

TEST_F(ValueFieldTest, TypedEntryWritesTheValueAndTellsTheLinks) {
  ValueField* width = numericField(600, 254);
  ValueField* height = numericField(600, 169, kFieldY + 40);
  width->setLink(1, height);
  width->setLink(5, height);
  log = {};
  changed = false;
  click(150, 5);
  ASSERT_EQ(panel->focused, width);
  ASSERT_TRUE(width->numberBox()->isFresh());
  key(u'3');
  key(u'0');
  key(u'1');
  EXPECT_EQ(width->value(), 301);
  EXPECT_EQ(bound, 301);
  EXPECT_TRUE(changed);
  EXPECT_EQ(log.calls, 3);
  ASSERT_EQ(log.seen.size(), 2u);
  EXPECT_EQ(log.seen[0], width);
  EXPECT_EQ(log.seen[1], height);
  EXPECT_EQ(width->link(2), nullptr) << "a link index past the list is ignored";
}

TEST_F(ValueFieldTest, SetRangeKeepsTheValueInsideAndMovesTheThumb) {
  ValueField* f = numericField(600, 600);
  log.calls = 0;
  f->setRange(401, 0);
  EXPECT_EQ(f->value(), 400);
  EXPECT_EQ(bound, 400);
  EXPECT_EQ(f->thumb()->x, kFieldWidth - kThumb);
  EXPECT_EQ(log.calls, 0);
  EXPECT_EQ(f->numberBox()->numberEditor()->committed(), 400);
  f->setRange(4001, 0);
  EXPECT_EQ(f->value(), 400);
  f->setValue(4000, 0);
  EXPECT_EQ(bound, 4000);
}

TEST_F(ValueFieldTest, DrawsTrackThumbAndErasesTheOldThumb) {
  ValueField* f = listField(12, 1, 0);
  paintAll();
  const int32_t row = kFieldY + 16;
  EXPECT_EQ(at(kFieldX + 7, row), kBlack) << "track start";
  EXPECT_EQ(at(kFieldX + 150, row), kBlack) << "track middle";
  EXPECT_EQ(at(kFieldX + 7, row - 3), kBlack) << "end tick";
  const int32_t apexX = kFieldX + 7;
  EXPECT_EQ(at(apexX, kFieldY + 17), kBlack) << "thumb apex";
  EXPECT_EQ(at(apexX, kFieldY + 20), kThumbYellow) << "thumb centre line";
  EXPECT_GT(count(kFieldX, kFieldY + 17, kFieldX + 16, kFieldY + 25, kBlack), 20);

  f->setValue(11, 0);
  EXPECT_EQ(count(kFieldX, kFieldY + 17, kFieldX + 16, kFieldY + 25, kBlack), 0)
      << "the old thumb is erased";
  EXPECT_EQ(at(kFieldX + 7, row), kBlack) << "the track survives the erasing";
  const int32_t newApex = kFieldX + f->thumb()->x + 7;
  EXPECT_EQ(at(newApex, kFieldY + 20), kThumbYellow);
}

TEST_F(ValueFieldTest, LeavesNoDrawingObjectsBehind) {
  const int before = drv::liveObjects();
  {
    ValueField* f = listField(12, 1, 0);
    paintAll();
    f->setValue(7, 1);
    panel->remove(f);
  }
  EXPECT_EQ(drv::liveObjects(), before);
}

TEST_F(ValueFieldTest, PictureOfAListFieldAndAFocusedNumericField) {
  listField(12, 1, 8);
  ValueField* numeric = numericField(600, 254, kFieldY + 40);
  paintAll();
  mouse(Ev::LeftDown, kFieldX + 150, kFieldY + 45);
  mouse(Ev::LeftUp, kFieldX + 150, kFieldY + 45);
  ASSERT_EQ(panel->focused, numeric);
  EXPECT_FALSE(drv::savePng(window, "fields_value_fields.png").empty());
}

// The texts of one of the settings' lists, without the closing null.
std::vector<const char*> namesOf(const char* const names[]) {
  std::vector<const char*> out;
  for (int i = 0; names[i]; ++i) out.push_back(names[i]);
  return out;
}

// Every name of every list the filter dialog shows, in a field of the dialog's shape: the name is
// drawn whole (nothing of it painted over), inside the field and right of the caption's text.
TEST_F(ValueFieldTest, EveryDialogListNameShowsWholeBesideItsCaption) {
  const std::vector<const char*> sources = namesOf(kImageSourceNames);
  const std::vector<const char*> qualities = namesOf(kQualityNames);
  const std::vector<const char*> printers = namesOf(kPrinterResolutionNames);
  const struct {
    const char* caption;
    const std::vector<const char*>& items;
  } lists[] = {
      {"Image Source ", sources},
      {"Image Quality", qualities},
      {"Printer", printers},
      {"Printer Quality", qualities},
  };
  const int textTop = kFieldY, textBottom = kFieldY + 12;
  for (const auto& list : lists) {
    auto* f = panel->add(std::make_unique<ValueField>(
        kFieldX, kFieldY, kFieldWidth, kFieldHeight, ControlFlags::Active, panel.get(),
        listOptions(list.caption, int32_t(list.items.size()), list.items.data(), &bound, &changed,
                    window)));
    clearWindow();
    f->caption()->redraw();
    const Span caption = inkSpan(0, textTop, 240, textBottom);
    ASSERT_FALSE(caption.empty()) << list.caption;
    for (size_t i = 0; i < list.items.size(); ++i) {
      const std::string what = std::string(list.caption) + ": " + list.items[i];
      f->setValue(int32_t(i), 0);
      ASSERT_STREQ(f->itemText()->text(), list.items[i]) << what;
      clearWindow();
      f->itemText()->redraw();
      const Span name = inkSpan(0, textTop, 240, textBottom);
      std::vector<COLORREF> alone;
      for (int y = textTop; y < textBottom; ++y)
        for (int x = 0; x < 240; ++x) alone.push_back(at(x, y));
      paintAll();
      ASSERT_FALSE(name.empty()) << what;
      EXPECT_GT(name.first, caption.last) << what << ": right of the caption's text";
      EXPECT_LT(name.last, kFieldX + kFieldWidth) << what << ": inside the field";
      int covered = 0;
      for (int y = textTop, n = 0; y < textBottom; ++y)
        for (int x = 0; x < 240; ++x, ++n)
          covered += alone[size_t(n)] != kWhite && at(x, y) != alone[size_t(n)];
      EXPECT_EQ(covered, 0) << what << ": pixels of the name painted over";
    }
    panel->remove(f);
  }
}

}  // namespace
