// Translation of X11 input into the Windows messages the stand-in's windows take. Pure
// functions on plain values, so they are tested without a display.
//
// Pointer positions become client coordinates of the stand-in window: the event's root
// position minus `clientOrigin`, the root position of the window's client origin. While a
// button is held, the presenter derives that origin from the stand-in's own rectangle rather
// than from the X window, which lags behind a window the dialog is moving; a drag then moves
// the window by exactly the pointer's travel. Keys come as the keysym of the event (after the
// keyboard layout and Shift were applied), so layouts beyond US type the characters they show.
#pragma once

#include <optional>

#include "platform/win32.h"

namespace x11input {

enum class PointerKind { press, release, motion };

struct PointerEvent {
  PointerKind kind = PointerKind::motion;
  unsigned button = 0;  // 1 left, 2 middle, 3 right, 4..7 wheel; for press and release
  unsigned state = 0;   // the X modifier and button mask before the event
  int rootX = 0;
  int rootY = 0;
};

struct Message {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// The mouse message, or none for buttons a dialog does not take (wheel, extra buttons).
std::optional<Message> pointerMessage(const PointerEvent& event, POINT clientOrigin);

// The virtual key for a keysym, 0 for keys that mean nothing to the dialog.
UINT virtualKey(unsigned long keysym);

}  // namespace x11input
