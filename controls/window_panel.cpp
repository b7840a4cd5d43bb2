#include "controls/window_panel.h"

#include "controls/rect16.h"

WindowPanel::WindowPanel(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                         Control* parent, HWND window, HBITMAP backgroundBitmap)
    : ControlGroup(x, y, width, height, flags, parent),
      background_(std::make_unique<BitmapControl>(x, y, width, height, ControlFlags::Active, this,
                                                  backgroundBitmap, nullptr)),
      window_(window) {}

WindowPanel::~WindowPanel() { WindowPanel::reset(); }

void WindowPanel::reset() {
  background_.reset();
  window_ = nullptr;
  ControlGroup::reset();
}

HWND WindowPanel::window() { return window_; }

// A dirty panel repaints its background, which covers every child, so every child is marked
// before the group pass draws the dirty ones.
uint32_t WindowPanel::draw(Position origin, HWND window) {
  uint32_t result = 0;
  if (dirty) {
    const int32_t ax = absoluteX();
    const int32_t ay = absoluteY();
    if (background_) result |= background_->draw({ax, ay}, window);
    Rect16 whole{int16_t(ay), int16_t(ax), int16_t(ay + height), int16_t(ax + width)};
    result |= ControlGroup::onPaint(whole);
  }
  return result | ControlGroup::draw(origin, window);
}
