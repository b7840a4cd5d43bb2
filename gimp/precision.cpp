#include "gimp/precision.h"

#include <algorithm>

void carryDifference(const uint8_t* before, const uint8_t* after, double* values, size_t pixels,
                     int channels, std::vector<uint8_t>* changed) {
  changed->assign(pixels, 0);
  for (size_t p = 0; p < pixels; ++p) {
    for (int c = 0; c < channels; ++c) {
      size_t i = p * size_t(channels) + size_t(c);
      int delta = int(after[i]) - int(before[i]);
      if (delta == 0) continue;
      values[i] = std::clamp(values[i] + delta / 255.0, 0.0, 1.0);
      (*changed)[p] = 1;
    }
  }
}
