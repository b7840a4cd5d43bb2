// The engine run on the planes and settings of a FilterParameters, as a run does it: the job
// worked out from the settings and the host's document, then the input plane sharpened into the
// output plane. Outside the dialog the zoom divisor plays no part.
#pragma once

#include "engine/sharpen.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

inline int16 runEngine(PluginGlobals* globals, FilterParameters* parameters) {
  const FilterRecord& host = *globals->filterRecord;
  SharpenJob job = makeSharpenJob(parameters->settings, host.imageSize.h, host.imageSize.v,
                                  host.imageMode, parameters->dialogActive, 1);
  return sharpen(pixelServices(globals), job, parameters->inputPlane, &parameters->outputPlane);
}
