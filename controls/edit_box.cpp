#include "controls/edit_box.h"

EditBox::EditBox(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                 Control* parent)
    : Control(x, y, width, height, flags, parent), editor_(nullptr), fresh_(0) {}

uint32_t EditBox::onKey(char16_t key) {
  if (key == KeyCode::Backspace || key == KeyCode::Cancel) {
    fresh_ = 0;
  } else {
    if (key == KeyCode::Enter) fresh_ = 0;
    if (fresh_ && editor_) {
      editor_->beginEntry();
      redraw();
    }
    fresh_ = 0;
  }
  return editor_ ? editor_->key(key) : 0;
}

uint32_t EditBox::onFocusOut() { return editor_ ? editor_->leave() : 0; }
