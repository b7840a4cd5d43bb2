// Pixel maps the module hands to the host's displayPixels. The module owns the map and its
// pixels for the duration of the call; bounds use the VRect convention (bottom and right
// exclusive); pixel (row, col) is at baseAddr + row*rowBytes + col*colBytes, planes planeBytes
// apart. Version 1 adds the matte and masks.
#pragma once

#include "hostapi/types.h"

constexpr int32 kSimplePSMask = 0;
constexpr int32 kBlackMatPSMask = 1;
constexpr int32 kGrayMatPSMask = 2;
constexpr int32 kWhiteMatPSMask = 3;
constexpr int32 kInvertPSMask = 4;

struct PSPixelMask {
  PSPixelMask* next;
  void* maskData;
  int32 rowBytes;
  int32 colBytes;
  int32 maskDescription;
};

struct PSPixelMap {
  int32 version;
  VRect bounds;
  int32 imageMode;
  int32 rowBytes;
  int32 colBytes;
  int32 planeBytes;
  void* baseAddr;
  PSPixelMask* mat;
  PSPixelMask* masks;
  int32 maskPhaseRow;
  int32 maskPhaseCol;
};

// platformContext is the device context to draw into (an HDC on Windows).
typedef OSErr(HOSTAPI_CALL* DisplayPixelsProc)(const PSPixelMap* source, const VRect* srcRect,
                                               int32 dstRow, int32 dstCol, void* platformContext);

#if HOSTAPI_CHECK_LAYOUT
static_assert(offsetof(PSPixelMask, maskData) == HOSTAPI_OFFSET(4, 8) &&
                  offsetof(PSPixelMask, rowBytes) == HOSTAPI_OFFSET(8, 16) &&
                  offsetof(PSPixelMask, colBytes) == HOSTAPI_OFFSET(12, 20) &&
                  offsetof(PSPixelMask, maskDescription) == HOSTAPI_OFFSET(16, 24) &&
                  sizeof(PSPixelMask) == HOSTAPI_OFFSET(20, 32),
              "PSPixelMask layout");
static_assert(offsetof(PSPixelMap, bounds) == 4 && offsetof(PSPixelMap, imageMode) == 20 &&
                  offsetof(PSPixelMap, rowBytes) == 24 && offsetof(PSPixelMap, colBytes) == 28 &&
                  offsetof(PSPixelMap, planeBytes) == 32 &&
                  offsetof(PSPixelMap, baseAddr) == HOSTAPI_OFFSET(36, 40) &&
                  offsetof(PSPixelMap, mat) == HOSTAPI_OFFSET(40, 48) &&
                  offsetof(PSPixelMap, masks) == HOSTAPI_OFFSET(44, 56) &&
                  offsetof(PSPixelMap, maskPhaseRow) == HOSTAPI_OFFSET(48, 64) &&
                  offsetof(PSPixelMap, maskPhaseCol) == HOSTAPI_OFFSET(52, 68) &&
                  sizeof(PSPixelMap) == HOSTAPI_OFFSET(56, 72),
              "PSPixelMap layout");
#endif
