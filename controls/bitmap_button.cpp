#include "controls/bitmap_button.h"

#include <utility>

BitmapButton::BitmapButton(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                           Control* parent, HBITMAP bitmap, HBITMAP pressedBitmap,
                           ButtonAction action)
    : BitmapControl(x, y, width, height, flags, parent, bitmap, pressedBitmap),
      action_(std::move(action)) {}

BitmapButton::~BitmapButton() { BitmapButton::reset(); }

void BitmapButton::reset() {
  action_ = nullptr;
  BitmapControl::reset();
}

// The action may destroy this button, so it runs on a copy.
uint32_t BitmapButton::fire(Position at) {
  if (!action_) return 0;
  ButtonAction action = action_;
  return action(at);
}

// The button shows its normal image again only after the action ran, so an action that takes
// a while (a modal dialog) leaves the button visibly pressed meanwhile.
uint32_t BitmapButton::onButtonUp(Position at, MouseButton button) {
  uint32_t result = 0;
  if (button == MouseButton::Left && contains(at.x, at.y)) result = fire(at);
  return result | release();
}

uint32_t PressButton::onButtonUp(Position, MouseButton) { return release(); }

uint32_t PressButton::onButtonDown(Position at, MouseButton button) {
  const uint32_t pressResult = press();
  if (button == MouseButton::Left && contains(at.x, at.y) && action_) return fire(at);
  return pressResult;
}

HotSpot::HotSpot(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                 Control* parent, ButtonAction action)
    : BitmapButton(x, y, width, height, flags, parent, nullptr, nullptr, std::move(action)) {}

uint32_t HotSpot::draw(Position origin, HWND window) { return Control::draw(origin, window); }
