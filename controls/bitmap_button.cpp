#include "controls/bitmap_button.h"

BitmapButton::BitmapButton(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                           Control* parent, HBITMAP bitmap, HBITMAP pressedBitmap,
                           ButtonAction action, void* actionContext, void* userData)
    : BitmapControl(x, y, width, height, flags, parent, bitmap, pressedBitmap),
      action_(action),
      actionContext_(actionContext),
      userData_(userData) {}

BitmapButton::~BitmapButton() { BitmapButton::reset(); }

void BitmapButton::reset() {
    action_ = nullptr;
    actionContext_ = nullptr;
    userData_ = nullptr;
    BitmapControl::reset();
}

void* BitmapButton::getUserData() { return userData_; }

uint32_t BitmapButton::fire(int32_t px, int32_t py, EventData data, int32_t event) {
    return action_ ? action_(actionContext_, px, py, data, event, userData_) : 0;
}

// The button shows its normal image again only after the action ran, so an action that takes
// a while (a modal dialog) leaves the button visibly pressed meanwhile.
uint32_t BitmapButton::onButtonUp(int32_t px, int32_t py, EventData data, int32_t event) {
    uint32_t result = 0;
    if (event == ControlEvent::LeftUp && contains(px, py)) result = fire(px, py, data, event);
    return result | release();
}

uint32_t PressButton::onButtonUp(int32_t, int32_t, EventData, int32_t) { return release(); }

uint32_t PressButton::onButtonDown(int32_t px, int32_t py, EventData data, int32_t event) {
    const uint32_t pressResult = press();
    if (event == ControlEvent::LeftDown && contains(px, py) && action_) {
        return fire(px, py, data, event);
    }
    return pressResult;
}

HotSpot::HotSpot(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                 Control* parent, ButtonAction action, void* actionContext, void* userData)
    : BitmapButton(x, y, width, height, flags, parent, nullptr, nullptr, action, actionContext,
                   userData) {}

uint32_t HotSpot::draw(int32_t px, int32_t py, EventData data, int32_t event) {
    return Control::draw(px, py, data, event);
}
