// Slider geometry of the value fields: where a value's thumb stands on the track and which value
// a pointer position picks. Pure functions, so they can be checked over whole ranges.
//
// Contract: a track of width pixels with a thumb thumbWidth wide offers count values 0..count-1
// at scale = (width - thumbWidth) / (count - 1) pixels per value; a thumb's x is value * scale
// truncated toward zero. A range of one value (or a track with no room) has scale 0: every
// position picks value 0. Positions are rounded to the nearest value, a half rounding up, then
// brought down to a multiple of step. Results that would not fit an int32 saturate instead of
// overflowing; clampIndex then brings them into the range.
#pragma once

#include <cstdint>

namespace slider {

double scale(int32_t width, int32_t thumbWidth, int32_t count);
int32_t thumbX(int32_t value, double scale);
// The value whose thumb stands nearest to pixel position, as a multiple of step.
int32_t indexAt(double position, double scale, int32_t step);
// Negative indices give 0, indices past the end the largest multiple of step below count.
int32_t clampIndex(int32_t index, int32_t count, int32_t step);

}  // namespace slider
