// The module's own instance handle, recorded once when the system attaches the library and read
// by everything that loads resources (dialog templates, bitmaps). Natively, where no library is
// attached, it stays null unless a test host sets it. It sits with the controls, the lowest layer
// that loads resources, so the controls, the dialog and the entry point all reach it downwards.
#pragma once

#include "platform/win32.h"

HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);
