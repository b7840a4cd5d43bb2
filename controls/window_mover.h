// WindowMover: an undrawn control that drags its whole (borderless) window across the screen.
//
// Contract: the dialogs lay it over the whole client area behind every other control, so only
// presses that hit nothing else reach it. It keeps the window's screen position itself, starting
// from where the dialog placed the window, and moves the window by the pointer's offset from
// the grabbed point on each move while a button holds it. It is never dirty and never drawn,
// and it never claims an update rectangle, so the panel behind it still repaints itself.
#pragma once

#include "controls/bitmap_control.h"

class WindowMover : public BitmapControl {
 public:
  WindowMover(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
              Control* parent, int32_t windowX, int32_t windowY, int32_t windowWidth,
              int32_t windowHeight, HWND window);
  ~WindowMover() override;

  void reset() override;
  HWND window() override;
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onMouseMove(Position at) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;
  uint32_t onPaint(const Rect16& update) override;

  int32_t windowX() const { return windowX_; }
  int32_t windowY() const { return windowY_; }

 private:
  int32_t grabX_;
  int32_t grabY_;
  HWND window_;
  int32_t windowX_;
  int32_t windowY_;
  int32_t windowWidth_;
  int32_t windowHeight_;
};
