// The vocabulary every control shares: positions, mouse buttons, result bits, flags and key
// codes.
//
// Contract: controls answer every call with a bit set: 1 done or nothing to do, 0 not handled or
// nothing changed, plus the Advance, Paint and FocusOut bits below, which callers combine with
// OR. Nothing here throws.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// A position in pixels, relative to whatever the call says.
struct Position {
  int32_t x;
  int32_t y;
};

inline Position operator-(Position a, Position b) { return {a.x - b.x, a.y - b.y}; }
inline Position operator+(Position a, Position b) { return {a.x + b.x, a.y + b.y}; }

enum class MouseButton { Left, Right };

struct ControlResult {
  enum : uint32_t {
    Done = 1,
    Advance = 0x10,   // the keyboard focus now rests inside the receiver
    Paint = 0x20,     // the update rectangle lies wholly inside the receiver
    FocusOut = 0x40,  // the receiver gave up a keyboard focus it held
  };
};

// How a control takes part in its group. The named sets below are the ones the controls use.
struct ControlFlags {
  bool active;      // drawn by its group and hit by the mouse
  bool raiseOnHit;  // moved to the front of its group when hit
  bool focusable;   // takes the keyboard focus and joins the Enter order

  static const ControlFlags Active;
  static const ControlFlags Inactive;
  static const ControlFlags RaiseOnHit;  // active too
  static const ControlFlags Focusable;   // active too
};

constexpr ControlFlags ControlFlags::Active{true, false, false};
constexpr ControlFlags ControlFlags::Inactive{false, false, false};
constexpr ControlFlags ControlFlags::RaiseOnHit{true, true, false};
constexpr ControlFlags ControlFlags::Focusable{true, false, true};

// Characters the controls react to besides the digits, "." and "-".
struct KeyCode {
  static constexpr char16_t Backspace = 8;
  static constexpr char16_t Enter = 13;
  static constexpr char16_t Cancel = 31;
};
