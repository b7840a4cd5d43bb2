#include "controls/range_group.h"

// A step below 1 would make every "multiple of step" meaningless and divide by zero later.
RangeGroup::RangeGroup(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                       Control* parent, int32_t count, int32_t step, int32_t value, int32_t* bound)
    : ControlGroup(x, y, width, height, flags, parent),
      count_(count < 1 ? 1 : count),
      step_(step < 1 ? 1 : step),
      value_(value),
      bound_(bound) {}

void RangeGroup::setCount(int32_t n) {
  if (n < 1) n = 1;
  if (value_ >= n) value_ = n - 1;
  count_ = n;
}
