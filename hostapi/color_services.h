// Single-colour services of the host: one call converts, samples or picks one colour.
// The caller owns the ColorServicesInfo, sets infoSize to its size and the reserved pointers to
// null (hosts refuse the call otherwise); components are in and out in colorComponents.
#pragma once

#include "hostapi/types.h"

struct ColorServicesInfo {
  int32 infoSize;
  int16 selector;
  int16 sourceSpace;
  int16 resultSpace;
  Boolean resultGamutInfoValid;
  Boolean resultInGamut;
  void* reservedSourceSpaceInfo;
  void* reservedResultSpaceInfo;
  int16 colorComponents[4];
  void* reserved;
  union {
    Str255* pickerPrompt;
    Point* globalSamplePoint;
    int32 specialColorID;
  } selectorParameter;
};

typedef OSErr(HOSTAPI_CALL* ColorServicesProc)(ColorServicesInfo* info);

#if HOSTAPI_CHECK_LAYOUT
static_assert(offsetof(ColorServicesInfo, selector) == 4, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, sourceSpace) == 6, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, resultSpace) == 8, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, resultGamutInfoValid) == 10, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, resultInGamut) == 11, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == HOSTAPI_OFFSET(12, 16),
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, reservedResultSpaceInfo) == HOSTAPI_OFFSET(16, 24),
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, colorComponents) == HOSTAPI_OFFSET(20, 32),
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, reserved) == HOSTAPI_OFFSET(28, 40),
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, selectorParameter) == HOSTAPI_OFFSET(32, 48),
              "ColorServicesInfo layout");
// Hosts refuse every infoSize but this one: 36 on i686, 56 on x86-64.
static_assert(sizeof(ColorServicesInfo) == HOSTAPI_OFFSET(36, 56), "ColorServicesInfo layout");
#endif
