// ValueEditor: an object that edits a value from key events and shows it in a TextControl.
//
// Contract: the editor does not own its target; the control that created both owns them.
// Operations answer 0 and do
// nothing else when the target is missing.
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
  virtual uint32_t key(char16_t key) = 0;
  // Ends the editing when the focus leaves.
  virtual uint32_t leave() = 0;
  // Starts typing a new value from nothing.
  virtual void beginEntry() = 0;

  TextControl* target() const { return target_; }

 protected:
  TextControl* target_;
};
