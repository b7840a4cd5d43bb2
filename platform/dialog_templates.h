// Dialog templates for the native build. On Windows the module's resource script carries its
// templates; natively the module declares the same ones here, by name, with their size in
// dialog units and their window style, before it opens them. A name declared twice keeps the
// later declaration. Templates outlive the driver's reset. Windows builds have nothing here.
#pragma once

#include "platform/win32.h"

#ifndef _WIN32
namespace platform {

// Returns true, so that a file can declare a template in a static initialiser.
bool registerDialogTemplate(const char* name, int widthUnits, int heightUnits, DWORD style);

}  // namespace platform
#endif
