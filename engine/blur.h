// The blur operator: writes into the destination plane a low-pass copy of the source, with a
// true Gaussian kernel for radii below 2.5 pixels and three-pass running box sums from 2.5 up.
// Both planes must have the same area, inner, step and channels, be addressable (locked or a
// host view) for the whole call, and the destination must hold a copy of the source. Only the
// first three bytes of each pixel are blurred; further bytes are left as they are. The source is
// never written, and neither plane's rectangles are changed.
// The blurred region is the inner rectangle grown by the margins and clamped into the area;
// pixels beyond the area are the edge pixels repeated. Failure (false) means scratch memory
// could not be had; the destination is then untouched.
#pragma once

#include "hostapi/types.h"
#include "image/image_plane.h"

// Radii below this are raised to it; from kMaximumBlurRadius on the box window's sums would no
// longer fit the operator's 16-bit arithmetic, and no print job asks for such a radius.
constexpr double kMinimumBlurRadius = 0.2;
constexpr double kMaximumBlurRadius = 100.0;
constexpr double kBoxBlurFromRadius = 2.5;

struct BlurRadius {
  double radius;           // in image pixels; raised to the minimum and stored back
  int32 horizontalMargin;  // pixels the working rectangle extends left and right of inner
  int32 verticalMargin;    // pixels it extends above and below
};

// `threads` is how many threads the blur may split its work across (see worker_bands.h); the
// result is the same for every count.
bool blurPlane(BlurRadius* record, const ImagePlane& source, ImagePlane* destination,
               HandleMemory memory, int32 threads = 1);

// The Gaussian path with the adjusted radius r' (see blur_kernel.h).
bool gaussianBlur(double adjustedRadius, const ImagePlane& source, ImagePlane* destination,
                  int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads);

// The box path: wholeRadius sets the window, the fraction of radius the horizontal pass count.
bool boxBlur(int32 wholeRadius, float radius, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads);
