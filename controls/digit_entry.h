// Digit entry: how one typed character changes an integer or fixed-point number.
//
// Contract: pure functions on a DigitEntry; nothing is shown or reported here. A fixed-point
// value v with scale s means v / s (scale 0: plain integers). fractionStep is the weight of the
// next fractional digit: equal to scale while the integer part is typed, smaller after ".", 0
// once no further digit fits. A digit is accepted only when the number it makes lies within
// [minimum, maximum]; backspace and the sign key apply without a range test (the caller decides
// what to commit). Digits extend a negative number away from zero, so "3", "-", "4" makes -34.
// Division by 10 truncates toward zero. Results that would not fit in 32 bits are refused.
#pragma once

#include <cstdint>

struct DigitEntry {
  int32_t value;
  int32_t minimum;
  int32_t maximum;
  int32_t scale;
  int32_t fractionStep;
};

// The fractionStep at which typing continues after value was set from outside: the weight of
// the first fractional digit value does not already use.
int32_t fittedFractionStep(int32_t value, int32_t scale);

// Applies one character: a digit, "." (fixed point only), "-", or 8 (backspace). Any other
// character leaves the entry unchanged.
DigitEntry applyKey(DigitEntry entry, uint16_t key);
