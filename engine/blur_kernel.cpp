// Gaussian weights and the box path's division.
#include "engine/blur_kernel.h"

#include <cmath>

namespace {

// Double-double arithmetic with plain IEEE operations only (no fused multiply-add, no library
// calls), so every SSE2 build computes the same bits.
struct DoubleDouble {
  double hi;
  double lo;
};

DoubleDouble twoSum(double a, double b) {
  double s = a + b;
  double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

DoubleDouble twoProduct(double a, double b) {
  const double splitter = 134217729.0;  // 2^27 + 1
  double ca = splitter * a;
  double aHi = ca - (ca - a);
  double aLo = a - aHi;
  double cb = splitter * b;
  double bHi = cb - (cb - b);
  double bLo = b - bHi;
  double p = a * b;
  return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
}

DoubleDouble add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = twoSum(a.hi, b.hi);
  return twoSum(s.hi, s.lo + a.lo + b.lo);
}

DoubleDouble multiply(DoubleDouble a, double b) {
  DoubleDouble p = twoProduct(a.hi, b);
  return twoSum(p.hi, p.lo + a.lo * b);
}

DoubleDouble divide(DoubleDouble a, double b) {
  double q1 = a.hi / b;
  DoubleDouble r = add(a, multiply({-q1, 0.0}, b));
  double q2 = r.hi / b;
  r = add(r, multiply({-q2, 0.0}, b));
  return add(twoSum(q1, q2), {r.hi / b, 0.0});
}

DoubleDouble divide(double a, DoubleDouble b) {
  double q1 = a / b.hi;
  DoubleDouble r = add({a, 0.0}, multiply(b, -q1));
  double q2 = r.hi / b.hi;
  r = add(r, multiply(b, -q2));
  return add(twoSum(q1, q2), {r.hi / b.hi, 0.0});
}

// e^x by its Taylor series; every term is positive, so nothing cancels.
DoubleDouble expPositive(double x) {
  DoubleDouble sum{1.0, 0.0};
  DoubleDouble term{1.0, 0.0};
  for (int n = 1; n < 200 && term.hi > 1e-34 * sum.hi; ++n) {
    term = divide(multiply(term, x), double(n));
    sum = add(sum, term);
  }
  return sum;
}

// 255 e^-x < 1 from here on (ln 255 = 5.54).
constexpr double kNoWeightBeyond = 5.6;

}  // namespace

int32 truncatedWeight(double x) {
  if (x >= kNoWeightBeyond) return 0;
  if (x <= 0.0) return 255;
  DoubleDouble value = divide(255.0, expPositive(x));
  double whole = std::floor(value.hi);
  if (value.hi == whole && value.lo < 0.0) whole -= 1.0;
  return int32(whole);
}

GaussianKernel gaussianKernel(double adjustedRadius) {
  GaussianKernel kernel{};
  double twiceVariance = 2.0 * adjustedRadius;
  for (int32 i = 0; i <= kMaxKernelHalfWidth; ++i) {
    int32 weight = truncatedWeight(double(i) * double(i) / twiceVariance);
    if (weight == 0) break;
    kernel.weights[i] = weight;
    kernel.halfWidth = i;
  }
  return kernel;
}

double adjustedGaussianRadius(double radius) {
  double x = 1.6 * radius;
  double adjusted = x - 0.1;
  if (x > 1.5) adjusted += 0.1;
  if (x > 1.8) adjusted += 0.1;
  if (x > 2.1) adjusted += 0.1;
  return adjusted;
}

bool makeBoxDivisor(int32 window, BoxDivisor* divisor) {
  *divisor = BoxDivisor{0, 16, window};
  if (window == 1) return true;
  uint32 largestSum = 255u * uint32(window);
  if (window < 1 || largestSum > 0xFFFFu) return false;
  for (int32 shift = 16; shift <= 31; ++shift) {
    uint64_t multiplier = ((uint64_t(1) << shift) / uint32(window)) + 1;
    if (multiplier > 0xFFFFu) break;
    BoxDivisor candidate{uint16(multiplier), shift, window};
    bool exact = true;
    for (uint32 sum = 0; sum <= largestSum && exact; ++sum) {
      exact = uint32(divideWindowSum(candidate, sum)) == sum / uint32(window);
    }
    if (exact) {
      *divisor = candidate;
      return true;
    }
  }
  return false;
}
