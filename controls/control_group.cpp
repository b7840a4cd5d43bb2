#include "controls/control_group.h"

#include "controls/rect16.h"

namespace {

int32_t releaseOf(int32_t press) {
    return press == ControlEvent::LeftDown ? ControlEvent::LeftUp : ControlEvent::RightUp;
}

}  // namespace

ControlGroup::ControlGroup(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                           Control* parent)
    : Control(x, y, width, height, flags, parent),
      captured(nullptr),
      captureButton(0),
      focused(nullptr) {
    setHandler(ControlEvent::FocusOut, forwardToSlot<ControlGroup, &ControlGroup::onFocusOut>);
    setHandler(ControlEvent::FocusIn, forwardToSlot<ControlGroup, &ControlGroup::onFocusIn>);
    setHandler(ControlEvent::Advance, forwardToSlot<ControlGroup, &ControlGroup::onAdvance>);
}

ControlGroup::~ControlGroup() { destroyOwnedChildren(); }

void ControlGroup::reset() {
    destroyOwnedChildren();
    Control::reset();
}

void ControlGroup::destroyOwnedChildren() {
    for (size_t i = children.size(); i-- > 0;) {
        if (i >= children.size()) continue;
        Control* child = children[i].child;
        if (!child->hasFlag(ControlFlags::Owned)) continue;
        children.eraseAt(i);
        forget(child);
        delete child;
    }
}

void ControlGroup::forget(const Control* child) {
    if (captured == child) captured = nullptr;
    if (focused == child) focused = nullptr;
}

int ControlGroup::add(Control* child) {
    return children.append(child, child->hasFlag(ControlFlags::Focusable)) ? 1 : 0;
}

int ControlGroup::remove(Control* child) {
    const size_t i = children.indexOf(child);
    if (i == ChildList::npos) return 0;
    children.eraseAt(i);
    forget(child);
    if (child->hasFlag(ControlFlags::Owned)) delete child;
    return 1;
}

Control* ControlGroup::firstChild() const { return children.empty() ? nullptr : children[0].child; }

Control* ControlGroup::childAt(int32_t px, int32_t py) const {
    for (size_t i = 0; i < children.size(); ++i) {
        Control* child = children[i].child;
        if (child->hasFlag(ControlFlags::Active) && child->contains(px - x, py - y)) return child;
    }
    return nullptr;
}

void ControlGroup::raise(Control* child) {
    if (!child->hasFlag(ControlFlags::RaiseOnHit)) return;
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
        if (!e.child->hasFlag(ControlFlags::Focusable) || e.tab <= key) continue;
        if (next == ChildList::npos || e.tab < children[next].tab) next = i;
    }
    const size_t chosen = next != ChildList::npos ? next : smallest;
    key = children[chosen].tab;
    return children[chosen].child;
}

// Children are drawn back to front so that the front child ends on top. A child is drawn
// through its slot directly: the handler table is for events from outside, and a dialog may
// have replaced the Draw entry for its own purposes.
uint32_t ControlGroup::draw(int32_t ox, int32_t oy, EventData data, int32_t event) {
    uint32_t result = 0;
    for (size_t i = children.size(); i-- > 0;) {
        if (i >= children.size()) continue;
        Control* child = children[i].child;
        if (child->hasFlag(ControlFlags::Active) && child->dirty) {
            result |= child->draw(ox + x, oy + y, data, event);
        }
        child->dirty = 0;
    }
    dirty = 0;
    return result;
}

uint32_t ControlGroup::onPaint(int32_t px, int32_t py, EventData data, int32_t event) {
    uint32_t result = broadcast(px, py, data, event);
    if (!(result & ControlResult::Paint)) result |= markForPaint(*static_cast<const Rect16*>(data));
    return result;
}

uint32_t ControlGroup::onOther(int32_t px, int32_t py, EventData data, int32_t event) {
    return broadcast(px, py, data, event);
}

uint32_t ControlGroup::broadcast(int32_t px, int32_t py, EventData data, int32_t event) {
    uint32_t result = 0;
    for (size_t i = children.size(); i-- > 0;) {
        if (i < children.size()) result |= children[i].child->dispatch(px, py, data, event);
    }
    return result;
}

