// The main dialog: one borderless window covered by its background bitmap, on which the
// controls draw themselves. FilterProc (exported by the module under that name) turns the
// window's messages into calls of the dialog's root panel.
//
// Contract: a MainDialog is the state of one modal session on "MAINDIALOG" and lives on the
// stack of whoever runs it: runModal builds the controls when the window initialises and the
// dialog edits the lent settings in place; it ends with 1 from OK (`confirmed` set) or from
// Cancel, with 2 from Escape. The controls, then the bitmaps they show, are released when the
// MainDialog goes, never earlier. The window carries its MainDialog in its user data; a message
// whose handling throws ends the dialog with kDialogAbandoned (controls/procedure_guard.h).
#pragma once

#include <memory>

#include "controls/control_group.h"
#include "dialog/bitmap_list.h"
#include "dialog/dialog_run.h"
#include "dialog/help_window.h"
#include "dialog/status_lines.h"
#include "host/entry_point.h"

class TextLabel;

extern "C" INKJET_EXPORT INT_PTR CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam);

struct MainDialog {
  explicit MainDialog(const DialogRun& run);
  ~MainDialog();
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Runs the dialog modally, owned by the host's main window (from the FilterRecord's platform
  // data); answers what DialogBoxParamA answered.
  INT_PTR runModal();

  // The dialog a window carries; null before it initialises and after a failure.
  static MainDialog* of(HWND window);

  DialogRun run;
  HWND window = nullptr;
  std::unique_ptr<ControlGroup> controls;  // the root panel; its children are owned by it
  BitmapList* bitmaps = nullptr;           // every picture the controls show
  HBITMAP background = nullptr;
  TextLabel* zoomLabel = nullptr;
  TextLabel* statusLabels[kStatusLabelCount] = {};
  int32 zoom = 0;                // the preview's scale divisor
  bool settingsChanged = false;  // set by a control, cleared by the Refresh that follows
  bool confirmed = false;        // OK ended the dialog
  Control* accelerationButton = nullptr;
  HBITMAP accelerationOffBitmap = nullptr;
  HBITMAP accelerationOnBitmap = nullptr;
  HelpWindowState help{};
};

// Creates every control of the dialog in `dialog->window`.
void buildMainDialog(MainDialog* dialog);
