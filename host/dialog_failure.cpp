#include "host/dialog_failure.h"

bool dialogFailed(INT_PTR dialogResult) { return dialogResult == 0 || dialogResult == -1; }

void showDialogFailure() { MessageBoxA(nullptr, "dialog failure", "orv Brindlecraft 1.02", MB_OK); }
