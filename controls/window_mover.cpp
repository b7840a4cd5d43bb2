#include "controls/window_mover.h"

#include <cstdlib>

WindowMover::WindowMover(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                         Control* parent, int32_t windowX, int32_t windowY, int32_t windowWidth,
                         int32_t windowHeight, HWND window)
    : BitmapControl(x, y, width, height, flags, parent, nullptr, nullptr),
      grabX_(0),
      grabY_(0),
      window_(window),
      windowX_(windowX),
      windowY_(windowY),
      windowWidth_(windowWidth),
      windowHeight_(windowHeight) {}

WindowMover::~WindowMover() { WindowMover::reset(); }

void WindowMover::reset() {
  window_ = nullptr;
  BitmapControl::reset();
}

HWND WindowMover::window() { return window_; }

uint32_t WindowMover::draw(Position origin, HWND window) { return Control::draw(origin, window); }

// The pressed flag doubles as "dragging".
uint32_t WindowMover::onButtonDown(Position at, MouseButton) {
  if (pressed_) return 1;
  grabX_ = std::abs(at.x - x);
  grabY_ = std::abs(at.y - y);
  pressed_ = 1;
  return 1;
}

// Pointer positions are client coordinates, which shift with the window: moving the window by
// the pointer's offset from the grabbed point brings that point back under the pointer.
uint32_t WindowMover::onMouseMove(Position at) {
  if (!pressed_) return 1;
  windowX_ += at.x - grabX_ - x;
  windowY_ += at.y - grabY_ - y;
  if (window_) MoveWindow(window_, windowX_, windowY_, windowWidth_, windowHeight_, TRUE);
  return 1;
}

uint32_t WindowMover::onPaint(const Rect16&) {
  dirty = 0;
  return 0;
}
