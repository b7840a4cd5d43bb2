// Control groups: hit testing, raising, capture, focus and the Enter order, paint marking and
// the Draw pass, broadcasts, and ownership of children.
#include <gtest/gtest.h>

#include <memory>

#include "tests/controls/probe.h"

namespace {

using Strings = std::vector<std::string>;

struct Tree {
  EventLog log;
  ControlGroup group{100, 50, 200, 100, ControlFlags::Active, nullptr};

  Probe* add(const char* name, int32_t x, int32_t y, int32_t w, int32_t h,
             ControlFlags flags = ControlFlags::Active) {
    Probe* p = group.add(std::make_unique<Probe>(name, log, x, y, w, h, flags, &group));
    return p;
  }
  uint32_t send(Ev event, int32_t x = 0, int32_t y = 0, char16_t key = 0,
                const Rect16* update = nullptr) {
    return ::send(group, event, x, y, key, update);
  }
};

TEST(GroupHitTest, FrontFirstActiveOnlyAndRaiseOnlyWhenAllowed) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 50, 50);
  Probe* b = t.add("b", 20, 20, 50, 50, ControlFlags::RaiseOnHit);
  Probe* hidden = t.add("hidden", 80, 0, 10, 10, ControlFlags::Inactive);
  // Group at (100, 50): childAt takes the group's parent's coordinates.
  EXPECT_EQ(t.group.childAt(130, 80), a);
  EXPECT_EQ(t.group.childAt(160, 100), b);
  EXPECT_EQ(t.group.childAt(185, 55), nullptr) << "an inactive child is never hit";
  EXPECT_EQ(t.group.childAt(0, 0), nullptr);
  (void)hidden;

  t.group.raise(a);
  EXPECT_EQ(t.group.firstChild(), a) << "a is not raise-on-hit, order unchanged";
  t.send(Ev::LeftDown, 160, 100);  // hits b only
  t.send(Ev::LeftUp, 160, 100);
  EXPECT_EQ(t.group.firstChild(), b);
  EXPECT_EQ(t.group.childAt(130, 80), b) << "the raised child is hit first where they overlap";
  EXPECT_EQ(t.group.children[1].child(), a);
  EXPECT_EQ(t.group.children[2].child(), hidden) << "the others keep their relative order";
}

TEST(GroupMouse, CaptureKeepsMovesAndReleaseWithThePressedChild) {
  Tree t;
  t.add("a", 0, 0, 20, 20);
  t.add("b", 50, 0, 20, 20);
  t.send(Ev::LeftDown, 110, 60);
  t.send(Ev::MouseMove, 155, 60);
  t.send(Ev::MouseMove, 160, 55);
  t.send(Ev::LeftUp, 160, 55);
  EXPECT_EQ(trace(t.log), (Strings{"a:left-down", "a:move", "a:move", "a:left-up"}));
  EXPECT_EQ(t.log[2].x, 60) << "coordinates become relative to the group";
  EXPECT_EQ(t.log[2].y, 5);
  EXPECT_EQ(t.group.captured, nullptr);

  t.log.clear();
  t.send(Ev::MouseMove, 155, 60);
  EXPECT_EQ(trace(t.log), (Strings{"b:move"})) << "without capture moves go to the child below";
}

TEST(GroupMouse, EmptyAreaAndReleaseWithoutCaptureChangeNothing) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  t.send(Ev::LeftDown, 105, 55);
  EXPECT_EQ(t.send(Ev::LeftDown, 250, 120), 0u);
  EXPECT_EQ(t.group.captured, a);
  EXPECT_EQ(t.group.focused, a);
  t.send(Ev::LeftUp, 250, 120);
  EXPECT_EQ(t.group.captured, nullptr);
  t.log.clear();
  EXPECT_EQ(t.send(Ev::LeftUp, 105, 55), 0u);
  EXPECT_TRUE(t.log.empty());
}

TEST(GroupMouse, RightPressCapturesWithoutTouchingTheFocus) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  Probe* b = t.add("b", 50, 0, 20, 20, ControlFlags::Focusable);
  t.send(Ev::LeftDown, 105, 55);
  t.send(Ev::LeftUp, 105, 55);
  t.send(Ev::RightDown, 155, 55);
  EXPECT_EQ(t.group.captured, b);
  EXPECT_EQ(t.group.focused, a);
}

