// PluginGlobals: the small record the host keeps for the module in its `data` slot, in a handle
// created through memory/handle_memory.h on the first call that is not About. It is locked for the
// length of one entry-point call; `result` and `filterRecord` point into the host's memory and
// are refreshed on every entry, so nothing may keep them across calls. The record starts
// zero-filled.
#pragma once

#include "hostapi/filter_record.h"
#include "hostapi/types.h"
#include "image/pixel_services.h"
#include "memory/handle_memory.h"

struct PluginGlobals {
  int16* result;               // the host's result code of the current call
  FilterRecord* filterRecord;  // the host's parameter block of the current call
  RunColors colors;            // the run's colour state
};

// The current call's handle memory: the host's procs, or the module's own handles when there
// is no record.
inline HandleMemory handleMemory(const PluginGlobals* globals) {
  return HandleMemory(globals != nullptr && globals->filterRecord != nullptr
                          ? globals->filterRecord->handleProcs
                          : nullptr);
}

// What pixel code gets of the current call: its memory, the host's colour services and the
// run's colour state.
inline PixelServices pixelServices(PluginGlobals* globals) {
  const FilterRecord* record = globals->filterRecord;
  return PixelServices{handleMemory(globals), record != nullptr ? record->colorServices : nullptr,
                       &globals->colors};
}
