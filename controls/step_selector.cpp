#include "controls/step_selector.h"

namespace {

constexpr int32_t kBaselineRow = 16;
constexpr int32_t kTickTop = 10;
// The button's picture ends on this row of the selector, whatever its height.
constexpr int32_t kButtonBottom = 17;

}  // namespace

StepSelector::StepSelector(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                           Control* parent, const Options& options)
    : ControlGroup(x, y, width, height, flags, parent),
      window_(options.window),
      popup_(nullptr),
      button_(nullptr),
      caption_(nullptr),
      popupTemplate_(options.popupTemplate ? options.popupTemplate : ""),
      bound_(options.bound),
      links_(size_t(options.linkCount < 0 ? 0 : options.linkCount) + 1, nullptr),
      onChange_(options.onChange) {
  links_[0] = this;
  int32_t* bound = options.bound;
  caption_ =
      add(std::make_unique<TextLabel>(0, 0, 0, 0, ControlFlags::Active, this, options.caption,
                                      options.fontName, options.weight, window_, 0, 0, TA_LEFT));
  popup_ = add(std::make_unique<PopupPanel>(0, 0, 0, -1, ControlFlags::Inactive, this, nullptr,
                                            options.normalBitmaps, options.pressedBitmaps, bound,
                                            options.values, options.changed, options.count));
  // The first picture shown is the item at the bound value taken as an index, which for a
  // 1-based step is the next step's picture (or none past the last); Init shows the bound
  // step itself right afterwards, before the dialog is drawn.
  BitmapButton* start = bound ? popup_->itemAt(*bound) : nullptr;
  showItem(start ? start : popup_->itemAt(0));
}

StepSelector::~StepSelector() { StepSelector::reset(); }

void StepSelector::reset() {
  links_.clear();
  onChange_ = nullptr;
  bound_ = nullptr;
  popup_ = nullptr;
  button_ = nullptr;
  caption_ = nullptr;
  ControlGroup::reset();
}

HWND StepSelector::window() { return window_; }

void StepSelector::setLink(int32_t index, Control* control) {
  if (index >= 0 && size_t(index) < links_.size()) links_[size_t(index)] = control;
}

Control* StepSelector::link(int32_t index) const {
  return index >= 0 && size_t(index) < links_.size() ? links_[size_t(index)] : nullptr;
}

void StepSelector::callOnChange() {
  if (onChange_) onChange_(links_.data());
}

// Replaces the current button by one showing item's pictures, its bottom on the selector's
// baseline and its right edge one pixel past the selector's.
void StepSelector::showItem(BitmapButton* item) {
  if (!item) return;
  if (button_) remove(button_);
  button_ = add(std::make_unique<PressButton>(width - item->width + 1, kButtonBottom - item->height,
                                              item->width, item->height, ControlFlags::Active, this,
                                              item->bitmap(), item->pressedBitmap(),
                                              [this](Position) { return openPopup(); }));
}

// A value that no picture carries would leave nothing to press; the selector keeps its button
// and the bound field keeps what it held.
bool StepSelector::setValue(int32_t value, bool notify) {
  BitmapButton* item = popup_ ? popup_->itemFor(value) : nullptr;
  if (!item) return false;
  showItem(item);
  if (bound_) *bound_ = value;
  if (notify) callOnChange();
  button_->redraw();
  return true;
}

// The button shows the bound value's picture even after a release outside every picture,
// where nothing was picked.
uint32_t StepSelector::onButtonUp(Position at, MouseButton button) {
  if (captured && captured == popup_ && bound_) {
    if (BitmapButton* item = popup_->itemFor(*bound_)) showItem(item);
  }
  callOnChange();
  return ControlGroup::onButtonUp(at, button);
}

uint32_t StepSelector::onInit() {
  if (bound_) setValue(*bound_, true);
  return 0;
}

uint32_t StepSelector::draw(Position origin, HWND window) {
  HDC dc = window_ ? GetDC(window_) : nullptr;
  if (dc) {
    const int32_t left = absoluteX(), right = left + width - 1;
    const int32_t row = absoluteY() + kBaselineRow, tickTop = absoluteY() + kTickTop;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ saved = SelectObject(dc, pen);
    MoveToEx(dc, left, row, nullptr);
    LineTo(dc, left + width, row);
    MoveToEx(dc, left, row, nullptr);
    LineTo(dc, left, tickTop);
    MoveToEx(dc, right, row, nullptr);
    LineTo(dc, right, tickTop);
    SelectObject(dc, saved);
    DeleteObject(pen);
    ReleaseDC(window_, dc);
  }
  return ControlGroup::draw(origin, window);
}

// Whatever ended the popup's loop, the panel leaves hit testing and the selector its capture.
void StepSelector::closePopup() {
  popup_->letGo();
  popup_->flags.active = false;
  if (captured == popup_) captured = nullptr;
}