// A second button pressed while the first holds a child stays with that child, and only the
// first button's release ends the capture: the held child hears both releases.
TEST(GroupMouse, ChordStaysWithTheChildThatHoldsTheCapture) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 20, 20);
  t.add("b", 50, 0, 20, 20);
  t.send(Ev::LeftDown, 105, 55);
  t.send(Ev::RightDown, 155, 55);
  t.send(Ev::RightUp, 155, 55);
  EXPECT_EQ(t.group.captured, a);
  t.send(Ev::MouseMove, 160, 55);
  t.send(Ev::LeftUp, 160, 55);
  EXPECT_EQ(trace(t.log),
            (Strings{"a:left-down", "a:right-down", "a:right-up", "a:move", "a:left-up"}));
  EXPECT_EQ(t.group.captured, nullptr);
}

TEST(GroupFocus, PressMovesTheFocusAsTheTableSays) {
  const struct {
    const char* name;
    const char* pressed;  // which child the left press hits
    Strings events;       // what the children hear, in order
    const char* focusedAfter;
  } cases[] = {
      {"onto another focusable", "b", {"a:focus-out", "b:focus-in", "b:left-down"}, "b"},
      {"onto a plain control", "plain", {"a:focus-out", "plain:left-down"}, ""},
      {"onto the focused one", "a", {"a:left-down"}, "a"},
  };
  for (const auto& k : cases) {
    Tree t;
    Probe* a = t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
    t.add("b", 30, 0, 20, 20, ControlFlags::Focusable);
    t.add("plain", 60, 0, 20, 20);
    t.send(Ev::LeftDown, 105, 55);
    t.send(Ev::LeftUp, 105, 55);
    ASSERT_EQ(t.group.focused, a);
    t.log.clear();
    const int32_t x = k.pressed[0] == 'a' ? 105 : k.pressed[0] == 'b' ? 135 : 165;
    t.send(Ev::LeftDown, x, 55);
    EXPECT_EQ(trace(t.log), k.events) << k.name;
    const std::string focused = t.group.focused ? static_cast<Probe*>(t.group.focused)->name : "";
    EXPECT_EQ(focused, k.focusedAfter) << k.name;
  }
}

TEST(GroupFocus, KeysGoToTheFocusedChildOnly) {
  Tree t;
  t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  t.add("b", 30, 0, 20, 20, ControlFlags::Focusable);
  char16_t key = '5';
  EXPECT_EQ(t.send(Ev::Key, 0, 0, key), 0u) << "no focus, no receiver";
  t.send(Ev::LeftDown, 135, 55);
  t.log.clear();
  EXPECT_EQ(t.send(Ev::Key, 0, 0, key), 1u);
  EXPECT_EQ(trace(t.log), (Strings{"b:key"}));
}

