// The About window's procedure until the About window itself is built: it handles nothing, so
// the system's defaults apply.
#include "host/about_box.h"

INT_PTR CALLBACK aboutDialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
