// ValueEditor: an object that edits a value from key events and shows it in a TextControl.
//
// Contract: the editor does not own its target; the control that created both owns them. Key
// events carry a pointer to a 16-bit character in their data word. Operations answer 0 and do
// nothing else when the target (or, in subclasses, the callback) is missing.
#pragma once

#include "controls/text_control.h"

class ValueEditor {
public:
    explicit ValueEditor(TextControl* target) : target_(target) {}
    virtual ~ValueEditor() = default;
    ValueEditor(const ValueEditor&) = delete;
    ValueEditor& operator=(const ValueEditor&) = delete;

    // Forgets the target (subclasses: and their callback).
    virtual void reset() { target_ = nullptr; }
    // Prints the value followed by suffix into the target.
    virtual uint32_t show(const char* suffix) = 0;
    virtual uint32_t key(int32_t x, int32_t y, EventData data, int32_t event) = 0;
    // Ends the editing when the focus leaves.
    virtual uint32_t leave() = 0;
    // Starts typing a new value from nothing.
    virtual void beginEntry() = 0;

    TextControl* target() const { return target_; }

protected:
    TextControl* target_;
};
