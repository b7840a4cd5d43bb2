// Prepare: not built yet; the record is locked and unlocked around it like every handler's.
#include "host/selector_handlers.h"

void handlePrepare(PluginGlobals*, FilterParameters*) {}