// Button (tab 0), A (tab 1), B (tab 2): Enter walks A, B, then drops the focus; the dialog's
// second Advance after a result without 0x10 starts over at A.
TEST(GroupFocus, EnterOrderWithWrapAround) {
  Tree t;
  t.add("button", 0, 0, 20, 20);
  Probe* a = t.add("a", 30, 0, 20, 20, ControlFlags::Focusable);
  Probe* b = t.add("b", 60, 0, 20, 20, ControlFlags::Focusable);
  EXPECT_EQ(t.group.tabOf(a), 1);
  EXPECT_EQ(t.group.tabOf(b), 2);
  EXPECT_EQ(t.group.maxTab(), 2);

  const struct {
    uint32_t resultBits;
    Control* focusedAfter;
    Strings heard;
  } steps[] = {
      {ControlResult::Advance, a, {"a:focus-in"}},
      {ControlResult::Advance, b, {"a:advance", "a:focus-out", "b:focus-in"}},
      {0, nullptr, {"b:advance", "b:focus-out"}},
      {ControlResult::Advance, a, {"a:focus-in"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    t.log.clear();
    const uint32_t result = t.send(Ev::Advance);
    EXPECT_EQ(result & ControlResult::Advance, steps[i].resultBits) << "step " << i;
    EXPECT_EQ(t.group.focused, steps[i].focusedAfter) << "step " << i;
    EXPECT_EQ(trace(t.log), steps[i].heard) << "step " << i;
  }
}

TEST(GroupFocus, AdvanceHandledInsideTheFocusedChildKeepsTheFocus) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  t.add("b", 30, 0, 20, 20, ControlFlags::Focusable);
  t.send(Ev::Advance);
  a->answer = ControlResult::Advance | 1;
  t.log.clear();
  EXPECT_EQ(t.send(Ev::Advance), ControlResult::Advance | 1u);
  EXPECT_EQ(t.group.focused, a);
  EXPECT_EQ(trace(t.log), (Strings{"a:advance"}));
}

TEST(GroupFocus, FocusOutReportsWhetherAFocusWasGivenUp) {
  Tree t;
  t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  EXPECT_EQ(t.send(Ev::FocusOut), 0u);
  EXPECT_EQ(t.send(Ev::FocusIn), 1u);
  EXPECT_EQ(t.send(Ev::FocusOut), ControlResult::FocusOut | 1u);
  EXPECT_EQ(t.group.focused, nullptr);
  EXPECT_EQ(trace(t.log), (Strings{"a:focus-in", "a:focus-out"}));
}

TEST(GroupFocus, NestedGroupTakesAndPassesOnTheFocus) {
  Tree t;
  ControlGroup* inner =
      t.group.add(std::make_unique<ControlGroup>(0, 0, 100, 50, ControlFlags::Focusable, &t.group));
  Probe* x =
      inner->add(std::make_unique<Probe>("x", t.log, 0, 0, 10, 10, ControlFlags::Focusable, inner));
  Probe* after = t.add("after", 150, 0, 10, 10, ControlFlags::Focusable);
  EXPECT_NE(t.send(Ev::Advance) & ControlResult::Advance, 0u);
  EXPECT_EQ(t.group.focused, inner);
  EXPECT_EQ(inner->focused, x);
  EXPECT_NE(t.send(Ev::Advance) & ControlResult::Advance, 0u);
  EXPECT_EQ(t.group.focused, after);
  EXPECT_EQ(inner->focused, nullptr);
}

// Without any focusable child there is nothing to focus: the wrap-around candidate would be a
// plain control.
TEST(GroupFocus, NoFocusableChildMeansNoFocus) {
  Tree t;
  t.add("plain", 0, 0, 20, 20);
  EXPECT_EQ(t.send(Ev::FocusIn), 0u);
  EXPECT_EQ(t.send(Ev::Advance), 0u);
  EXPECT_EQ(t.group.focused, nullptr);
  EXPECT_TRUE(t.log.empty());
  int32_t key = 0;
  EXPECT_EQ(static_cast<Probe*>(t.group.nextFocusable(key))->name, "plain");
  ControlGroup empty(0, 0, 1, 1, ControlFlags::Inactive, nullptr);
  key = 5;
  EXPECT_EQ(empty.nextFocusable(key), nullptr);
  EXPECT_EQ(key, 0);
}

TEST(GroupBroadcast, ReachesEveryChildBackToFrontIncludingInactive) {
  Tree t;
  t.add("a", 0, 0, 10, 10);
  t.add("idle", 0, 0, 10, 10, ControlFlags::Inactive);
  t.add("c", 0, 0, 10, 10);
  for (Ev e : {Ev::Refresh, Ev::Init}) {
    t.log.clear();
    EXPECT_EQ(t.send(e), 1u);
    const std::string name = nameOf(e);
    EXPECT_EQ(trace(t.log), (Strings{"c:" + name, "idle:" + name, "a:" + name}));
  }
}

// Group at window (100, 50); child "a" covers window 110..130 x 60..80.
TEST(GroupPaint, ARectangleInsideAChildSparesTheGroup) {
  const struct {
    const char* name;
    Rect16 update;
    bool childDirty;
    bool groupDirty;
    bool paintBit;
  } cases[] = {
      {"inside the child", {62, 112, 70, 120}, true, false, true},
      {"straddling the child's edge", {70, 120, 90, 140}, true, true, true},
      {"inside the group only", {120, 200, 130, 210}, false, true, true},
      {"outside everything", {0, 0, 5, 5}, false, false, false},
  };
  for (const auto& k : cases) {
    Tree t;
    Probe* a = t.add("a", 10, 10, 20, 20);
    Rect16 update = k.update;
    const uint32_t result = t.send(Ev::Paint, 0, 0, 0, &update);
    EXPECT_EQ(a->dirty != 0, k.childDirty) << k.name;
    EXPECT_EQ(t.group.dirty != 0, k.groupDirty) << k.name;
    EXPECT_EQ((result & ControlResult::Paint) != 0, k.paintBit) << k.name;
  }
}

TEST(GroupPaint, InactiveChildIsMarkedButNotDrawn) {
  Tree t;
  Probe* idle = t.add("idle", 0, 0, 10, 10, ControlFlags::Inactive);
  Rect16 everything{0, 0, 500, 500};
  t.send(Ev::Paint, 0, 0, 0, &everything);
  EXPECT_EQ(idle->dirty, 1);
  t.log.clear();
  t.send(Ev::Draw, 0, 0);
  EXPECT_TRUE(t.log.empty());
  EXPECT_EQ(idle->dirty, 0);
}

TEST(GroupDraw, DrawsActiveDirtyChildrenBackToFrontAtTheGroupsOrigin) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 10, 10);
  Probe* clean = t.add("clean", 0, 0, 10, 10);
  Probe* c = t.add("c", 0, 0, 10, 10);
  a->dirty = 1;
  c->dirty = 1;
  t.group.dirty = 1;
  EXPECT_EQ(t.send(Ev::Draw, 3, 4), 1u);
  EXPECT_EQ(trace(t.log), (Strings{"c:draw", "a:draw"}));
  EXPECT_EQ(t.log[0].x, 103);
  EXPECT_EQ(t.log[0].y, 54);
  EXPECT_EQ(a->dirty + clean->dirty + c->dirty + t.group.dirty, 0);
}

