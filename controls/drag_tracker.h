// DragTracker: reports mouse drags over a bitmap to callbacks; InvisibleDragTracker is the same
// without a picture.
//
// Contract: the tracker never moves itself. While one button holds it, each move calls that
// button's callback with the offset by which the control would have to move so that the point
// grabbed at the press follows the pointer; the callback decides what to do with it. Only one
// button holds the tracker at a time: a press of the other button during a drag is ignored.
// Callbacks may be null. Coordinates are in the tracker's parent's coordinates, as events give
// them.
#pragma once

#include <functional>

#include "controls/bitmap_control.h"

// Told about one move of a drag: the offset by which the tracker would have to move.
using DragCallback = std::function<void(Position offset)>;

class DragTracker : public BitmapControl {
 public:
  DragTracker(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
              Control* parent, HBITMAP bitmap, DragCallback leftDrag, DragCallback rightDrag);
  ~DragTracker() override;

  void reset() override;
  uint32_t onMouseMove(Position at) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;

  void setCallbacks(DragCallback leftDrag, DragCallback rightDrag);
  bool leftHeld() const { return leftHeld_; }
  bool rightHeld() const { return rightHeld_; }

 private:
  int32_t grabX_;
  int32_t grabY_;
  bool leftHeld_;
  bool rightHeld_;
  DragCallback leftDrag_;
  DragCallback rightDrag_;
};

class InvisibleDragTracker : public DragTracker {
 public:
  InvisibleDragTracker(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                       Control* parent, DragCallback leftDrag, DragCallback rightDrag);

  uint32_t draw(Position origin, HWND window) override;
};
