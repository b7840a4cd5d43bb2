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

#include "controls/bitmap_control.h"

// Told about one move of a drag: (context, dx, dy, data, event), shaped like an event handler
// but with the tracker's context word in place of a control.
using DragCallback = uint32_t (*)(void* context, int32_t dx, int32_t dy, EventData data,
                                  int32_t event);

class DragTracker : public BitmapControl {
public:
    DragTracker(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                Control* parent, HBITMAP bitmap, DragCallback leftDrag, DragCallback rightDrag,
                void* context);
    ~DragTracker() override;

    void reset() override;
    uint32_t onMouseMove(int32_t x, int32_t y, EventData data, int32_t event) override;
    uint32_t onButtonUp(int32_t x, int32_t y, EventData data, int32_t event) override;
    uint32_t onButtonDown(int32_t x, int32_t y, EventData data, int32_t event) override;

    void setCallbacks(DragCallback leftDrag, DragCallback rightDrag, void* context);
    bool leftHeld() const { return leftHeld_ != 0; }
    bool rightHeld() const { return rightHeld_ != 0; }

private:
    int32_t grabX_;
    int32_t grabY_;
    int32_t leftHeld_;
    int32_t rightHeld_;
    DragCallback leftDrag_;
    DragCallback rightDrag_;
    void* context_;
};

class InvisibleDragTracker : public DragTracker {
public:
    InvisibleDragTracker(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                         Control* parent, DragCallback leftDrag, DragCallback rightDrag,
                         void* context);

    uint32_t draw(int32_t x, int32_t y, EventData data, int32_t event) override;
};
