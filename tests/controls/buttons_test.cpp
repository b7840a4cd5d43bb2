// Bitmap buttons, press buttons and hot spots: when they fire and what they show; drag
// trackers; the window mover; the panel's background.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/drag_tracker.h"
#include "controls/window_mover.h"
#include "controls/window_panel.h"
#include "tests/controls/probe.h"
#include "tests/controls/window_fixture.h"

namespace {

struct Firing {
  int32_t x, y;
};

enum class Kind { Bitmap, Press, Hot };

struct Step {
  Ev event;
  int32_t x, y;
};

class ButtonTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fired.clear();
    panel = std::make_unique<WindowPanel>(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                                          solidBitmap(240, 120, kGrey));
  }
  void TearDown() override {
    panel.reset();
    WindowTest::TearDown();
  }
  // An action that records where it fired and answers 0x100.
  ButtonAction recording() {
    return [this](Position at) {
      fired.push_back({at.x, at.y});
      return 0x100u;
    };
  }
  BitmapButton* make(Kind kind, ButtonAction action, HBITMAP pressedBitmap) {
    HBITMAP normal = solidBitmap(20, 10, kRed);
    std::unique_ptr<BitmapButton> b;
    switch (kind) {
      case Kind::Bitmap:
        b = std::make_unique<BitmapButton>(40, 30, 20, 10, ControlFlags::Active, panel.get(),
                                           normal, pressedBitmap, action);
        break;
      case Kind::Press:
        b = std::make_unique<PressButton>(40, 30, 20, 10, ControlFlags::Active, panel.get(), normal,
                                          pressedBitmap, action);
        break;
      case Kind::Hot:
        b = std::make_unique<HotSpot>(40, 30, 20, 10, ControlFlags::Active, panel.get(), action);
        break;
    }
    return panel->add(std::move(b));
  }
  uint32_t send(Ev event, int32_t x, int32_t y) { return ::send(*panel, event, x, y); }

  std::unique_ptr<WindowPanel> panel;
  std::vector<Firing> fired;
};

TEST_F(ButtonTest, FiresOnlyOnTheRightButtonAndPlace) {
  const struct {
    const char* name;
    Kind kind;
    std::vector<Step> steps;
    std::vector<Ev> firedOn;  // the inputs during which the action fired
  } cases[] = {
      {"bitmap button, click inside",
       Kind::Bitmap,
       {{Ev::LeftDown, 45, 35}, {Ev::LeftUp, 50, 35}},
       {Ev::LeftUp}},
      {"bitmap button, dragged off before release",
       Kind::Bitmap,
       {{Ev::LeftDown, 45, 35}, {Ev::MouseMove, 100, 80}, {Ev::LeftUp, 100, 80}},
       {}},
      {"bitmap button, dragged off and back",
       Kind::Bitmap,
       {{Ev::LeftDown, 45, 35},
        {Ev::MouseMove, 100, 80},
        {Ev::MouseMove, 59, 39},
        {Ev::LeftUp, 59, 39}},
       {Ev::LeftUp}},
      {"bitmap button, right click",
       Kind::Bitmap,
       {{Ev::RightDown, 45, 35}, {Ev::RightUp, 45, 35}},
       {}},
      {"press button, click inside",
       Kind::Press,
       {{Ev::LeftDown, 45, 35}, {Ev::LeftUp, 45, 35}},
       {Ev::LeftDown}},
      {"press button, right click",
       Kind::Press,
       {{Ev::RightDown, 45, 35}, {Ev::RightUp, 45, 35}},
       {}},
      {"hot spot, click inside",
       Kind::Hot,
       {{Ev::LeftDown, 41, 31}, {Ev::LeftUp, 60, 40}},
       {Ev::LeftUp}},
      {"hot spot, right click", Kind::Hot, {{Ev::RightDown, 45, 35}, {Ev::RightUp, 45, 35}}, {}},
  };
  for (const auto& k : cases) {
    SetUp();
    BitmapButton* b = make(k.kind, recording(), nullptr);
    std::vector<Ev> firedOn;
    for (const Step& s : k.steps) {
      const size_t before = fired.size();
      send(s.event, s.x, s.y);
      if (fired.size() > before) firedOn.push_back(s.event);
    }
    EXPECT_EQ(firedOn, k.firedOn) << k.name;
    EXPECT_FALSE(b->isPressed()) << k.name;
    if (!fired.empty()) {
      EXPECT_EQ(fired[0].x, k.steps.back().x) << k.name;
    }
    TearDown();
  }
}

