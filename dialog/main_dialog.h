// The main dialog: one borderless window covered by its background bitmap, on which the
// controls draw themselves. FilterProc (exported by the module under that name) turns the
// window's messages into calls of the root panel held in FilterParameters.controls.
//
// Contract: Start opens the dialog on "MAINDIALOG" with the locked FilterParameters as creation
// parameter (runMainDialog); the dialog edits SharpenSettings in place and ends with 1 from OK
// (`cancelled` cleared) or from Cancel / Escape (`cancelled` left at 1). Closing the dialog
// releases nothing by itself: the caller destroys `controls` and then calls
// releaseDialogBitmaps. The window carries its FilterParameters in its user data; a message
// whose handling throws ends the dialog with kDialogAbandoned (controls/procedure_guard.h).
#pragma once

#include "dialog/bitmap_list.h"
#include "host/entry_point.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

extern "C" INKJET_EXPORT INT_PTR CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam);

// Creates every control of the dialog in window `parameters->dialogWindow`.
void buildMainDialog(PluginGlobals* globals, FilterParameters* parameters);

// Runs the dialog modally, owned by the host's main window (from the FilterRecord's platform
// data); answers what DialogBoxParamA answered.
INT_PTR runMainDialog(PluginGlobals* globals, FilterParameters* parameters);
