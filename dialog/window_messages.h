// Reading the mouse messages of the dialog windows: the pointer position is the pair of signed
// 16-bit halves of lParam (x low, y high), so positions left of or above the window (while the
// mouse is captured) come out negative. Button messages hand the controls no negative
// coordinates; mouse moves pass them unchanged.
#pragma once

#include <cstdint>

#include "platform/win32.h"

inline int32_t mouseX(LPARAM lParam) { return int16_t(uint16_t(uintptr_t(lParam) & 0xFFFF)); }
inline int32_t mouseY(LPARAM lParam) {
  return int16_t(uint16_t((uintptr_t(lParam) >> 16) & 0xFFFF));
}
inline int32_t notNegative(int32_t value) { return value < 0 ? 0 : value; }
