// The control base: the answers of a plain control, the mouse calls, rectangle tests, paint
// marking.
#include <gtest/gtest.h>

#include "tests/controls/probe.h"

namespace {

TEST(ControlCalls, APlainControlAnswersDoneToEveryInput) {
  Control c(0, 0, 5, 5, ControlFlags::Active, nullptr);
  const Rect16 far{100, 100, 110, 110};
  for (Ev e : {Ev::Draw, Ev::Key, Ev::MouseMove, Ev::LeftUp, Ev::RightUp, Ev::LeftDown,
               Ev::RightDown, Ev::Refresh, Ev::Init, Ev::Advance, Ev::FocusIn, Ev::FocusOut}) {
    EXPECT_EQ(send(c, e, 3, 4, '1', &far), 1u) << nameOf(e);
  }
}

// The window procedures hand mouse messages over through sendMouse: each action reaches its
// method with the position unchanged.
TEST(ControlCalls, SendMouseCallsTheMethodOfTheAction) {
  EventLog log;
  Probe p("p", log, 0, 0, 10, 10);
  const struct {
    MouseAction action;
    MouseButton button;
    const char* heard;
  } cases[] = {
      {MouseAction::Move, MouseButton::Left, "p:move"},
      {MouseAction::Move, MouseButton::Right, "p:move"},
      {MouseAction::Press, MouseButton::Left, "p:left-down"},
      {MouseAction::Press, MouseButton::Right, "p:right-down"},
      {MouseAction::Release, MouseButton::Left, "p:left-up"},
      {MouseAction::Release, MouseButton::Right, "p:right-up"},
  };
  for (const auto& k : cases) {
    log.clear();
    EXPECT_EQ(sendMouse(p, {3, 4}, k.action, k.button), 1u) << k.heard;
    ASSERT_EQ(trace(log), std::vector<std::string>{k.heard});
    EXPECT_EQ(log[0].x, 3);
    EXPECT_EQ(log[0].y, 4);
  }
}

TEST(ControlCalls, ResetForgetsTheParent) {
  ControlGroup parent(0, 0, 50, 50, ControlFlags::Active, nullptr);
  Control c(0, 0, 5, 5, ControlFlags::Active, &parent);
  c.reset();
  EXPECT_EQ(c.parent, nullptr);
  EXPECT_EQ(c.absoluteX(), 0);
}

TEST(ControlGeometry, ContainsIncludesAllEdgesAndUsesLow16Bits) {
  Control c(10, 20, 20, 10, ControlFlags::Active, nullptr);
  Control wrapped(65536 + 10, 20, 65536 + 20, 10, ControlFlags::Active, nullptr);
  const struct {
    int32_t px, py;
    bool inside;
  } cases[] = {
      {10, 20, true},  {30, 30, true},  {20, 25, true},  {9, 25, false},
      {31, 25, false}, {20, 19, false}, {20, 31, false},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(c.contains(k.px, k.py), k.inside) << k.px << "," << k.py;
    EXPECT_EQ(wrapped.contains(k.px, k.py), k.inside) << k.px << "," << k.py;
  }
}

TEST(ControlGeometry, AbsolutePositionAddsParentsAndMoveBySetSizeChangeFields) {
  ControlGroup root(5, 6, 200, 200, ControlFlags::Active, nullptr);
  ControlGroup mid(10, 20, 100, 100, ControlFlags::Active, &root);
  Control leaf(1, 2, 3, 4, ControlFlags::Active, &mid);
  EXPECT_EQ(leaf.absoluteX(), 16);
  EXPECT_EQ(leaf.absoluteY(), 28);
  EXPECT_EQ(leaf.window(), nullptr);
  EXPECT_EQ(leaf.moveBy(-1, 3), 1);
  EXPECT_EQ(leaf.setSize(7, 8), 1);
  EXPECT_EQ(leaf.absoluteX(), 15);
  EXPECT_EQ(leaf.absoluteY(), 31);
  EXPECT_EQ(leaf.width, 7);
  EXPECT_EQ(leaf.height, 8);
}

// A control covering window pixels 10..30 in both directions (edges inclusive).
TEST(ControlPaint, OnlyTheFourCornerTestsMarkTheControl) {
  const struct {
    const char* name;
    Rect16 update;  // top, left, bottom, right
    int32_t dirtyBefore;
    int32_t dirtyAfter;
    uint32_t result;
  } cases[] = {
      {"wholly inside", {12, 12, 20, 20}, 0, 1, ControlResult::Paint},
      {"equal to the control", {10, 10, 30, 30}, 0, 1, ControlResult::Paint},
      {"top-left corner inside", {20, 20, 40, 40}, 0, 1, 0},
      {"bottom-right corner inside", {0, 0, 15, 15}, 0, 1, 0},
      {"touching the far corner", {30, 30, 40, 40}, 0, 1, 0},
      {"covering the control", {0, 0, 50, 50}, 0, 1, 0},
      {"crossing without a corner", {15, 0, 18, 50}, 0, 0, 0},
      {"disjoint, clears old mark", {40, 40, 50, 50}, 1, 0, 0},
  };
  for (const auto& k : cases) {
    ControlGroup root(0, 0, 100, 100, ControlFlags::Active, nullptr);
    Control c(5, 5, 20, 20, ControlFlags::Active, &root);
    root.x = 5;  // absolute position 10, 10: the marking converts window coordinates
    root.y = 5;
    c.dirty = k.dirtyBefore;
    Rect16 update = k.update;
    EXPECT_EQ(c.onPaint(update), k.result) << k.name;
    EXPECT_EQ(c.dirty, k.dirtyAfter) << k.name;
  }
}

}  // namespace
