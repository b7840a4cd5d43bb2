// The help window: a modeless, borderless window beside the main dialog that shows the help
// pages ("FILTER_HELP_BITMAP1", "FILTER_HELP_BITMAP2", ... up to 50, ending at the first
// missing number), one full-window picture each, with three click areas at the lower right:
// previous page, close and next page. Dragging anywhere else moves the window.
//
// Contract: the help state lives in a HelpWindowState that the main dialog keeps for as long as
// its modal loop runs; the window carries a pointer to it in its user data. The window owns its
// page pictures and its control group: both are released exactly once, when the close area is
// used or when the window is destroyed with its owner, whichever comes first. After that
// `window` is 0 and every page slot is null. The actions take the HelpWindowState and return 1.
#pragma once

#include <memory>

#include "controls/bitmap_button.h"
#include "controls/control_group.h"

constexpr int kHelpPageCount = 51;

// A value-initialised state is a closed help window.
struct HelpWindowState {
  HWND owner;  // the main dialog window, set before the help window opens
  HWND window;
  std::unique_ptr<ControlGroup> controls;  // the click areas over the page
  HBITMAP pages[kHelpPageCount];
  uint8_t page;
  // Set while an event travels through the controls: an action may destroy the window, and the
  // group it runs in must then outlive the dispatch.
  bool dispatching;
};

// Opens the help window owned by the main dialog window at page 1; does nothing while one is
// open. When page 1 cannot be loaded there is nothing to show and no window stays open.
uint32_t openHelp(HelpWindowState* help);
uint32_t showPreviousHelpPage(HelpWindowState* help);
uint32_t showNextHelpPage(HelpWindowState* help);
uint32_t closeHelp(HelpWindowState* help);

INT_PTR CALLBACK helpDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
