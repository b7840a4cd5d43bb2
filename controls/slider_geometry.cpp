#include "controls/slider_geometry.h"

#include <cmath>

namespace slider {

double scale(int32_t width, int32_t thumbWidth, int32_t count) {
  if (count <= 1) return 0.0;
  const double pixels = double(width) - double(thumbWidth);
  return pixels > 0 ? pixels / double(count - 1) : 0.0;
}

int32_t thumbX(int32_t value, double scale) { return int32_t(std::trunc(double(value) * scale)); }

int32_t indexAt(double position, double scale, int32_t step) {
  if (scale <= 0.0 || !std::isfinite(position)) return 0;
  const double rounded = std::floor(position / scale + 0.5);
  if (rounded >= double(INT32_MAX)) return INT32_MAX;
  if (rounded <= double(INT32_MIN)) return INT32_MIN;
  const int32_t index = int32_t(rounded);
  return step > 1 ? index / step * step : index;
}

int32_t clampIndex(int32_t index, int32_t count, int32_t step) {
  if (index < 0) return 0;
  if (index >= count) return (count - 1) / step * step;
  return index;
}

}  // namespace slider
