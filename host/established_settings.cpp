// Native only: the Windows module has no use for it.
#ifndef _WIN32
#include "host/entry_point.h"
#include "host/filter_parameters.h"

#include "memory/handle_memory.h"

bool establishedSettings(FilterRecord* record, SharpenSettings* settings, int32* settingsTouched) {
  auto* parameters =
      static_cast<FilterParameters*>(lockHandle(record->handleProcs, record->parameters));
  if (parameters == nullptr) return false;
  *settings = parameters->settings;
  *settingsTouched = parameters->settingsTouched;
  unlockHandle(record->handleProcs, record->parameters);
  return true;
}
#endif
