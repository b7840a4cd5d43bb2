// Basic types of the filter plug-in host interface, as 32-bit and 64-bit Windows hosts lay them
// out. Every callback of the interface is cdecl on Windows (HOSTAPI_CALL; x86-64 has a single
// calling convention and ignores the mark); natively the mark is empty.
// Integers have fixed widths; Boolean is one byte; Fixed is 16.16; four-character codes are
// 32-bit integers whose first character is the most significant byte. Handles are pointers to
// a master pointer (*handle is the data), but the module only ever reaches the data through the
// host's lockProc or its own fallback (memory/handle_memory.h).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define HOSTAPI_CALL __cdecl
#else
#define HOSTAPI_CALL
#endif

// The record layouts are checked by offset where they must match a real host: i686 and x86-64
// Windows. The native x86-64 build lays every record out as x86-64 Windows does (the records
// use fixed-width integers, never `long`), so it is checked against the same offsets and its
// tests run on the layout a 64-bit host passes. HOSTAPI_OFFSET(i686, x64) picks the figure
// for the build being compiled.
#if defined(_WIN32) && !defined(_WIN64)
#define HOSTAPI_CHECK_LAYOUT 1
#define HOSTAPI_OFFSET(i686, x64) (i686)
#elif defined(__x86_64__) || defined(_M_X64)
#define HOSTAPI_CHECK_LAYOUT 1
#define HOSTAPI_OFFSET(i686, x64) (x64)
#else
#define HOSTAPI_CHECK_LAYOUT 0
#endif

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
typedef const unsigned char* ConstStr255Param;
typedef unsigned char FilterColor[4];
typedef uint8 LookUpTable[256];

// Colour characteristics of the user's monitor, all 16.16.
struct PlugInMonitor {
  Fixed gamma;
  Fixed redX;
  Fixed redY;
  Fixed greenX;
  Fixed greenY;
  Fixed blueX;
  Fixed blueY;
  Fixed whiteX;
  Fixed whiteY;
  Fixed ambient;
};

// The host's platform record: on Windows the main window, parent of every dialog. The slot is
// pointer-sized so a native host can store a real window handle in it.
struct PlatformData {
  intptr_t hwnd;
};

// The four-character code 'abcd' as the host compares it.
constexpr uint32 fourCharCode(const char (&code)[5]) {
  return (uint32(uint8(code[0])) << 24) | (uint32(uint8(code[1])) << 16) |
         (uint32(uint8(code[2])) << 8) | uint32(uint8(code[3]));
}

#if HOSTAPI_CHECK_LAYOUT
static_assert(sizeof(Boolean) == 1, "Boolean is one byte");
static_assert(sizeof(Point) == 4 && offsetof(Point, h) == 2, "Point is v, h");
static_assert(sizeof(Rect) == 8 && offsetof(Rect, right) == 6, "Rect is four int16");
static_assert(sizeof(RGBColor) == 6, "RGBColor is three uint16");
static_assert(sizeof(VRect) == 16, "VRect is four int32");
static_assert(sizeof(PlugInMonitor) == 40 && offsetof(PlugInMonitor, ambient) == 36,
              "PlugInMonitor is ten Fixed");
static_assert(sizeof(PlatformData) == HOSTAPI_OFFSET(4, 8), "PlatformData holds one window handle");
#endif
