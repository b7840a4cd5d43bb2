// NumberBox: a focusable box for typing a number, shown right-aligned with its unit.
//
// Contract: the box owns an inner TextLabel (not a child of any group; the box draws it) and
// the NumberEditor that writes into it; both are destroyed with the box, label first. The
// label sits at the box's origin with its size and anchors the text's right end at the box's
// right edge. Unfocused the box shows ink (black) digits on paper (white); the focus swaps the
// two. Every accepted value goes to the callback. The unit is copied and cut
// to fit its buffer.
#pragma once

#include <memory>

#include "controls/edit_box.h"
#include "controls/number_editor.h"
#include "controls/text_label.h"

class NumberBox : public EditBox {
 public:
  NumberBox(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
            Control* parent, int32_t value, int32_t minimum, int32_t maximum,
            ValueCallback callback, const char* fontName, int32_t weight, const char* unit,
            int32_t scale);
  ~NumberBox() override;

  void reset() override;
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onKey(char16_t key) override;
  uint32_t onFocusOut() override;
  uint32_t onFocusIn() override;

  void setValue(int32_t value);

  TextLabel* label() const { return label_.get(); }
  NumberEditor* numberEditor() const { return numberEditor_.get(); }
  const char* unit() const { return unit_; }

 private:
  uint32_t eraseText();
  void swapColors();

  std::unique_ptr<TextLabel> label_;
  std::unique_ptr<NumberEditor> numberEditor_;
  COLORREF inkColor_;
  COLORREF paperColor_;
  char unit_[32];
};
