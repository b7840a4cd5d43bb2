// The update rectangle handed to controls with the Paint event.
//
// Contract: four signed 16-bit window client coordinates in the order top, left, bottom, right.
// Unlike GDI rectangles both edges count as inside, because the paint marking asks whether a
// corner of one rectangle touches another.
#pragma once

#include <cstdint>

struct Rect16 {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;

  bool contains(int32_t px, int32_t py) const {
    return left <= px && px <= right && top <= py && py <= bottom;
  }
};
