// Start: either straight to the first tile, or the main dialog first. The dialog works on the
// settings Prepare established; OK starts the walk, Cancel (or a dialog that could not be shown)
// ends the run with -128, every request empty and the colour caches gone.
#include "controls/procedure_guard.h"
#include "dialog/main_dialog.h"
#include "engine/sharpen.h"
#include "host/dialog_failure.h"
#include "host/selector_handlers.h"
#include "host/tile_walk.h"
#include "hostapi/constants.h"
#include "image/color_conversion.h"

namespace {

// The walk's job is worked out once for all its tiles, with the settings the run ends up with.
// Outside the dialog the radius does not follow a preview's zoom.
void startTiles(FilterRecord* record, FilterParameters* parameters) {
  parameters->job = makeSharpenJob(parameters->settings, record->imageSize.h, record->imageSize.v,
                                   record->imageMode, 0, 1);
  requestFirstTile(record, parameters);
}

void runDialog(PluginGlobals* globals, FilterParameters* parameters) {
  FilterRecord* record = globals->filterRecord;
  parameters->dialogActive = true;
  parameters->cancelled = true;
  INT_PTR outcome = 0;
  {
    MainDialog dialog(DialogRun{record, pixelServices(globals), globals->result,
                                &globals->colors.acceleration, &parameters->settings,
                                &parameters->settingsTouched});
    outcome = dialog.runModal();
    parameters->cancelled = !dialog.confirmed;
  }
  if (outcome == kDialogAbandoned) {
    throw DialogAbandoned();
  }
  if (dialogFailed(outcome)) {
    showDialogFailure();
  }
  parameters->dialogActive = false;
  parameters->dialogRequest = DialogRequest::None;
  if (parameters->cancelled) {
    clearRequests(record);
    destroyColorCaches(globals->colors);
  } else {
    startTiles(record, parameters);
  }
}

}  // namespace

void handleStart(PluginGlobals* globals, FilterParameters* parameters) {
  FilterRecord* record = globals->filterRecord;
  pointHostViews(record, parameters);
  if (parameters->dialogRequest != DialogRequest::Show) {
    startTiles(record, parameters);
    parameters->dialogActive = false;
  } else {
    runDialog(globals, parameters);
  }
  if (parameters->cancelled) {
    *globals->result = userCanceledErr;
  }
}

void abandonRun(PluginGlobals* globals, FilterParameters* parameters) {
  clearRequests(globals->filterRecord);
  destroyColorCaches(globals->colors);
  if (parameters->dialogActive) {
    parameters->dialogActive = false;
    parameters->dialogRequest = DialogRequest::None;
  }
  *globals->result = memFullErr;
}
