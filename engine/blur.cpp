// Path choice and the parameters of each blur.
#include "engine/blur.h"

#include "engine/blur_paths.h"

bool blurPlane(BlurRadius* record, const ImagePlane& source, ImagePlane* destination,
               PluginGlobals* globals) {
  if (!(record->radius >= kMinimumBlurRadius)) record->radius = kMinimumBlurRadius;
  if (record->radius > kMaximumBlurRadius) record->radius = kMaximumBlurRadius;
  double radius = record->radius;
  if (radius >= kBoxBlurFromRadius) {
    return boxBlur(int32(radius), float(radius), source, destination, record->horizontalMargin,
                   record->verticalMargin, globals);
  }
  return gaussianBlur(adjustedGaussianRadius(radius), source, destination,
                      record->horizontalMargin, record->verticalMargin, globals);
}

bool gaussianBlur(double adjustedRadius, const ImagePlane& source, ImagePlane* destination,
                  int32 horizontalMargin, int32 verticalMargin, PluginGlobals* globals) {
  GaussianKernel kernel = gaussianKernel(adjustedRadius);
  if (source.step == 1) {
    return gaussianRows(kernel, source, destination, horizontalMargin, verticalMargin, globals);
  }
  return gaussianCursors(kernel, source, destination, horizontalMargin, verticalMargin, globals);
}

bool boxBlur(int32 wholeRadius, float radius, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, PluginGlobals* globals) {
  BoxPlan plan{};
  plan.halfWindow = wholeRadius / source.step;
  plan.halfWindowDocument = plan.halfWindow * source.step;
  plan.horizontalPasses = (radius - float(wholeRadius)) < 0.5f ? 2 : 3;
  if (!makeBoxDivisor(2 * plan.halfWindow + 1, &plan.divisor)) return false;
  if (source.step == 1) {
    return boxRows(plan, source, destination, horizontalMargin, verticalMargin, globals);
  }
  return boxCursors(plan, source, destination, horizontalMargin, verticalMargin, globals);
}
