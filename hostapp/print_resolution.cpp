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
    return PrintResolutionStatus::tooSmall;
  }
  *resolution = low;
  return PrintResolutionStatus::found;
}

int32 followingPrintSide(int32 givenMillimetres, int32 givenPixels, int32 otherPixels) {
  return int32(double(givenMillimetres) * (double(otherPixels) / double(givenPixels)));
}

bool fixedResolution(double ppi, Fixed* resolution) {
  if (!(ppi * 65536.0 >= 0.5 && ppi < 32768.0)) return false;
  *resolution = Fixed(std::lround(ppi * 65536.0));
  return true;
}
