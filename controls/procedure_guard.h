// Window and dialog procedures are called from the system's message loop, which cannot carry a
// C++ exception: one that escaped a procedure would unwind through system frames and take the
// host editor down with it. Every procedure of the module therefore runs its work through
// guardProcedure. Anything thrown ends the procedure's dialog with kDialogAbandoned, and
// whoever opened that dialog learns of the failure from DialogBoxParamA's answer and passes it
// on as DialogAbandoned, up to the main dialog and from there to the entry point, which reports
// the run as out of memory.
#pragma once

#include <exception>

#include "platform/win32.h"

// What DialogBoxParamA answers for a dialog whose procedure failed: distinct from the system's
// own failure answers (0 and -1) and from the OK (1) and Cancel (2) results of the dialogs.
constexpr INT_PTR kDialogAbandoned = 0x4A4B;

// Thrown by the code that opened a dialog which came back abandoned, once that dialog is gone.
struct DialogAbandoned : std::exception {
  const char* what() const noexcept override { return "dialog abandoned"; }
};

// Runs `work` (answering the procedure's INT_PTR); if it throws, `dialog` is ended as
// abandoned and the message counts as handled.
template <typename Work>
INT_PTR guardProcedure(HWND dialog, Work&& work) noexcept {
  try {
    return work();
  } catch (...) {
    EndDialog(dialog, kDialogAbandoned);
    return TRUE;
  }
}
