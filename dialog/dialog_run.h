// What the run that opens the main dialog lends it for as long as the dialog is open: the
// host's record (the document, the preview's fetch and display services, the host's window),
// the run's settings and the few run values the dialog reads or changes. Every pointer outlives
// the dialog; the dialog keeps none of them after it closes.
#pragma once

#include "core/sharpen_settings.h"
#include "hostapi/filter_record.h"
#include "hostapi/types.h"
#include "image/pixel_services.h"

struct DialogRun {
  FilterRecord* record;       // the host's record of the current call
  PixelServices pixels;       // the run's memory and colour state, for the preview's planes
                              // and the engine
  int16* result;              // the call's result code: a refused preview fetch is kept here
  int32* acceleration;        // 1: CMYK is converted by copying channels; the dialog toggles it
  SharpenSettings* settings;  // edited in place
  bool* settingsTouched;      // set by the first click or key in the dialog
};
