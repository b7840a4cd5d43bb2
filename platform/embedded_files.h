// Files the native binaries carry inside themselves, so that an installed tool or plug-in needs
// nothing from the source tree at run time: the module's resource scripts (dialogs.rc,
// bitmaps.rc), the bitmaps they name and the fonts the stand-in draws text with.
// Names are paths relative to the source tree ("resources/dialogs.rc",
// "resources/bitmaps/ok_button.bmp") or, for the fonts, "fonts/<file name>". The bytes are
// static and live as long as the program. Natively only.
#pragma once

#include <string_view>

namespace platform {

// The bytes of the embedded file `name`; empty when there is none.
std::string_view embeddedFile(std::string_view name);

}  // namespace platform
