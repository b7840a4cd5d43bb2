#include "controls/digit_entry.h"

namespace {

int digitOf(uint16_t key) { return key >= '0' && key <= '9' ? key - '0' : -1; }

bool inRange(const DigitEntry& e, int64_t v) { return e.minimum <= v && v <= e.maximum; }

// Digits grow a number's magnitude: a negative number takes them with its own sign.
int64_t signedDigit(int32_t value, int digit) { return value < 0 ? -digit : digit; }

DigitEntry typeDigit(DigitEntry e, int digit) {
  const int64_t d = signedDigit(e.value, digit);
  if (e.scale <= 0) {
    const int64_t candidate = int64_t(e.value) * 10 + d;
    if (inRange(e, candidate)) e.value = int32_t(candidate);
  } else if (e.fractionStep == e.scale) {
    const int64_t candidate = (int64_t(e.value / e.scale) * 10 + d) * e.scale;
    if (inRange(e, candidate)) e.value = int32_t(candidate);
  } else {
    const int64_t candidate = e.value + int64_t(e.fractionStep) * d;
    if (inRange(e, candidate)) {
      e.value = int32_t(candidate);
      e.fractionStep /= 10;
    }
  }
  return e;
}

// Removing the first fractional digit brings fractionStep back to scale, so typing continues
// in the integer part.
DigitEntry eraseDigit(DigitEntry e) {
  if (e.scale <= 0) {
    e.value /= 10;
  } else if (e.fractionStep == e.scale) {
    e.value = e.value / e.scale / 10 * e.scale;
  } else {
    if (e.fractionStep == 0) e.fractionStep = 1;
    e.fractionStep *= 10;
    e.value = e.value / e.fractionStep * e.fractionStep;
  }
  return e;
}

}  // namespace

int32_t fittedFractionStep(int32_t value, int32_t scale) {
  int32_t step = scale > 0 ? scale : 0;
  while (step > 0 && value % step != 0) step /= 10;
  return step;
}

DigitEntry applyKey(DigitEntry entry, uint16_t key) {
  const int digit = digitOf(key);
  if (digit >= 0) return typeDigit(entry, digit);
  if (key == 8) return eraseDigit(entry);
  if (key == '-') {
    if (entry.value != INT32_MIN) entry.value = -entry.value;
  } else if (key == '.' && entry.scale > 0 && entry.fractionStep == entry.scale) {
    entry.fractionStep = entry.scale / 10;
  }
  return entry;
}
