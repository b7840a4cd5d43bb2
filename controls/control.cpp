#include "controls/control.h"

#include "controls/rect16.h"

namespace {

bool within(int16_t start, int16_t length, int32_t p) { return start <= p && p <= start + length; }

}  // namespace

Control::Control(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                 Control* parent)
    : x(x), y(y), width(width), height(height), parent(parent), flags(flags), dirty(0) {}

Control::~Control() { Control::reset(); }

void Control::reset() { parent = nullptr; }

int32_t Control::absoluteX() { return parent ? x + parent->absoluteX() : x; }
int32_t Control::absoluteY() { return parent ? y + parent->absoluteY() : y; }
HWND Control::window() { return parent ? parent->window() : nullptr; }

uint32_t Control::draw(Position, HWND) { return 1; }
uint32_t Control::onKey(char16_t) { return 1; }
uint32_t Control::onMouseMove(Position) { return 1; }
uint32_t Control::onButtonDown(Position, MouseButton) { return 1; }
uint32_t Control::onButtonUp(Position, MouseButton) { return 1; }
uint32_t Control::onPaint(const Rect16& update) { return markForPaint(update); }
uint32_t Control::onInit() { return 1; }
uint32_t Control::onRefresh() { return 1; }
uint32_t Control::onFocusIn() { return 1; }
uint32_t Control::onFocusOut() { return 1; }
uint32_t Control::onAdvance() { return 1; }

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

uint32_t Control::redraw() { return draw({absoluteX() - x, absoluteY() - y}, window()); }

uint32_t sendMouse(Control& control, Position at, MouseAction action, MouseButton button) {
  switch (action) {
    case MouseAction::Press:
      return control.onButtonDown(at, button);
    case MouseAction::Release:
      return control.onButtonUp(at, button);
    case MouseAction::Move:
      break;
  }
  return control.onMouseMove(at);
}
