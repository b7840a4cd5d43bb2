// Prepare: every run starts here, with or without the dialog. The settings are established
// afresh from the document and whatever the host replays, the host views are pointed at the
// record's tile buffers and the run's colour caches are built for the document's mode.
#include "hostapi/constants.h"
#include "host/scripting_parameters.h"
#include "host/selector_handlers.h"
#include "host/tile_walk.h"
#include "image/color_conversion.h"

namespace {

// Colour-services space and interleaved channels of the host's image modes 0..11.
constexpr int32 kColorSpaceOfMode[kImageModeCount] = {-1, 4, -1, 0, 2, 5, 1, -1, 4, 3, 4, -1};
constexpr int32 kChannelsOfMode[kImageModeCount] = {1, 1, 3, 3, 4, 3, 3, 0, 1, 3, 1, 3};

void fillModeTables(PluginGlobals* globals) {
  for (int mode = 0; mode < kImageModeCount; ++mode) {
    globals->colors.colorSpaceOfMode[mode] = kColorSpaceOfMode[mode];
    globals->colors.channelsOfMode[mode] = kChannelsOfMode[mode];
  }
}

}  // namespace

void handlePrepare(PluginGlobals* globals, FilterParameters* parameters) {
  applyRunDefaults(parameters);
  establishSettings(globals, parameters);
  if (parameters->dialogRequest != DialogRequest::Show) {
    parameters->dialogRequest = DialogRequest::Skip;
  }
  parameters->cancelled = false;
  pointHostViews(globals->filterRecord, parameters);
  parameters->globals = globals;
  fillModeTables(globals);
  createColorCaches(pixelServices(globals), globals->filterRecord->imageMode);
}
