// The sharpening driver.
#include "engine/sharpen.h"

#include "engine/blur.h"
#include "engine/print_model.h"
#include "engine/status_labels.h"
#include "host/filter_parameters.h"
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
  ImagePlane* blurred = copyPlane(globals, source);
  bool ok = blurred != nullptr && lockPlane(globals, blurred) &&
            blurPlane(&radius, source, blurred, globals);
  if (ok) {
    combineDetail(source, *blurred, output, model.strength, personalProfile);
  }
  destroyPlane(globals, blurred);
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
int16 sharpenThroughRgb(PluginGlobals* globals, FilterParameters* parameters,
                        const PrintModel& model) {
  const ImagePlane& input = parameters->inputPlane;
  if (!canTransferMode(*globals, *input.mode)) {
    passCoreThrough(input, &parameters->outputPlane);
    return 0;
  }
  ImagePlane* working = readPlaneAsRgb(globals, input);
  bool readable = working != nullptr && lockPlane(globals, working);
  ImagePlane* sharpened = readable ? copyPlane(globals, *working) : nullptr;
  ImagePlane* result = sharpened != nullptr ? copyPlane(globals, input) : nullptr;
  bool ok = result != nullptr && lockPlane(globals, sharpened) && lockPlane(globals, result) &&
            sharpenPlane(globals, model, parameters->settings.personalProfile, *working,
                         sharpened) &&
            writeBackFromRgb(globals, result, *sharpened);
  // Colours the host failed to convert are not the picture: the tile is not written and the
  // run ends with the host's error.
  const int16 colorError = globals->colorError;
  ok = ok && colorError == noErr;
  if (ok) {
    copyRegion(&parameters->outputPlane, result->inner.left, result->inner.top, *result,
               result->inner.left, result->inner.top, result->inner);
  }
  destroyPlane(globals, result);
  destroyPlane(globals, sharpened);
  destroyPlane(globals, working);
  return ok ? 0 : colorError != noErr ? colorError : kEngineOutOfMemory;
}

}  // namespace

int16 runEngine(PluginGlobals* globals, FilterParameters* parameters) {
  const FilterRecord* host = globals->filterRecord;
  ImagePlane& input = parameters->inputPlane;
  ImagePlane& output = parameters->outputPlane;
  *input.mode = host->imageMode;
  *output.mode = host->imageMode;
  PrintModel model = computePrintModel(parameters->settings, host->imageSize.h,
                                       host->imageSize.v, parameters->dialogActive,
                                       parameters->previewZoom);
  reportStatus(*globals, parameters, model);
  if (host->imageMode != plugInModeRGBColor) {
    return sharpenThroughRgb(globals, parameters, model);
  }
  bool ok = sharpenPlane(globals, model, parameters->settings.personalProfile, input, &output);
  return ok ? 0 : kEngineOutOfMemory;
}
