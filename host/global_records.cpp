#include "host/global_records.h"

#include <cstring>

#include "memory/handle_memory.h"
#include "hostapi/constants.h"

namespace {

void bindCall(PluginGlobals* globals, FilterRecord* record, int16* result) {
  globals->result = result;
  globals->filterRecord = record;
  *result = noErr;
}

PluginGlobals* createGlobals(FilterRecord* record, intptr_t* data, int16* result) {
  Handle handle = newHandle(record->handleProcs, sizeof(PluginGlobals));
  if (handle == nullptr) {
    return nullptr;
  }
  auto* globals = static_cast<PluginGlobals*>(lockHandle(record->handleProcs, handle));
  if (globals == nullptr) {
    disposeHandle(record->handleProcs, handle);
    return nullptr;
  }
  std::memset(static_cast<void*>(globals), 0, sizeof(PluginGlobals));
  bindCall(globals, record, result);
  initialiseParameters(globals);
  *data = reinterpret_cast<intptr_t>(handle);
  return globals;
}

}  // namespace

PluginGlobals* attachGlobals(FilterRecord* record, intptr_t* data, int16* result) {
  if (*data == 0) {
    return createGlobals(record, data, result);
  }
  Handle handle = reinterpret_cast<Handle>(*data);
  auto* globals = static_cast<PluginGlobals*>(lockHandle(record->handleProcs, handle));
  if (globals != nullptr) {
    bindCall(globals, record, result);
  }
  return globals;
}

void releaseGlobals(FilterRecord* record, const intptr_t* data) {
  unlockHandle(record->handleProcs, reinterpret_cast<Handle>(*data));
}

void initialiseParameters(PluginGlobals* globals) {
  FilterRecord* record = globals->filterRecord;
  if (record->parameters != nullptr) {
    return;
  }
  Handle handle = newHandle(record->handleProcs, sizeof(FilterParameters));
  if (handle == nullptr) {
    *globals->result = memFullErr;
    return;
  }
  // Host handles need not arrive zero-filled; ours do, so both kinds start out the same.
  auto* parameters = static_cast<FilterParameters*>(lockHandle(record->handleProcs, handle));
  if (parameters == nullptr) {
    disposeHandle(record->handleProcs, handle);
    *globals->result = memFullErr;
    return;
  }
  std::memset(static_cast<void*>(parameters), 0, sizeof(FilterParameters));
  parameters->dialogRequest = DialogRequest::None;
  unlockHandle(record->handleProcs, handle);
  record->parameters = handle;
}

FilterParameters* ensureFilterParameters(PluginGlobals* globals) {
  FilterRecord* record = globals->filterRecord;
  if (record->parameters == nullptr && *globals->result == noErr) {
    initialiseParameters(globals);
  }
  return static_cast<FilterParameters*>(lockHandle(record->handleProcs, record->parameters));
}

void unlockFilterParameters(PluginGlobals* globals) {
  FilterRecord* record = globals->filterRecord;
  unlockHandle(record->handleProcs, record->parameters);
}
