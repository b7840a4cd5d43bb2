#include "controls/drag_tracker.h"

#include <cstdlib>
#include <utility>

DragTracker::DragTracker(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                         Control* parent, HBITMAP bitmap, DragCallback leftDrag,
                         DragCallback rightDrag)
    : BitmapControl(x, y, width, height, flags, parent, bitmap, nullptr),
      grabX_(0),
      grabY_(0),
      leftHeld_(false),
      rightHeld_(false),
      leftDrag_(std::move(leftDrag)),
      rightDrag_(std::move(rightDrag)) {}

DragTracker::~DragTracker() { DragTracker::reset(); }

void DragTracker::reset() {
  leftHeld_ = false;
  rightHeld_ = false;
  leftDrag_ = nullptr;
  rightDrag_ = nullptr;
  BitmapControl::reset();
}

void DragTracker::setCallbacks(DragCallback leftDrag, DragCallback rightDrag) {
  leftDrag_ = std::move(leftDrag);
  rightDrag_ = std::move(rightDrag);
}

uint32_t DragTracker::onMouseMove(Position at) {
  const DragCallback& callback = leftHeld_ ? leftDrag_ : rightDrag_;
  if ((leftHeld_ || rightHeld_) && callback) callback({at.x - grabX_ - x, at.y - grabY_ - y});
  return 1;
}

uint32_t DragTracker::onButtonDown(Position at, MouseButton button) {
  if (leftHeld_ || rightHeld_) return 1;
  if (button == MouseButton::Left) {
    leftHeld_ = true;
  } else {
    rightHeld_ = true;
  }
  grabX_ = std::abs(at.x - x);
  grabY_ = std::abs(at.y - y);
  return 1;
}

uint32_t DragTracker::onButtonUp(Position, MouseButton button) {
  if (button == MouseButton::Left) leftHeld_ = false;
  if (button == MouseButton::Right) rightHeld_ = false;
  return 0;
}

InvisibleDragTracker::InvisibleDragTracker(int32_t x, int32_t y, int32_t width, int32_t height,
                                           ControlFlags flags, Control* parent,
                                           DragCallback leftDrag, DragCallback rightDrag)
    : DragTracker(x, y, width, height, flags, parent, nullptr, std::move(leftDrag),
                  std::move(rightDrag)) {}

uint32_t InvisibleDragTracker::draw(Position origin, HWND window) {
  return Control::draw(origin, window);
}
