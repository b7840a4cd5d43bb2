// Basic types of the filter plug-in host interface, as a 32-bit Windows host lays them out.
// Integers have fixed widths; Boolean is one byte; Fixed is 16.16; four-character codes are
// 32-bit integers whose first character is the most significant byte. Handles are pointers to
// a master pointer (*handle is the data), but the module only ever reaches the data through the
// host's lockProc or its own fallback (host/handle_memory.h).
#pragma once

#include <cstdint>

typedef int32_t int32;
typedef int16_t int16;
typedef int8_t int8;
typedef uint32_t unsigned32;
typedef uint16_t unsigned16;
typedef uint8_t unsigned8;
typedef uint32_t uint32;
typedef uint16_t uint16;
typedef uint8_t uint8;

typedef unsigned char Boolean;
typedef int32_t Fixed;
typedef uint32_t OSType;
typedef uint32_t ResType;
typedef uint32_t PIType;
typedef uint32_t DescType;
typedef int16_t OSErr;
typedef char* Ptr;
typedef char** Handle;

// A point is stored row first: v (y), then h (x).
struct Point {
  int16 v;
  int16 h;
};

// Rectangles: top, left, bottom, right; bottom and right exclusive.
struct Rect {
  int16 top;
  int16 left;
  int16 bottom;
  int16 right;
};

struct RGBColor {
  uint16 red;
  uint16 green;
  uint16 blue;
};

struct VPoint {
  int32 v;
  int32 h;
};

struct VRect {
  int32 top;
  int32 left;
  int32 bottom;
  int32 right;
};

typedef unsigned char Str255[256];
typedef unsigned char FilterColor[4];
typedef uint8 LookUpTable[256];

// The four-character code 'abcd' as the host compares it.
constexpr uint32 fourCharCode(const char (&code)[5]) {
  return (uint32(uint8(code[0])) << 24) | (uint32(uint8(code[1])) << 16) |
         (uint32(uint8(code[2])) << 8) | uint32(uint8(code[3]));
}
