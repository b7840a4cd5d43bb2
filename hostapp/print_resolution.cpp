#include "hostapp/print_resolution.h"

#include <cmath>
#include <cstdint>

#include "core/print_size.h"

namespace {

bool atLeast(int32 pixels, Fixed resolution, double millimetres) {
  return printMillimetres(pixels, resolution) >= float(millimetres);
}

}  // namespace

// The printed size falls as the resolution rises, so the largest resolution that still prints
// at least the requested size is found by bisection; it prints exactly that size unless no
// resolution in between does.
PrintResolutionStatus resolutionForPrintSize(int32 pixels, double millimetres, Fixed* resolution) {
  Fixed low = 1;
  Fixed high = INT32_MAX;
  if (!atLeast(pixels, low, millimetres)) return PrintResolutionStatus::tooLarge;
  if (atLeast(pixels, high, millimetres)) {
    low = high;
  }
  while (high - low > 1) {
    Fixed middle = low + (high - low) / 2;
    (atLeast(pixels, middle, millimetres) ? low : high) = middle;
  }
  if (double(printMillimetres(pixels, low)) >= std::floor(millimetres) + 1.0) {
    return low == INT32_MAX ? PrintResolutionStatus::tooSmall : PrintResolutionStatus::notExact;
  }
  *resolution = low;
  return PrintResolutionStatus::found;
}

int32 followingPrintSide(int32 givenMillimetres, int32 givenPixels, int32 otherPixels) {
  return int32(double(givenMillimetres) * (double(otherPixels) / double(givenPixels)));
}

bool fixedResolution(double ppi, Fixed* resolution) {
  // The largest 16.16 value is just under 32768: a resolution that rounds beyond it would
  // wrap to a negative one.
  if (!(ppi * 65536.0 >= 0.5 && std::round(ppi * 65536.0) <= double(INT32_MAX))) return false;
  *resolution = Fixed(std::lround(ppi * 65536.0));
  return true;
}
