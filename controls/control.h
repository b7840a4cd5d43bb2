// Control: the root of the custom-drawn control family.
//
// Contract: a control is a rectangle (x, y, width, height) relative to its parent's origin, its
// flags and a dirty mark for the next draw pass. Events arrive as calls of the virtual methods
// below; a plain control answers each with 1 and does nothing. The parent link does not own; a
// group owns its children (see control_group.h). Rectangle tests use the low 16
// bits of x, y, width and height and include all four edges. Drawing is done by draw with the
// parent's absolute origin and the target window; controls never keep a device context beyond
// one drawing call.
#pragma once

#include <cstdint>

#include "controls/control_event.h"
#include "controls/rect16.h"

class Control {
 public:
  Control(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags, Control* parent);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Forgets the parent link.
  virtual void reset();
  virtual int32_t absoluteX();
  virtual int32_t absoluteY();
  // The window the control draws into: its parent's, null for a root.
  virtual HWND window();

  // Draws the control into window; origin is its parent's absolute origin.
  virtual uint32_t draw(Position origin, HWND window);
  virtual uint32_t onKey(char16_t key);
  // Mouse positions are in the parent's coordinates.
  virtual uint32_t onMouseMove(Position at);
  virtual uint32_t onButtonDown(Position at, MouseButton button);
  virtual uint32_t onButtonUp(Position at, MouseButton button);
  // Marks the control dirty when the update rectangle touches it.
  virtual uint32_t onPaint(const Rect16& update);
  // The dialog opened: show what the bound settings hold.
  virtual uint32_t onInit();
  // The settings changed: show them again.
  virtual uint32_t onRefresh();
  virtual uint32_t onFocusIn();
  virtual uint32_t onFocusOut();
  // Enter: move the keyboard focus on.
  virtual uint32_t onAdvance();

  int moveBy(int32_t dx, int32_t dy);
  int setSize(int32_t width, int32_t height);
  // (px, py) in the parent's coordinates; all four edges are inside.
  bool contains(int32_t px, int32_t py) const;

  // Draws the control at once where it stands, without waiting for a paint message.
  uint32_t redraw();

  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  Control* parent;
  ControlFlags flags;
  int32_t dirty;

 protected:
  // The paint marking of a plain control, shared by groups for their own rectangle.
  uint32_t markForPaint(const Rect16& update);
};

enum class MouseAction { Move, Press, Release };

// Calls the method of control that takes this mouse action (for a move, button is not used).
uint32_t sendMouse(Control& control, Position at, MouseAction action,
                   MouseButton button = MouseButton::Left);
