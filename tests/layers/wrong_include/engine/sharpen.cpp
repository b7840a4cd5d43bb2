// An engine file reaching up into the dialog: the build must refuse it.
#include "dialog/main_dialog.h"
