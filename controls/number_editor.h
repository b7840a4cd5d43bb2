// NumberEditor: builds an integer or fixed-point number digit by digit and reports every
// accepted value.
//
// Contract: value is the number as typed and may stray outside [minimum, maximum] through
// backspace or the sign key; committed is the last value that was accepted: changed, within the
// range and not 0. Each commit is told to the callback, which may be empty.
// Leaving the editor puts the committed value back. The target shows the value: plain integers
// with "%i", fixed-point values (scale 10 or 100 stored units per shown unit) as whole numbers
// when they are, otherwise with one decimal. The editor owns neither target nor callback.
#pragma once

#include <functional>

#include "controls/digit_entry.h"
#include "controls/value_editor.h"

using ValueCallback = std::function<uint32_t(int32_t value)>;

class NumberEditor : public ValueEditor {
 public:
  NumberEditor(int32_t value, int32_t minimum, int32_t maximum, TextControl* target,
               ValueCallback callback, int32_t scale);

  void reset() override;
  uint32_t show(const char* suffix) override;
  uint32_t key(char16_t key) override;
  uint32_t leave() override;
  void beginEntry() override;
  virtual void setValue(int32_t value);

  void setRange(int32_t minimum, int32_t maximum);

  int32_t value() const { return entry_.value; }
  int32_t committed() const { return committed_; }
  int32_t fractionStep() const { return entry_.fractionStep; }

 private:
  uint32_t notify(int32_t value);

  DigitEntry entry_;
  int32_t committed_;
  ValueCallback callback_;
};
