// The sharpening driver.
#include "engine/sharpen.h"

#include "engine/blur.h"
#include "engine/print_model.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/image_plane.h"

int16 runEngine(PluginGlobals* globals, FilterParameters* parameters) {
  const FilterRecord* host = globals->filterRecord;
  ImagePlane& input = parameters->inputPlane;
  ImagePlane& output = parameters->outputPlane;
  *input.mode = host->imageMode;
  *output.mode = host->imageMode;
  if (host->imageMode != plugInModeRGBColor) {
    return 0;
  }
  PrintModel model = computePrintModel(parameters->settings, host->imageSize.h,
                                       host->imageSize.v, parameters->dialogActive,
                                       parameters->previewZoom);
  BlurRadius radius{model.operatorRadius, model.operatorRadiusWhole, model.operatorRadiusWhole};
  ImagePlane* blurred = copyPlane(globals, input);
  bool ok = blurred != nullptr && lockPlane(globals, blurred) &&
            blurPlane(&radius, input, blurred, globals);
  if (ok) {
    combineDetail(input, *blurred, &output, model.strength, parameters->settings.personalProfile);
  }
  destroyPlane(globals, blurred);
  return ok ? 0 : kEngineOutOfMemory;
}
