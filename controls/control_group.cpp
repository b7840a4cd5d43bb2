#include "controls/control_group.h"

#include "controls/rect16.h"

ControlGroup::ControlGroup(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                           Control* parent)
    : Control(x, y, width, height, flags, parent),
      captured(nullptr),
      captureButton(MouseButton::Left),
      focused(nullptr) {}

ControlGroup::~ControlGroup() { destroyChildren(); }

void ControlGroup::reset() {
  destroyChildren();
  Control::reset();
}

// A child being destroyed may still reach its siblings through the group, so each leaves the
// list before it goes.
void ControlGroup::destroyChildren() {
  for (size_t i = children.size(); i-- > 0;) {
    if (i >= children.size()) continue;
    std::unique_ptr<Control> child = children.takeAt(i);
    forget(child.get());
  }
}

void ControlGroup::forget(const Control* child) {
  if (captured == child) captured = nullptr;
  if (focused == child) focused = nullptr;
}

bool ControlGroup::remove(Control* child) {
  const size_t i = children.indexOf(child);
  if (i == ChildList::npos) return false;
  std::unique_ptr<Control> removed = children.takeAt(i);
  forget(child);
  return true;
}

Control* ControlGroup::firstChild() const {
  return children.empty() ? nullptr : children[0].child();
}

Control* ControlGroup::childAt(int32_t px, int32_t py) const {
  for (size_t i = 0; i < children.size(); ++i) {
    Control* child = children[i].child();
    if (child->flags.active && child->contains(px - x, py - y)) return child;
  }
  return nullptr;
}

void ControlGroup::raise(Control* child) {
  if (!child->flags.raiseOnHit) return;
  const size_t i = children.indexOf(child);
  if (i != ChildList::npos) children.moveToFront(i);
}

Control* ControlGroup::nextFocusable(int32_t& key) const {
  if (children.empty()) {
    key = 0;
    return nullptr;
  }
  size_t smallest = 0;
  size_t next = ChildList::npos;
  for (size_t i = 0; i < children.size(); ++i) {
    const ChildEntry& e = children[i];
    if (e.tab < children[smallest].tab) smallest = i;
    if (!e.child()->flags.focusable || e.tab <= key) continue;
    if (next == ChildList::npos || e.tab < children[next].tab) next = i;
  }
  const size_t chosen = next != ChildList::npos ? next : smallest;
  key = children[chosen].tab;
  return children[chosen].child();
}

// Children are drawn back to front so that the front child ends on top.
uint32_t ControlGroup::draw(Position origin, HWND window) {
  uint32_t result = 0;
  const Position here = origin + Position{x, y};
  for (size_t i = children.size(); i-- > 0;) {
    if (i >= children.size()) continue;
    Control* child = children[i].child();
    if (child->flags.active && child->dirty) {
      result |= child->draw(here, window);
    }
    child->dirty = 0;
  }
  dirty = 0;
  return result;
}

// A child may remove its siblings while it handles the call, so every step checks the index.
template <class Call>
uint32_t ControlGroup::broadcast(Call call) {
  uint32_t result = 0;
  for (size_t i = children.size(); i-- > 0;) {
    if (i < children.size()) result |= call(*children[i].child());
  }
  return result;
}

uint32_t ControlGroup::onPaint(const Rect16& update) {
  uint32_t result = broadcast([&](Control& c) { return c.onPaint(update); });
  if (!(result & ControlResult::Paint)) result |= markForPaint(update);
  return result;
}

uint32_t ControlGroup::onInit() {
  return broadcast([](Control& c) { return c.onInit(); });
}

uint32_t ControlGroup::onRefresh() {
  return broadcast([](Control& c) { return c.onRefresh(); });
}

uint32_t ControlGroup::onKey(char16_t key) { return focused ? focused->onKey(key) : 0; }

uint32_t ControlGroup::onButtonDown(Position at, MouseButton button) {
  if (captured && button != captureButton) {
    return sendToCaptured(at, MouseAction::Press, button);
  }
  return routeMouse(at, MouseAction::Press, button);
}

uint32_t ControlGroup::onMouseMove(Position at) {
  return captured ? sendToCaptured(at, MouseAction::Move, MouseButton::Left)
                  : routeMouse(at, MouseAction::Move, MouseButton::Left);
}

uint32_t ControlGroup::onButtonUp(Position at, MouseButton button) {
  if (!captured) return 0;
  const bool ending = button == captureButton;
  const uint32_t result = sendToCaptured(at, MouseAction::Release, button);
  if (ending) captured = nullptr;
  return result;
}

uint32_t ControlGroup::sendToCaptured(Position at, MouseAction action, MouseButton button) {
  return sendMouse(*captured, at - Position{x, y}, action, button);
}

// A click on empty group area changes neither capture nor focus. The target must not be used
// once it has handled the event: a button's action may replace the very button it belongs to.
uint32_t ControlGroup::routeMouse(Position at, MouseAction action, MouseButton button) {
  Control* target = childAt(at.x, at.y);
  if (!target) return 0;
  raise(target);
  uint32_t result = 0;
  if (action == MouseAction::Release) {
    captured = nullptr;
  } else if (action == MouseAction::Press) {
    captured = target;
    captureButton = button;
    if (button == MouseButton::Left) result = moveFocusOnPress(target);
  }
  return result | sendMouse(*target, at - Position{x, y}, action, button);
}

uint32_t ControlGroup::moveFocusOnPress(Control* target) {
  uint32_t result = 0;
  if (focused && focused != target) {
    Control* leaving = focused;
    focused = nullptr;
    result |= leaving->onFocusOut();
  }
  if (target->flags.focusable && target != focused) {
    focused = target;
    result |= target->onFocusIn();
  }
  return result;
}

// Only a Focusable child is ever given the focus: in a group without any, the wrap-around
// candidate of nextFocusable would otherwise be a plain control.
uint32_t ControlGroup::focusFirst() {
  int32_t key = 0;
  Control* candidate = nextFocusable(key);
  if (!candidate || !candidate->flags.focusable) return 0;
  focused = candidate;
  return candidate->onFocusIn();
}

uint32_t ControlGroup::onFocusIn() {
  focused = nullptr;
  return focusFirst();
}

uint32_t ControlGroup::onFocusOut() {
  if (!focused) return 0;
  Control* leaving = focused;
  focused = nullptr;
  return leaving->onFocusOut() | ControlResult::FocusOut;
}

uint32_t ControlGroup::onAdvance() {
  if (!focused) {
    const uint32_t result = focusFirst();
    return focused ? result | ControlResult::Advance : result;
  }
  uint32_t result = focused->onAdvance();
  if (result & ControlResult::Advance) return result;
  result |= focused->onFocusOut();
  const int32_t current = tabOf(focused);
  int32_t key = current;
  Control* candidate = nextFocusable(key);
  if (key > current) {
    focused = candidate;
    return result | candidate->onFocusIn() | ControlResult::Advance;
  }
  focused = nullptr;
  return result;
}
