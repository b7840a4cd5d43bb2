// TextControl: anything that accepts printf-like text.
//
// Contract: setText takes a format and its arguments and shows the result; what conversions
// are understood is up to the implementation (see text_label.h). The result is a bit set as for
// every control operation.
#pragma once

#include "controls/control.h"

class TextControl : public Control {
 public:
  using Control::Control;

  virtual uint32_t setText(const char* format, ...) = 0;
};