TEST_F(ButtonTest, ActionResultIsPassedUpAndNullActionOnlyPresses) {
  make(Kind::Bitmap, recording(), nullptr);
  send(Ev::LeftDown, 45, 35);
  EXPECT_EQ(send(Ev::LeftUp, 45, 35), 0x101u);
  panel->remove(panel->firstChild());
  BitmapButton* quiet = make(Kind::Press, nullptr, nullptr);
  EXPECT_EQ(send(Ev::LeftDown, 45, 35), 1u);
  EXPECT_TRUE(quiet->isPressed());
  EXPECT_EQ(send(Ev::LeftUp, 45, 35), 1u);
  EXPECT_FALSE(quiet->isPressed());
}

TEST_F(ButtonTest, ShowsThePressedImageWhileHeld) {
  const struct {
    const char* name;
    Kind kind;
    Ev down, up;
    bool hasPressedBitmap;
    COLORREF whileHeld, afterwards;
  } cases[] = {
      {"left press", Kind::Bitmap, Ev::LeftDown, Ev::LeftUp, true, kBlue, kRed},
      {"right press shows pressed too", Kind::Bitmap, Ev::RightDown, Ev::RightUp, true, kBlue,
       kRed},
      {"no pressed picture keeps the normal one", Kind::Bitmap, Ev::LeftDown, Ev::LeftUp, false,
       kRed, kRed},
      {"press button", Kind::Press, Ev::LeftDown, Ev::LeftUp, true, kBlue, kRed},
      {"hot spot draws nothing", Kind::Hot, Ev::LeftDown, Ev::LeftUp, true, kGrey, kGrey},
  };
  for (const auto& k : cases) {
    SetUp();
    make(k.kind, nullptr, k.hasPressedBitmap ? solidBitmap(20, 10, kBlue) : nullptr);
    panel->dirty = 1;
    panel->draw({0, 0}, window);
    send(k.down, 45, 35);
    EXPECT_EQ(at(59, 39), k.whileHeld) << k.name;
    EXPECT_EQ(at(60, 40), kGrey) << k.name << ": the picture ends at its own size";
    send(k.up, 45, 35);
    EXPECT_EQ(at(40, 30), k.afterwards) << k.name;
    TearDown();
  }
}

struct Drag {
  int32_t dx, dy;
  char button;
};

// A drag callback that records its offsets under the button's letter.
DragCallback recordDrag(std::vector<Drag>& drags, char button) {
  return [&drags, button](Position offset) { drags.push_back({offset.x, offset.y, button}); };
}

