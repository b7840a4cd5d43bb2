// How each run's settings come about, and how they are recorded for the host's scripting.
// The six persisted settings travel as descriptor integers keyed 'par1'..'par6' (personal
// profile, eye distance, printer quality, printer resolution, image quality, image source);
// print width and height are never recorded but derived from the document on every run.
// Both operations work on the locked FilterParameters of the current call and use only the
// host's descriptor procedures that are present: a host without the descriptor suite, or with
// a suite too short or with null procedures, simply gets no recording and no replay. Nothing
// here fails; a host's errors are tolerated, and a replayed value outside its range is brought
// into it.
#pragma once

#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

// Print size from the document, the defaults, whatever the host replays, then the rule that
// raises the eye distance for large prints.
void establishSettings(PluginGlobals* globals, FilterParameters* parameters);

// Writes the six persisted settings as a new descriptor for the host to record.
void recordSettings(PluginGlobals* globals, FilterParameters* parameters);
