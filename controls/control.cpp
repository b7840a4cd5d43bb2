#include "controls/control.h"

#include <cstring>

#include "controls/rect16.h"

namespace {

bool within(int16_t start, int16_t length, int32_t p) { return start <= p && p <= start + length; }

}  // namespace

Control::Control(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                 Control* parent)
    : x(x), y(y), width(width), height(height), parent(parent), flags(flags), dirty(0) {
    std::memset(handlers_, 0, sizeof handlers_);
    static const struct {
        int32_t event;
        EventHandler handler;
    } forwards[] = {
        {ControlEvent::Draw, forwardToSlot<Control, &Control::draw>},
        {1, forwardToSlot<Control, &Control::onKey>},
        {ControlEvent::Key, forwardToSlot<Control, &Control::onKey>},
        {3, forwardToSlot<Control, &Control::onKey>},
        {ControlEvent::MouseMove, forwardToSlot<Control, &Control::onMouseMove>},
        {ControlEvent::LeftUp, forwardToSlot<Control, &Control::onButtonUp>},
        {ControlEvent::RightUp, forwardToSlot<Control, &Control::onButtonUp>},
        {ControlEvent::LeftDown, forwardToSlot<Control, &Control::onButtonDown>},
        {ControlEvent::RightDown, forwardToSlot<Control, &Control::onButtonDown>},
        {10, forwardToSlot<Control, &Control::onDismiss>},
        {ControlEvent::Paint, forwardToSlot<Control, &Control::onPaint>},
        {ControlEvent::Fallback, forwardToSlot<Control, &Control::onOther>},
    };
    for (const auto& f : forwards) setHandler(f.event, f.handler);
}

Control::~Control() { Control::reset(); }

void Control::reset() {
    std::memset(handlers_, 0, sizeof handlers_);
    parent = nullptr;
}

int32_t Control::absoluteX() { return parent ? x + parent->absoluteX() : x; }
int32_t Control::absoluteY() { return parent ? y + parent->absoluteY() : y; }
HWND Control::window() { return parent ? parent->window() : nullptr; }

uint32_t Control::draw(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onKey(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onMouseMove(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onButtonUp(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onButtonDown(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onDismiss(int32_t, int32_t, EventData, int32_t) { return 1; }
uint32_t Control::onOther(int32_t, int32_t, EventData, int32_t) { return 1; }

uint32_t Control::onPaint(int32_t, int32_t, EventData data, int32_t) {
    return markForPaint(*static_cast<const Rect16*>(data));
}

// Only the four corners decide: a corner of the update rectangle inside the control, or a
// corner of the control inside the rectangle. A rectangle that lies wholly inside answers
// Paint, which spares the container from redrawing itself.
uint32_t Control::markForPaint(const Rect16& update) {
    const int32_t ax = absoluteX();
    const int32_t ay = absoluteY();
    const bool topLeft = contains(update.left - ax + x, update.top - ay + y);
    const bool bottomRight = contains(update.right - ax + x, update.bottom - ay + y);
    if (topLeft || bottomRight) {
        dirty = 1;
        return topLeft && bottomRight ? uint32_t(ControlResult::Paint) : 0u;
    }
    dirty = update.contains(ax, ay) || update.contains(ax + width, ay + height) ? 1 : 0;
    return 0;
}

uint32_t Control::dispatch(int32_t x, int32_t y, EventData data, int32_t event) {
    if (event < 0 || event >= ControlEvent::Count) return 0;
    EventHandler h = handlers_[event] ? handlers_[event] : handlers_[ControlEvent::Fallback];
    return h ? h(this, x, y, data, event) : 0;
}

int Control::setHandler(int32_t event, EventHandler handler) {
    if (event < 0 || event >= ControlEvent::Count) return 0;
    handlers_[event] = handler;
    return 1;
}

EventHandler Control::handler(int32_t event) const {
    return event >= 0 && event < ControlEvent::Count ? handlers_[event] : nullptr;
}

int Control::moveBy(int32_t dx, int32_t dy) {
    x += dx;
    y += dy;
    return 1;
}

int Control::setSize(int32_t w, int32_t h) {
    width = w;
    height = h;
    return 1;
}

bool Control::contains(int32_t px, int32_t py) const {
    return within(int16_t(x), int16_t(width), px) && within(int16_t(y), int16_t(height), py);
}

uint32_t Control::redraw() {
    return draw(absoluteX() - x, absoluteY() - y, dataFromWindow(window()), ControlEvent::Draw);
}
