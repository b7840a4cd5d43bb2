// Control: the root of the custom-drawn control family.
//
// Contract: a control is a rectangle (x, y, width, height) relative to its parent's origin, a
// flag word, a dirty mark for the next Draw pass, and a table of 26 plain event handlers. Events
// arrive only through dispatch, which looks up the handler for the code (falling back to entry
// 20) and returns its result unchanged; codes of 26 or more are ignored and answer 0. The
// parent link does not own; a group owns its Owned children (see control_group.h). Rectangle
// tests use the low 16 bits of x, y, width and height and include all four edges. Drawing is
// done by the draw slot with the parent's absolute origin and the target window; controls never
// keep a device context beyond one drawing call.
#pragma once

#include <cstdint>

#include "controls/control_event.h"
#include "controls/rect16.h"

class Control;

// A handler that hands the event to one virtual slot of T. Each class installs these only on
// itself, from its own constructor, so the downcast always holds.
template <class T, uint32_t (T::*Slot)(int32_t, int32_t, EventData, int32_t)>
uint32_t forwardToSlot(Control* control, int32_t x, int32_t y, EventData data, int32_t event) {
    return (static_cast<T*>(control)->*Slot)(x, y, data, event);
}

class Control {
public:
    Control(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags, Control* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Clears the handler table and the parent link; the control then answers no event.
    virtual void reset();
    virtual int32_t absoluteX();
    virtual int32_t absoluteY();
    // The window the control draws into: its parent's, null for a root.
    virtual HWND window();

    virtual uint32_t draw(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onKey(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onMouseMove(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onButtonUp(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onButtonDown(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onDismiss(int32_t x, int32_t y, EventData data, int32_t event);
    virtual uint32_t onOther(int32_t x, int32_t y, EventData data, int32_t event);
    // Marks the control dirty when the update rectangle (data, a Rect16*) touches it.
    virtual uint32_t onPaint(int32_t x, int32_t y, EventData data, int32_t event);

    uint32_t dispatch(int32_t x, int32_t y, EventData data, int32_t event);
    // Returns 0 and stores nothing for a code outside the table.
    int setHandler(int32_t event, EventHandler handler);
    EventHandler handler(int32_t event) const;

    int moveBy(int32_t dx, int32_t dy);
    int setSize(int32_t width, int32_t height);
    // (px, py) in the parent's coordinates; all four edges are inside.
    bool contains(int32_t px, int32_t py) const;
    bool hasFlag(uint32_t flag) const { return (flags & flag) != 0; }

    // Draws the control at once where it stands, without waiting for a paint message.
    uint32_t redraw();

    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    Control* parent;
    uint32_t flags;
    int32_t dirty;

protected:
    // The paint marking of a plain control, shared by groups for their own rectangle.
    uint32_t markForPaint(const Rect16& update);

private:
    EventHandler handlers_[ControlEvent::Count];
};
