// The sharpening driver.
#include "engine/sharpen.h"

#include "core/sharpen_settings.h"
#include "engine/blur.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/host_transfer.h"
#include "image/image_plane.h"

namespace {

// Blurs a copy of `source` and writes source plus the weighted detail into `output`; false,
// with nothing written, when memory for the copy cannot be had.
bool sharpenPlane(PluginGlobals* globals, const PrintModel& model, int32 personalProfile,
                  const ImagePlane& source, ImagePlane* output) {
  BlurRadius radius{model.operatorRadius, model.operatorRadiusWhole, model.operatorRadiusWhole};
  OwnedPlane blurred = ownPlane(globals, copyPlane(globals, source));
  bool ok = blurred != nullptr && lockPlane(globals, blurred.get()) &&
            blurPlane(&radius, source, blurred.get(), globals);
  if (ok) {
    combineDetail(source, *blurred, output, model.strength, personalProfile);
  }
  return ok;
}

// The tile's core copied from input to output as it came: what a document gets when the host
// cannot convert its colours.
void passCoreThrough(const ImagePlane& input, ImagePlane* output) {
  copyRegion(output, input.inner.left, input.inner.top, input, input.inner.left, input.inner.top,
             input.inner);
}

// Documents other than RGB are sharpened in an RGB working plane and converted back into a copy
// of the tile; only the tile's core reaches the output, so the output is written last and
// not at all when memory runs out on the way.
int16 sharpenThroughRgb(PluginGlobals* globals, const SharpenJob& job, const ImagePlane& input,
                        ImagePlane* output) {
  if (!canTransferMode(*globals, *input.mode)) {
    passCoreThrough(input, output);
    return 0;
  }
  OwnedPlane working = ownPlane(globals, readPlaneAsRgb(globals, input));
  bool readable = working != nullptr && lockPlane(globals, working.get());
  OwnedPlane sharpened = ownPlane(globals, readable ? copyPlane(globals, *working) : nullptr);
  OwnedPlane result = ownPlane(globals, sharpened != nullptr ? copyPlane(globals, input) : nullptr);
  bool ok = result != nullptr && lockPlane(globals, sharpened.get()) &&
            lockPlane(globals, result.get()) &&
            sharpenPlane(globals, job.model, job.personalProfile, *working, sharpened.get()) &&
            writeBackFromRgb(globals, result.get(), *sharpened);
  // Colours the host failed to convert are not the picture: the tile is not written and the
  // run ends with the host's error.
  const int16 colorError = globals->colorError;
  ok = ok && colorError == noErr;
  if (ok) {
    copyRegion(output, result->inner.left, result->inner.top, *result,
               result->inner.left, result->inner.top, result->inner);
  }
  return ok ? 0 : colorError != noErr ? colorError : kEngineOutOfMemory;
}

}  // namespace

SharpenJob makeSharpenJob(const SharpenSettings& settings, int32 documentWidth,
                          int32 documentHeight, int32 imageMode, int32 dialogActive,
                          int32 previewZoom) {
  return SharpenJob{
      computePrintModel(settings, documentWidth, documentHeight, dialogActive, previewZoom),
      settings.personalProfile, imageMode};
}

int16 sharpen(PluginGlobals* globals, const SharpenJob& job, const ImagePlane& input,
              ImagePlane* output) {
  *input.mode = int16(job.imageMode);
  *output->mode = int16(job.imageMode);
  if (job.imageMode != plugInModeRGBColor) {
    return sharpenThroughRgb(globals, job, input, output);
  }
  bool ok = sharpenPlane(globals, job.model, job.personalProfile, input, output);
  return ok ? 0 : kEngineOutOfMemory;
}
