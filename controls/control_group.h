// ControlGroup: a control that holds child controls and routes events to them.
//
// Contract: children are kept in a ChildList, front first; a child's coordinates are relative
// to the group. The group owns its children and destroys them on remove, reset or destruction.
// Mouse events go to the front-most active child under the pointer, except that the child that
// took the last button press (captured) receives every move and the release until then. Keys go to
// the focused child. Draw, Paint, Init and Refresh travel from the back to the front so the front
// child ends on top. The capture belongs to the button that took it: a press of the other button
// meanwhile goes to the captured child too, and only the capturing button's release ends the
// capture, so a chord never leaves a child believing a button is still held. captured and focused
// never own; removing or clearing a child also drops those references, so a destroyed child can
// never be reached through them.
#pragma once

#include "controls/child_list.h"
#include "controls/control.h"

class ControlGroup : public Control {
 public:
  ControlGroup(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
               Control* parent);
  ~ControlGroup() override;

  // Destroys the children.
  void reset() override;
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onKey(char16_t key) override;
  uint32_t onMouseMove(Position at) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;
  uint32_t onPaint(const Rect16& update) override;
  uint32_t onInit() override;
  uint32_t onRefresh() override;
  uint32_t onFocusOut() override;
  uint32_t onFocusIn() override;
  uint32_t onAdvance() override;

  // Hands a mouse action to the child under the pointer; at is in the parent's coordinates.
  virtual uint32_t routeMouse(Position at, MouseAction action, MouseButton button);

  // Takes the child (made with this group as its parent) and answers it, or null when it could
  // not be stored, in which case it is destroyed.
  template <class T>
  T* add(std::unique_ptr<T> child) {
    T* added = child.get();
    return children.append(std::move(child)) ? added : nullptr;
  }
  // Destroys child; false when it is not one of the group's.
  bool remove(Control* child);
  Control* firstChild() const;
  // (px, py) in the group's parent's coordinates.
  Control* childAt(int32_t px, int32_t py) const;
  void raise(Control* child);
  int32_t maxTab() const { return children.maxTab(); }
  int32_t tabOf(const Control* child) const { return children.tabOf(child); }
  // The focusable child whose tab number follows key most closely; when none follows, the
  // child with the smallest tab number (the wrap-around candidate). key receives its number.
  Control* nextFocusable(int32_t& key) const;

  Control* captured;
  MouseButton captureButton;  // the button whose press took the capture
  Control* focused;
  ChildList children;

 private:
  void destroyChildren();
  void forget(const Control* child);
  uint32_t sendToCaptured(Position at, MouseAction action, MouseButton button);
  uint32_t moveFocusOnPress(Control* target);
  uint32_t focusFirst();
  // Calls call(child) on every child, back to front, and combines the answers.
  template <class Call>
  uint32_t broadcast(Call call);
};
