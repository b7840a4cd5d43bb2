#include "controls/popup_list.h"

#include <algorithm>

namespace {

SIZE bitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

PopupList::PopupList(int32_t x, int32_t y, int32_t margin, int32_t spacing, ControlFlags flags,
                     Control* parent, const HBITMAP* normalBitmaps, const HBITMAP* pressedBitmaps,
                     int32_t* bound, const int32_t* values, bool* changed, int32_t count)
    : ControlGroup(x, y, 0, 0, flags, parent),
      values_(values && count > 0 ? values : nullptr,
              values && count > 0 ? values + count : nullptr),
      openValue_(bound ? *bound : 0),
      bound_(bound),
      changed_(changed) {
  buildItems(margin, spacing, normalBitmaps, pressedBitmaps);
}

PopupList::~PopupList() { PopupList::reset(); }

void PopupList::buildItems(int32_t margin, int32_t spacing, const HBITMAP* normalBitmaps,
                           const HBITMAP* pressedBitmaps) {
  const int32_t n = count();
  std::vector<SIZE> sizes;
  int32_t widest = 0;
  int32_t listHeight = std::max(spacing, 0);
  for (int32_t i = 0; i < n; ++i) {
    sizes.push_back(normalBitmaps ? bitmapSize(normalBitmaps[i]) : SIZE{0, 0});
    widest = std::max<int32_t>(widest, sizes.back().cx);
    listHeight += sizes.back().cy + spacing;
  }
  if (spacing < 0) listHeight -= spacing;
  setSize(widest + 2 * margin, listHeight);
  int32_t top = std::max(spacing, 0);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t value = values_[size_t(i)];
    auto* item = add(std::make_unique<BitmapButton>(
        (width - sizes[i].cx) / 2, top, sizes[i].cx, sizes[i].cy, ControlFlags::RaiseOnHit, this,
        normalBitmaps[i], pressedBitmaps ? pressedBitmaps[i] : nullptr,
        [this, value](Position) { return select(value); }));
    items_.push_back(item);
    top += sizes[i].cy + spacing;
  }
}

void PopupList::reset() {
  items_.clear();
  bound_ = nullptr;
  changed_ = nullptr;
  ControlGroup::reset();
}

BitmapButton* PopupList::itemAt(int32_t index) const {
  return index >= 0 && size_t(index) < items_.size() ? items_[size_t(index)] : nullptr;
}

BitmapButton* PopupList::itemFor(int32_t value) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (values_[i] == value) return items_[i];
  return nullptr;
}

uint32_t PopupList::select(int32_t value) {
  if (bound_) *bound_ = value;
  return 1;
}

void PopupList::open() {
  flags.active = true;
  if (bound_) openValue_ = *bound_;
}

// A right release lets a button go without ever firing it, wherever the pointer is.
void PopupList::letGo() {
  Control* held = captured;
  captured = nullptr;
  if (held) held->onButtonUp({0, 0}, MouseButton::Right);
}

uint32_t PopupList::onMouseMove(Position at) {
  return routeMouse(at, MouseAction::Move, MouseButton::Left);
}

uint32_t PopupList::onButtonDown(Position at, MouseButton button) {
  return routeMouse(at, MouseAction::Press, button);
}

uint32_t PopupList::routeMouse(Position at, MouseAction action, MouseButton) {
  if (action != MouseAction::Move) return 0;
  Control* target = childAt(at.x, at.y);
  if (!target || target == captured) return 0;
  raise(target);
  uint32_t result = 0;
  if (Control* held = captured) {
    // The held item is always in front, so a pointer that found another item lies outside
    // it: this release lets it go without picking it.
    captured = nullptr;
    result |= held->onButtonUp(at - Position{x, y}, MouseButton::Left);
  } else if (bound_) {
    openValue_ = *bound_;
  }
  result |= target->onButtonDown(at - Position{x, y}, MouseButton::Left);
  captured = target;
  captureButton = MouseButton::Left;
  return result;
}

uint32_t PopupList::onButtonUp(Position at, MouseButton) {
  uint32_t result = 0;
  if (Control* held = captured) {
    captured = nullptr;
    result |= held->onButtonUp(at - Position{x, y}, MouseButton::Left);
  }
  return result | dismiss();
}

uint32_t PopupList::dismiss() {
  if (bound_ && changed_ && *bound_ != openValue_) *changed_ = true;
  flags.active = false;
  return 1;
}

PopupPanel::PopupPanel(int32_t x, int32_t y, int32_t margin, int32_t spacing, ControlFlags flags,
                       Control* parent, HWND window, const HBITMAP* normalBitmaps,
                       const HBITMAP* pressedBitmaps, int32_t* bound, const int32_t* values,
                       bool* changed, int32_t count)
    : PopupList(x, y, margin, spacing, flags, parent, normalBitmaps, pressedBitmaps, bound, values,
                changed, count),
      window_(window) {}

HWND PopupPanel::window() { return window_; }

bool PopupPanel::ownWindow() { return !parent || window_ != parent->window(); }

int32_t PopupPanel::absoluteX() { return ownWindow() ? x : PopupList::absoluteX(); }
int32_t PopupPanel::absoluteY() { return ownWindow() ? y : PopupList::absoluteY(); }

void PopupPanel::drawBox(HWND target) {
  HDC dc = target ? GetDC(target) : nullptr;
  if (!dc) return;
  const int32_t left = absoluteX(), top = absoluteY();
  const int32_t right = left + width - 1, bottom = top + height - 1;
  const RECT box{left, top, left + width, top + height};
  if (HRGN region = CreateRectRgnIndirect(&box)) {
    FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DeleteObject(region);
  }
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ saved = SelectObject(dc, pen);
  MoveToEx(dc, left, top, nullptr);
  LineTo(dc, right, top);
  LineTo(dc, right, bottom);
  LineTo(dc, left, bottom);
  LineTo(dc, left, top);
  SelectObject(dc, saved);
  DeleteObject(pen);
  ReleaseDC(target, dc);
}

// The box covers every item, so when it is drawn every item is drawn again on top of it.
// Inside its own window the panel is drawn there, at its own origin, whoever asks: the dialog
// repainting its controls while the popup is open hands over its own window and the selector's
// position, and drawing the items with those would leave a copy of the list in the dialog.
uint32_t PopupPanel::draw(Position origin, HWND window) {
  if (ownWindow()) {
    origin = {0, 0};
    window = window_;
  }
  if (dirty) {
    drawBox(window_);
    for (size_t i = 0; i < children.size(); ++i) children[i].child()->dirty = 1;
  }
  return PopupList::draw(origin, window);
}
