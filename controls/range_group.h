// RangeGroup: a control group that carries a range of selectable values and the settings
// field they are written to.
//
// Contract: values run from 0 to count - 1 in multiples of step; value always lies in that
// range. The group does not own the bound field: it belongs to the dialog's settings record,
// which outlives the dialog's controls. setCount shrinks value into a smaller range. Nothing here
// draws or notifies; ValueField adds that.
#pragma once

#include "controls/control_group.h"

class RangeGroup : public ControlGroup {
 public:
  RangeGroup(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
             Control* parent, int32_t count, int32_t step, int32_t value, int32_t* bound);

  // Pulls value down to n - 1 when it lies beyond the new range, then stores the count.
  virtual void setCount(int32_t n);

  int32_t count() const { return count_; }
  int32_t step() const { return step_; }
  int32_t value() const { return value_; }
  int32_t* bound() const { return bound_; }

 protected:
  int32_t count_;
  int32_t step_;
  int32_t value_;
  int32_t* bound_;
};
