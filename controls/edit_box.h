// EditBox: a focusable control whose keys are handled by a ValueEditor.
//
// Contract: the subclass that creates the editor owns it. From the moment the box gains the
// focus until the first key it is "fresh": the first ordinary key starts a new entry instead of
// extending the old number (backspace and the Cancel code keep the old number and end the
// fresh state). Losing the focus hands over to the editor's leave, which reverts an uncommitted
// value. A box without editor answers 0.
#pragma once

#include "controls/control.h"
#include "controls/value_editor.h"

class EditBox : public Control {
 public:
  EditBox(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags, Control* parent);

  uint32_t draw(Position origin, HWND window) override = 0;
  uint32_t onKey(char16_t key) override;
  uint32_t onFocusOut() override;
  uint32_t onFocusIn() override = 0;

  ValueEditor* editor() const { return editor_; }
  bool isFresh() const { return fresh_ != 0; }

 protected:
  ValueEditor* editor_;
  int32_t fresh_;
};
