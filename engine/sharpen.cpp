// The sharpening driver.
#include "engine/sharpen.h"

#include "core/sharpen_settings.h"
#include "engine/blur.h"
#include "engine/worker_bands.h"
#include "hostapi/constants.h"
#include "image/host_transfer.h"
#include "image/image_plane.h"

namespace {

// Blurs a copy of `source` and writes source plus the weighted detail into `output`; false,
// with nothing written, when memory for the copy cannot be had.
bool sharpenPlane(HandleMemory memory, const SharpenJob& job, const ImagePlane& source,
                  ImagePlane* output) {
  const PrintModel& model = job.model;
  BlurRadius radius{model.operatorRadius, model.operatorRadiusWhole, model.operatorRadiusWhole};
  OwnedPlane blurred = ownPlane(memory, copyPlane(memory, source));
  bool ok = blurred != nullptr && lockPlane(memory, blurred.get()) &&
            blurPlane(&radius, source, blurred.get(), memory, job.threads);
  if (ok) {
    combineDetail(source, *blurred, output, model.strength, job.personalProfile, job.threads);
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
int16 sharpenThroughRgb(const PixelServices& services, const SharpenJob& job,
                        const ImagePlane& input, ImagePlane* output) {
  if (!canTransferMode(services, *input.mode)) {
    passCoreThrough(input, output);
    return 0;
  }
  const HandleMemory memory = services.memory;
  OwnedPlane working = ownPlane(memory, readPlaneAsRgb(services, input));
  bool readable = working != nullptr && lockPlane(memory, working.get());
  OwnedPlane sharpened = ownPlane(memory, readable ? copyPlane(memory, *working) : nullptr);
  OwnedPlane result = ownPlane(memory, sharpened != nullptr ? copyPlane(memory, input) : nullptr);
  bool ok = result != nullptr && lockPlane(memory, sharpened.get()) &&
            lockPlane(memory, result.get()) &&
            sharpenPlane(memory, job, *working, sharpened.get()) &&
            writeBackFromRgb(services, result.get(), *sharpened, *working);
  // Colours the host failed to convert are not the picture: the tile is not written and the
  // run ends with the host's error.
  const int16 colorError = services.colors->colorError;
  ok = ok && colorError == noErr;
  if (ok) {
    copyRegion(output, result->inner.left, result->inner.top, *result, result->inner.left,
               result->inner.top, result->inner);
  }
  return ok ? 0 : colorError != noErr ? colorError : kEngineOutOfMemory;
}

}  // namespace

SharpenJob makeSharpenJob(const SharpenSettings& settings, int32 documentWidth,
                          int32 documentHeight, int32 imageMode, int32 dialogActive,
                          int32 previewZoom) {
  return SharpenJob{
      computePrintModel(settings, documentWidth, documentHeight, dialogActive, previewZoom),
      settings.personalProfile, imageMode, engineThreads()};
}

int16 sharpen(const PixelServices& services, const SharpenJob& job, const ImagePlane& input,
              ImagePlane* output) {
  *input.mode = int16(job.imageMode);
  *output->mode = int16(job.imageMode);
  if (job.imageMode != plugInModeRGBColor) {
    return sharpenThroughRgb(services, job, input, output);
  }
  bool ok = sharpenPlane(services.memory, job, input, output);
  return ok ? 0 : kEngineOutOfMemory;
}
