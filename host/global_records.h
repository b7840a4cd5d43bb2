// The module's two records and the host handles that hold them. PluginGlobals lives in the
// handle in the host's data slot; FilterParameters in FilterRecord.parameters. Both are created
// zero-filled through memory/handle_memory.h and are locked only within one entry-point call.
// Failures return null; the caller reports -108.
#pragma once

#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

// Locks the record in *data, or creates it (running the parameters initialiser) when the slot
// is 0; a new handle is stored in *data only once it is locked. `result` and `record` are
// stored in the record and *result is set to 0. Returns null when the record could not be
// created or locked; *data is then left as it was.
PluginGlobals* attachGlobals(FilterRecord* record, intptr_t* data, int16* result);

// Unlocks the record attached for this call; the handle stays in *data for the next call.
void releaseGlobals(FilterRecord* record, const intptr_t* data);

// Creates a zero-filled FilterParameters in FilterRecord.parameters when that is empty, with
// dialogRequest 0; sets the result code to -108 when it cannot.
void initialiseParameters(PluginGlobals* globals);

// Locks FilterParameters for one handler. When the host still holds no record because an earlier
// creation failed, tries the initialiser once more, unless it already failed in this call.
// Returns null when there is no record or it cannot be locked.
FilterParameters* ensureFilterParameters(PluginGlobals* globals);

void unlockFilterParameters(PluginGlobals* globals);
