// Parameters of the two blurs, computed once per call and shared by the fast paths, the
// stepped path and the tests.
// GaussianKernel: 8-bit weights w(0..halfWidth) of the symmetric kernel, zero beyond; the
// weights come from a self-contained double-double evaluation of 255 * e^(-i*i / (2 r')), so
// the Windows and Linux builds produce the same table whatever their C runtime's exp does.
// BoxDivisor: floor(sum / window) for every sum a window of 8-bit samples can reach, as a
// 16-bit multiply-high and shift; chosen and checked exhaustively when it is made.
#pragma once

#include "hostapi/types.h"

constexpr int32 kMaxKernelHalfWidth = 600;

struct GaussianKernel {
  int32 weights[kMaxKernelHalfWidth + 1];  // w(i) for i = 0..halfWidth
  int32 halfWidth;                         // K: the last i with a non-zero weight
};

// The kernel of the adjusted radius r' (r' acts as the variance).
GaussianKernel gaussianKernel(double adjustedRadius);

// truncate(255 * e^(-x)) for x >= 0, exact except where 255 e^-x lies within 1e-25 of an integer.
int32 truncatedWeight(double x);

// The Gaussian path's radius: x - 0.1, plus 0.1 for each of x > 1.5, 1.8, 2.1, with x = 1.6 r.
double adjustedGaussianRadius(double radius);

struct BoxDivisor {
  uint16 multiplier;  // 0 for a window of one sample: the quotient is the sum itself
  int32 shift;        // total right shift of sum * multiplier, at least 16
  int32 window;
};

// Returns false when no 16-bit multiplier reproduces the quotient for every reachable sum.
bool makeBoxDivisor(int32 window, BoxDivisor* divisor);

inline int32 divideWindowSum(const BoxDivisor& divisor, uint32 sum) {
  if (divisor.multiplier == 0) return int32(sum);
  return int32((sum * divisor.multiplier) >> divisor.shift);
}
