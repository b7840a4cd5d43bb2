#include "controls/bitmap_control.h"

namespace {

// Copies the whole bitmap, unscaled, through a memory device context that lives only for this
// call; the bitmap is deselected again before the context is deleted. Without a window there
// is nothing to draw into (a null window would mean the whole screen).
void blitBitmap(HWND window, HBITMAP bitmap, int32_t left, int32_t top) {
  if (!window) return;
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) return;
  HDC target = GetDC(window);
  if (!target) return;
  HDC source = CreateCompatibleDC(target);
  if (source) {
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(target, left, top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
  }
  ReleaseDC(window, target);
}

}  // namespace

BitmapControl::BitmapControl(int32_t x, int32_t y, int32_t width, int32_t height,
                             ControlFlags flags, Control* parent, HBITMAP bitmap,
                             HBITMAP pressedBitmap)
    : Control(x, y, width, height, flags, parent),
      bitmap_(bitmap),
      pressedBitmap_(pressedBitmap),
      pressed_(0) {}

BitmapControl::~BitmapControl() { BitmapControl::reset(); }

void BitmapControl::reset() {
  bitmap_ = nullptr;
  pressedBitmap_ = nullptr;
  pressed_ = 0;
  Control::reset();
}

uint32_t BitmapControl::draw(Position origin, HWND window) {
  HBITMAP shown = pressed_ && pressedBitmap_ ? pressedBitmap_ : bitmap_;
  if (shown) blitBitmap(window, shown, origin.x + x, origin.y + y);
  return 1;
}

uint32_t BitmapControl::press() {
  pressed_ = 1;
  redraw();
  return 1;
}

uint32_t BitmapControl::release() {
  pressed_ = 0;
  redraw();
  return 1;
}

uint32_t BitmapControl::onButtonDown(Position, MouseButton) { return press(); }
uint32_t BitmapControl::onButtonUp(Position, MouseButton) { return release(); }

uint32_t BitmapControl::setBitmap(HBITMAP bitmap) {
  bitmap_ = bitmap;
  return redraw();
}

uint32_t BitmapControl::setPressedBitmap(HBITMAP bitmap) {
  pressedBitmap_ = bitmap;
  return redraw();
}
