// The help window: a modeless, borderless window beside the main dialog that shows the help
// pages ("FILTER_HELP_BITMAP1", "FILTER_HELP_BITMAP2", ... up to 50, ending at the first
// missing number), one full-window picture each, with three click areas at the lower right:
// previous page, close and next page. Dragging anywhere else moves the window.
//
// Contract: the help state lives in FilterParameters (helpWindow, helpControls,
// helpPageBitmaps, helpPage); the window procedure keeps a process-wide pointer to the record it
// was created with, valid for as long as the main dialog's modal loop runs. The window owns its
// page pictures and its control group: both are released exactly once, when the close area is
// used or when the window is destroyed with its owner, whichever comes first. After that
// helpWindow is 0 and every page slot is null. The actions are ButtonActions taking
// FilterParameters as user data and return 1.
#pragma once

#include "controls/bitmap_button.h"
#include "host/filter_parameters.h"

// Opens the help window owned by the main dialog window at page 1; does nothing while one is
// open. When page 1 cannot be loaded there is nothing to show and no window stays open.
uint32_t openHelp(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                  void* userData);
uint32_t showPreviousHelpPage(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                              void* userData);
uint32_t showNextHelpPage(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                          void* userData);
uint32_t closeHelp(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                   void* userData);

INT_PTR CALLBACK helpDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
