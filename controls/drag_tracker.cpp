#include "controls/drag_tracker.h"

#include <cstdlib>

DragTracker::DragTracker(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                         Control* parent, HBITMAP bitmap, DragCallback leftDrag,
                         DragCallback rightDrag, void* context)
    : BitmapControl(x, y, width, height, flags, parent, bitmap, nullptr),
      grabX_(0),
      grabY_(0),
      leftHeld_(0),
      rightHeld_(0),
      leftDrag_(leftDrag),
      rightDrag_(rightDrag),
      context_(context) {}

DragTracker::~DragTracker() { DragTracker::reset(); }

void DragTracker::reset() {
    leftHeld_ = 0;
    rightHeld_ = 0;
    leftDrag_ = nullptr;
    rightDrag_ = nullptr;
    context_ = nullptr;
    BitmapControl::reset();
}

void DragTracker::setCallbacks(DragCallback leftDrag, DragCallback rightDrag, void* context) {
    leftDrag_ = leftDrag;
    rightDrag_ = rightDrag;
    context_ = context;
}

uint32_t DragTracker::onMouseMove(int32_t px, int32_t py, EventData data, int32_t event) {
    DragCallback callback = leftHeld_ ? leftDrag_ : rightHeld_ ? rightDrag_ : nullptr;
    if (callback) {
        callback(context_, px - grabX_ - x, py - grabY_ - y, data, event);
    }
    return 1;
}

uint32_t DragTracker::onButtonDown(int32_t px, int32_t py, EventData, int32_t event) {
    if (leftHeld_ || rightHeld_) return 1;
    if (event == ControlEvent::LeftDown) {
        leftHeld_ = 1;
    } else if (event == ControlEvent::RightDown) {
        rightHeld_ = 1;
    } else {
        return 1;
    }
    grabX_ = std::abs(px - x);
    grabY_ = std::abs(py - y);
    return 1;
}

uint32_t DragTracker::onButtonUp(int32_t, int32_t, EventData, int32_t event) {
    if (event == ControlEvent::LeftUp) leftHeld_ = 0;
    if (event == ControlEvent::RightUp) rightHeld_ = 0;
    return 0;
}

InvisibleDragTracker::InvisibleDragTracker(int32_t x, int32_t y, int32_t width, int32_t height,
                                           uint32_t flags, Control* parent,
                                           DragCallback leftDrag, DragCallback rightDrag,
                                           void* context)
    : DragTracker(x, y, width, height, flags, parent, nullptr, leftDrag, rightDrag, context) {}

uint32_t InvisibleDragTracker::draw(int32_t px, int32_t py, EventData data, int32_t event) {
    return Control::draw(px, py, data, event);
}
