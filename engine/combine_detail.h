// Arithmetic of the detail combination shared by its vector loop and the tests.
// A channel's correction is amount(u) * strength / 100 truncated toward zero, where amount(u)
// is the halo-style share of the detail u (in -510..510) and so lies in -383..255. The vector
// loop takes the magnitude of the amount, multiplies it with a 16-bit multiply-high and applies
// the sign again; CorrectionMultiplier holds that multiply and is only handed out when it gives
// the exact quotient for every magnitude that can occur. Pure functions, no buffers.
#pragma once

#include "hostapi/types.h"

constexpr int32 kLargestDetail = 510;  // |shared + d| never exceeds 255 + 255
constexpr int32 kLargestAmount = 383;  // |amount(-510)| with the extra quarter of profile 1

// The halo style of a personal profile: dark details (u < 0) get u >> darkShift on top of
// u >> 1; profile 3 adds nothing, profile 1 a quarter and every other value an eighth.
struct HaloStyle {
  bool darkExtra;
  int32 darkShift;
};

HaloStyle haloStyle(int32 personalProfile);
int32 detailAmount(const HaloStyle& style, int32 u);

// floor(magnitude * strength / 100) = ((magnitude << preShift) * multiplier) >> (16 + shift).
struct CorrectionMultiplier {
  uint16 multiplier;
  int32 preShift;
  int32 shift;
};

// False when no such multiplier reproduces the quotient for every magnitude up to
// kLargestAmount (only strengths far outside what the print model produces).
bool makeCorrectionMultiplier(int32 strength, CorrectionMultiplier* result);

inline int32 scaledMagnitude(const CorrectionMultiplier& m, int32 magnitude) {
  uint32 widened = uint32(magnitude) << m.preShift;
  return int32(((widened * m.multiplier) >> 16) >> m.shift);
}
