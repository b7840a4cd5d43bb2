// The message the module shows when one of its dialogs cannot be opened: an ownerless box with
// an OK button, so it appears even when the host's window is unusable.
#pragma once

#include "platform/win32.h"

// True when DialogBoxParamA reported that the dialog never ran. The system answers 0 for a bad
// owner window and -1 for any other failure (a missing template among them); both mean the
// user saw nothing, so both are failures.
bool dialogFailed(INT_PTR dialogResult);

void showDialogFailure();
