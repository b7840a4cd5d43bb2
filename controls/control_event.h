// The vocabulary every control shares: event codes, result bits, flags, key codes, and the
// shape of an event handler.
//
// Contract: an event reaches a control as (x, y, data, event). x and y are signed 32-bit; data
// is a pointer-sized word whose meaning depends on the event (a window for Draw, a pointer to a
// 16-bit character for Key, a pointer to a Rect16 for Paint, otherwise unused). Handlers answer
// with a bit set: 1 done or nothing to do, 0 not handled or nothing changed, plus the Advance,
// Paint and FocusOut bits below, which callers combine with OR. Nothing here throws.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class Control;

using EventData = void*;
using EventHandler = uint32_t (*)(Control* control, int32_t x, int32_t y, EventData data,
                                  int32_t event);

struct ControlEvent {
    enum : int32_t {
        Draw = 0,
        Key = 2,
        MouseMove = 5,
        LeftUp = 6,
        RightUp = 7,
        LeftDown = 8,
        RightDown = 9,
        Refresh = 11,
        Paint = 15,
        Init = 16,
        Advance = 17,
        FocusIn = 18,
        FocusOut = 19,
        Fallback = 20,
        Count = 26,  // size of every control's handler table; codes from here on are ignored
    };
};

struct ControlResult {
    enum : uint32_t {
        Done = 1,
        Advance = 0x10,   // the keyboard focus now rests inside the receiver
        Paint = 0x20,     // the update rectangle lies wholly inside the receiver
        FocusOut = 0x40,  // the receiver gave up a keyboard focus it held
    };
};

struct ControlFlags {
    enum : uint32_t {
        Active = 1,      // drawn by its group and hit by the mouse
        Owned = 2,       // destroyed by the group that holds it
        RaiseOnHit = 4,  // moved to the front of its group when hit
        Focusable = 8,   // takes the keyboard focus and joins the Enter order
    };
};

// Character codes the controls react to besides the digits, "." and "-".
struct KeyCode {
    enum : uint16_t {
        Backspace = 8,
        Enter = 13,
        Cancel = 31,
    };
};

// Draw events carry the target window in their data word.
inline HWND windowFromData(EventData data) { return reinterpret_cast<HWND>(data); }
inline EventData dataFromWindow(HWND window) { return reinterpret_cast<EventData>(window); }
