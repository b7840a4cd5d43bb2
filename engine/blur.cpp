// Path choice and the parameters of each blur.
#include "engine/blur.h"

#include "engine/blur_paths.h"

bool blurPlane(BlurRadius* record, const ImagePlane& source, ImagePlane* destination,
               HandleMemory memory, int32 threads) {
  if (!(record->radius >= kMinimumBlurRadius)) record->radius = kMinimumBlurRadius;
  if (record->radius > kMaximumBlurRadius) record->radius = kMaximumBlurRadius;
  double radius = record->radius;
  if (radius >= kBoxBlurFromRadius) {
    return boxBlur(int32(radius), float(radius), source, destination, record->horizontalMargin,
                   record->verticalMargin, memory, threads);
  }
  return gaussianBlur(adjustedGaussianRadius(radius), source, destination, record->horizontalMargin,
                      record->verticalMargin, memory, threads);
}

bool gaussianBlur(double adjustedRadius, const ImagePlane& source, ImagePlane* destination,
                  int32 horizontalMargin, int32 verticalMargin, HandleMemory memory,
                  int32 threads) {
  GaussianKernel kernel = gaussianKernel(adjustedRadius);
  if (source.step == 1) {
    return gaussianRows(kernel, source, destination, horizontalMargin, verticalMargin, memory,
                        threads);
  }
  return gaussianCursors(kernel, source, destination, horizontalMargin, verticalMargin, memory);
}

bool boxBlur(int32 wholeRadius, float radius, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads) {
  BoxPlan plan{};
  plan.halfWindow = wholeRadius / source.step;
  plan.halfWindowDocument = plan.halfWindow * source.step;
  plan.horizontalPasses = (radius - float(wholeRadius)) < 0.5f ? 2 : 3;
  if (!makeBoxDivisor(2 * plan.halfWindow + 1, &plan.divisor)) return false;
  if (source.step == 1) {
    return boxRows(plan, source, destination, horizontalMargin, verticalMargin, memory, threads);
  }
  return boxCursors(plan, source, destination, horizontalMargin, verticalMargin, memory);
}
