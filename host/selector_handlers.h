// The handlers of selectors 1..5. The entry point calls each with the attached PluginGlobals and
// FilterParameters already locked (it unlocks them when the handler returns), and with the
// result code at 0; a handler changes the result code only to report a failure or a cancel.
// Neither pointer may be kept beyond the call.
#pragma once

#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

// Bytes of buffer memory the module tells the host it needs for one tile.
constexpr int32 kBufferSpaceNeeded = 5006448;

void handleParameters(PluginGlobals* globals, FilterParameters* parameters);
void handlePrepare(PluginGlobals* globals, FilterParameters* parameters);
void handleStart(PluginGlobals* globals, FilterParameters* parameters);
void handleContinue(PluginGlobals* globals, FilterParameters* parameters);
void handleFinish(PluginGlobals* globals, FilterParameters* parameters);

// What is left of a run whose handler threw: no request stays for the host to deliver, the
// colour caches are gone (the dialog's resources went with the dialog), and the run ends out of
// memory. The host
// writes nothing back after a failed selector, so the document stays as it was.
void abandonRun(PluginGlobals* globals, FilterParameters* parameters);