TEST(GroupOwnership, RemoveAndResetDestroyTheChildren) {
  Tree t;
  Probe::destroyed = 0;
  Probe* removed = t.add("removed", 0, 0, 10, 10);
  t.add("a", 0, 0, 10, 10);
  t.add("b", 0, 0, 10, 10);
  EventLog elsewhere;
  Probe stranger("stranger", elsewhere, 0, 0, 10, 10);

  EXPECT_TRUE(t.group.remove(removed));
  EXPECT_EQ(Probe::destroyed, 1);
  EXPECT_FALSE(t.group.remove(removed)) << "already gone";
  EXPECT_FALSE(t.group.remove(&stranger)) << "not one of the group's";
  t.group.reset();
  EXPECT_EQ(Probe::destroyed, 3);
  EXPECT_TRUE(t.group.children.empty());
  t.log.clear();
  EXPECT_EQ(t.send(Ev::Refresh), 0u) << "nobody left to hear it";
  EXPECT_TRUE(t.log.empty());
}

TEST(GroupOwnership, DestroyingARootDestroysNestedOwnedChildren) {
  EventLog log;
  Probe::destroyed = 0;
  auto* root = new ControlGroup(0, 0, 100, 100, ControlFlags::Active, nullptr);
  auto* inner = root->add(std::make_unique<ControlGroup>(0, 0, 50, 50, ControlFlags::Active, root));
  inner->add(std::make_unique<Probe>("deep", log, 0, 0, 5, 5, ControlFlags::Active, inner));
  root->add(std::make_unique<Probe>("top", log, 0, 0, 5, 5, ControlFlags::Active, root));
  delete root;
  EXPECT_EQ(Probe::destroyed, 2);
}

// A child that is removed while it holds the capture or the focus must not be reached through
// the group afterwards (it has been destroyed).
TEST(GroupOwnership, RemovingTheCapturedOrFocusedChildForgetsIt) {
  Tree t;
  Probe* a = t.add("a", 0, 0, 20, 20, ControlFlags::Focusable);
  t.send(Ev::LeftDown, 105, 55);
  ASSERT_EQ(t.group.captured, a);
  ASSERT_EQ(t.group.focused, a);
  t.group.remove(a);
  EXPECT_EQ(t.group.captured, nullptr);
  EXPECT_EQ(t.group.focused, nullptr);
  char16_t key = '1';
  EXPECT_EQ(t.send(Ev::LeftUp, 105, 55), 0u);
  EXPECT_EQ(t.send(Ev::Key, 0, 0, key), 0u);
  EXPECT_EQ(t.send(Ev::FocusOut), 0u);
}

}  // namespace
