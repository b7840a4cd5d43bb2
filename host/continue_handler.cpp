// Continue: sharpen the tile the host delivered, then ask for the next one. The engine's result
// goes to the host as it is: a tile that could not be sharpened for lack of memory ends the
// run with -108 instead of passing for a success. A tile other than the one asked for (other
// rectangles, planes, or rows too short for them) ends the run with filterBadParameters
// before a byte of it is read.
#include "engine/sharpen.h"
#include "host/plugin_globals.h"
#include "host/selector_handlers.h"
#include "host/tile_walk.h"
#include "hostapi/constants.h"

namespace {

// Nothing to sharpen when the host delivered no buffers, or when Continue comes without a
// request (a host calling on after the walk ended, or before Start).
bool tileDelivered(const FilterRecord& record) {
  return hasRequest(record) && record.inData != nullptr && record.outData != nullptr;
}

}  // namespace

void handleContinue(PluginGlobals* globals, FilterParameters* parameters) {
  FilterRecord* record = globals->filterRecord;
  if (!tileDelivered(*record)) {
    clearRequests(record);
    return;
  }
  const int32 mode = record->imageMode;
  const int32 modeChannels =
      mode >= 0 && mode < kImageModeCount ? globals->colors.channelsOfMode[mode] : 0;
  if (!deliveredTileUsable(*record, *parameters, modeChannels)) {
    clearRequests(record);
    *globals->result = filterBadParameters;
    return;
  }
  pointHostViews(record, parameters);
  int16 result = sharpen(pixelServices(globals), parameters->job, parameters->inputPlane,
                         &parameters->outputPlane);
  if (result != noErr) {
    clearRequests(record);
    *globals->result = result;
    return;
  }
  if (!requestNextTile(record, parameters)) {
    clearRequests(record);
  }
  reportTileProgress(record, *parameters);
}
