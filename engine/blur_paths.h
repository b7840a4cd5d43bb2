// Internal to the blur operator: the two implementations behind gaussianBlur and boxBlur.
// The row-buffer paths handle planes of step 1 (every plane the module makes); the cursor paths
// walk the planes pixel by pixel with edge-replicating cursors and serve sub-sampled planes.
// Both return false only when scratch memory cannot be had, before any pixel is written.
#pragma once

#include "engine/blur_kernel.h"
#include "image/image_plane.h"

struct BoxPlan {
  int32 halfWindow;          // k, in plane pixels
  int32 halfWindowDocument;  // ks = k * step, in document pixels
  int32 horizontalPasses;    // 2 or 3
  BoxDivisor divisor;
};

// The row-buffer paths split their rows or strips across up to `threads` threads; the result is
// the same for every thread count.
bool gaussianRows(const GaussianKernel& kernel, const ImagePlane& source, ImagePlane* destination,
                  int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads);
bool gaussianCursors(const GaussianKernel& kernel, const ImagePlane& source,
                     ImagePlane* destination, int32 horizontalMargin, int32 verticalMargin,
                     HandleMemory memory);
bool boxRows(const BoxPlan& plan, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads);
bool boxCursors(const BoxPlan& plan, const ImagePlane& source, ImagePlane* destination,
                int32 horizontalMargin, int32 verticalMargin, HandleMemory memory);