uint32_t ControlGroup::onKey(int32_t px, int32_t py, EventData data, int32_t event) {
    if ((event != 1 && event != ControlEvent::Key) || !focused) return 0;
    return focused->dispatch(px, py, data, event);
}

uint32_t ControlGroup::onButtonDown(int32_t px, int32_t py, EventData data, int32_t event) {
    if (captured && event != captureButton) return sendToCaptured(px, py, data, event);
    return routeMouse(px, py, data, event);
}

uint32_t ControlGroup::onMouseMove(int32_t px, int32_t py, EventData data, int32_t event) {
    return captured ? sendToCaptured(px, py, data, event) : routeMouse(px, py, data, event);
}

uint32_t ControlGroup::onButtonUp(int32_t px, int32_t py, EventData data, int32_t event) {
    if (!captured) return 0;
    const bool ending = event == releaseOf(captureButton);
    const uint32_t result = sendToCaptured(px, py, data, event);
    if (ending) captured = nullptr;
    return result;
}

uint32_t ControlGroup::sendToCaptured(int32_t px, int32_t py, EventData data, int32_t event) {
    return captured->dispatch(px - x, py - y, data, event);
}

// A click on empty group area changes neither capture nor focus. The target must not be used
// once it has handled the event: a button's action may replace the very button it belongs to.
uint32_t ControlGroup::routeMouse(int32_t px, int32_t py, EventData data, int32_t event) {
    Control* target = childAt(px, py);
    if (!target) return 0;
    raise(target);
    uint32_t result = 0;
    switch (event) {
    case ControlEvent::LeftUp:
    case ControlEvent::RightUp:
        captured = nullptr;
        break;
    case ControlEvent::RightDown:
        captured = target;
        captureButton = event;
        break;
    case ControlEvent::LeftDown:
        captured = target;
        captureButton = event;
        result = moveFocusOnPress(target);
        break;
    default:
        break;
    }
    return result | target->dispatch(px - x, py - y, data, event);
}

uint32_t ControlGroup::moveFocusOnPress(Control* target) {
    uint32_t result = 0;
    if (focused && focused != target) {
        Control* leaving = focused;
        focused = nullptr;
        result |= leaving->dispatch(0, 0, nullptr, ControlEvent::FocusOut);
    }
    if (target->hasFlag(ControlFlags::Focusable) && target != focused) {
        focused = target;
        result |= target->dispatch(0, 0, nullptr, ControlEvent::FocusIn);
    }
    return result;
}

// Only a Focusable child is ever given the focus: in a group without any, the wrap-around
// candidate of nextFocusable would otherwise be a plain control.
uint32_t ControlGroup::focusFirst() {
    int32_t key = 0;
    Control* candidate = nextFocusable(key);
    if (!candidate || !candidate->hasFlag(ControlFlags::Focusable)) return 0;
    focused = candidate;
    return candidate->dispatch(0, 0, nullptr, ControlEvent::FocusIn);
}

uint32_t ControlGroup::onFocusIn(int32_t, int32_t, EventData, int32_t) {
    focused = nullptr;
    return focusFirst();
}

uint32_t ControlGroup::onFocusOut(int32_t, int32_t, EventData, int32_t) {
    if (!focused) return 0;
    Control* leaving = focused;
    focused = nullptr;
    return leaving->dispatch(0, 0, nullptr, ControlEvent::FocusOut) | ControlResult::FocusOut;
}

uint32_t ControlGroup::onAdvance(int32_t, int32_t, EventData, int32_t) {
    if (!focused) {
        const uint32_t result = focusFirst();
        return focused ? result | ControlResult::Advance : result;
    }
    uint32_t result = focused->dispatch(0, 0, nullptr, ControlEvent::Advance);
    if (result & ControlResult::Advance) return result;
    result |= focused->dispatch(0, 0, nullptr, ControlEvent::FocusOut);
    const int32_t current = tabOf(focused);
    int32_t key = current;
    Control* candidate = nextFocusable(key);
    if (key > current) {
        focused = candidate;
        return result | candidate->dispatch(0, 0, nullptr, ControlEvent::FocusIn) |
               ControlResult::Advance;
    }
    focused = nullptr;
    return result;
}
