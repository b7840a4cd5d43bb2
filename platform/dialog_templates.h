// Dialog templates for the native build. On Windows the module's resource script carries its
// templates; natively the stand-in reads the same script (resources/dialogs.rc), and code may
// also declare templates here, by name, with their position and size in dialog units and
// their window style (tests use this for windows of their own). A declared name takes precedence
// over the script; declaring a name twice keeps the later one. Declarations outlive the driver's
// reset. Windows builds have nothing here.
#pragma once

#include "platform/win32.h"

#ifndef _WIN32
namespace platform {

// Returns true, so that a file can declare a template in a static initialiser. Without a
// position the template sits at (0, 0): the owner's client origin.
bool registerDialogTemplate(const char* name, int widthUnits, int heightUnits, DWORD style);
bool registerDialogTemplate(const char* name, int xUnits, int yUnits, int widthUnits,
                            int heightUnits, DWORD style);

}  // namespace platform
#endif
