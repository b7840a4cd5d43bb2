// The instance handle is the one piece of static state besides the host's records: it is
// written at library attach time, before any entry-point call, and only read afterwards.
#include "controls/module_instance.h"

namespace {
HINSTANCE recordedInstance = nullptr;
}

HINSTANCE moduleInstance() { return recordedInstance; }

void setModuleInstance(HINSTANCE instance) { recordedInstance = instance; }
