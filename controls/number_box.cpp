#include "controls/number_box.h"

#include <cstdio>
#include <utility>

NumberBox::NumberBox(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                     Control* parent, int32_t value, int32_t minimum, int32_t maximum,
                     ValueCallback callback, const char* fontName, int32_t weight, const char* unit,
                     int32_t scale)
    : EditBox(x, y, width, height, flags, parent),
      inkColor_(RGB(0, 0, 0)),
      paperColor_(RGB(255, 255, 255)) {
  std::snprintf(unit_, sizeof unit_, "%s", unit ? unit : "");
  label_ = std::make_unique<TextLabel>(0, 0, width, height, ControlFlags::Active, this, "",
                                       fontName, weight, window(), width, 0, TA_RIGHT);
  numberEditor_ = std::make_unique<NumberEditor>(value, minimum, maximum, label_.get(),
                                                 std::move(callback), scale);
  editor_ = numberEditor_.get();
  numberEditor_->show(unit_);
}

NumberBox::~NumberBox() { NumberBox::reset(); }

void NumberBox::reset() {
  label_.reset();
  numberEditor_.reset();
  editor_ = nullptr;
  EditBox::reset();
}

uint32_t NumberBox::draw(Position, HWND) { return numberEditor_ ? numberEditor_->show(unit_) : 0; }

void NumberBox::setValue(int32_t v) {
  if (!numberEditor_) return;
  numberEditor_->setValue(v);
  numberEditor_->show(unit_);
}

void NumberBox::swapColors() {
  const COLORREF ink = inkColor_;
  inkColor_ = paperColor_;
  paperColor_ = ink;
  label_->setBackColor(paperColor_);
  label_->setTextColor(inkColor_);
}

// Drawing the label with text and background both in the ink colour paints over whatever it
// showed; the box's face around the digits is ink-coloured paper, so this wipes the digits.
// Emptying both texts afterwards keeps the next draw from overdrawing a stale string.
uint32_t NumberBox::eraseText() {
  label_->setBackColor(inkColor_);
  const uint32_t result = label_->draw({absoluteX(), absoluteY()}, label_->window());
  label_->clearTexts();
  return result;
}

uint32_t NumberBox::onFocusIn() {
  if (!label_) return 0;
  fresh_ = 1;
  swapColors();
  return redraw();
}

uint32_t NumberBox::onKey(char16_t key) {
  if (!label_) return 0;
  uint32_t result = eraseText();
  result |= EditBox::onKey(key);
  label_->setBackColor(paperColor_);
  return result | numberEditor_->show(unit_);
}

uint32_t NumberBox::onFocusOut() {
  if (!label_) return 0;
  uint32_t result = eraseText();
  result |= EditBox::onFocusOut();
  swapColors();
  return result | redraw();
}
