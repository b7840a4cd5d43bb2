#include "controls/edit_box.h"

EditBox::EditBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                 Control* parent)
    : Control(x, y, width, height, flags, parent), editor_(nullptr), fresh_(0) {
    setHandler(ControlEvent::FocusIn, forwardToSlot<EditBox, &EditBox::onFocusIn>);
    setHandler(ControlEvent::FocusOut, forwardToSlot<EditBox, &EditBox::onFocusOut>);
}

uint32_t EditBox::onKey(int32_t px, int32_t py, EventData data, int32_t event) {
    if (event != ControlEvent::Key || !data) return 0;
    const uint16_t key = *static_cast<const uint16_t*>(data);
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
    return editor_ ? editor_->key(px, py, data, event) : 0;
}

uint32_t EditBox::onFocusOut(int32_t, int32_t, EventData, int32_t) {
    return editor_ ? editor_->leave() : 0;
}