TEST(DragTracker, ReportsOffsetsForOneButtonAtATime) {
  std::vector<Drag> drags;
  ControlGroup root(0, 0, 300, 200, ControlFlags::Active, nullptr);
  auto* tracker = root.add(std::make_unique<InvisibleDragTracker>(
      50, 20, 40, 30, ControlFlags::Active, &root, recordDrag(drags, 'L'), recordDrag(drags, 'R')));
  const Step steps[] = {
      {Ev::LeftDown, 60, 25},   // grab 10, 5
      {Ev::MouseMove, 70, 40},  // offset 70 - 10 - 50, 40 - 5 - 20
      {Ev::RightDown, 65, 30},  // ignored: the left button holds it
      {Ev::MouseMove, 40, 10},  // still the left drag, now outside the tracker
      {Ev::RightUp, 40, 10},    // the right release is no business of the left drag
      {Ev::LeftUp, 40, 10},    {Ev::MouseMove, 60, 25},  // no button held: nothing to report
  };
  for (const Step& s : steps) send(root, s.event, s.x, s.y);
  ASSERT_EQ(drags.size(), 2u);
  EXPECT_EQ(drags[0].button, 'L');
  EXPECT_EQ(drags[0].dx, 10);
  EXPECT_EQ(drags[0].dy, 15);
  EXPECT_EQ(drags[1].button, 'L');
  EXPECT_EQ(drags[1].dx, -20);
  EXPECT_EQ(drags[1].dy, -15);
  EXPECT_FALSE(tracker->leftHeld());
  EXPECT_FALSE(tracker->rightHeld());

  drags.clear();
  send(root, Ev::RightDown, 80, 45);
  send(root, Ev::MouseMove, 81, 47);
  send(root, Ev::RightUp, 81, 47);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].button, 'R');
  EXPECT_EQ(drags[0].dx, 1);
  EXPECT_EQ(drags[0].dy, 2);
}

TEST(DragTracker, GrabOffsetsAreDistancesEvenLeftOfTheControl) {
  std::vector<Drag> drags;
  DragTracker tracker(50, 20, 40, 30, ControlFlags::Active, nullptr, nullptr,
                      recordDrag(drags, 'L'), nullptr);
  send(tracker, Ev::LeftDown, 45, 12);  // grab |45-50|, |12-20|
  send(tracker, Ev::MouseMove, 45, 12);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].dx, 45 - 5 - 50);
  EXPECT_EQ(drags[0].dy, 12 - 8 - 20);
  EXPECT_EQ(send(tracker, Ev::LeftUp, 45, 12), 0u);
  tracker.setCallbacks(nullptr, nullptr);
  send(tracker, Ev::LeftDown, 45, 12);
  EXPECT_EQ(send(tracker, Ev::MouseMove, 50, 12), 1u);
}

class MoverTest : public WindowTest {};

TEST_F(MoverTest, DragsTheWindowAndNeverPaints) {
  MoveWindow(window, 300, 200, 240, 120, TRUE);
  WindowPanel panel(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                    solidBitmap(240, 120, kGrey));
  auto* mover = panel.add(std::make_unique<WindowMover>(0, 0, 240, 120, ControlFlags::Active,
                                                        &panel, 300, 200, 240, 120, window));
  EXPECT_EQ(mover->window(), window);

  send(panel, Ev::LeftDown, 10, 10);
  send(panel, Ev::MouseMove, 25, 5);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 315);
  EXPECT_EQ(r.top, 195);
  // The pointer is now over the grabbed point again in the moved window's coordinates.
  send(panel, Ev::MouseMove, 10, 10);
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 315);
  EXPECT_EQ(r.right - r.left, 240);
  send(panel, Ev::LeftUp, 10, 10);
  send(panel, Ev::MouseMove, 50, 50);
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 315) << "no move after the release";

  // An update inside the mover alone still marks the panel, so its background is redrawn.
  Rect16 update{20, 20, 30, 30};
  EXPECT_EQ(panel.onPaint(update), uint32_t(ControlResult::Paint));
  EXPECT_EQ(mover->dirty, 0);
  EXPECT_EQ(panel.dirty, 1);
}

TEST_F(ButtonTest, DirtyPanelRedrawsItsBackgroundAndEveryChild) {
  make(Kind::Bitmap, nullptr, nullptr);
  panel->dirty = 1;
  panel->draw({0, 0}, window);
  EXPECT_EQ(at(5, 5), kGrey);
  EXPECT_EQ(at(40, 30), kRed);
  EXPECT_EQ(panel->dirty, 0);
  EXPECT_EQ(panel->firstChild()->dirty, 0);
}

}  // namespace
