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
static_assert(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == 12,
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, reservedResultSpaceInfo) == 16,
              "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, colorComponents) == 20, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, reserved) == 28, "ColorServicesInfo layout");
static_assert(offsetof(ColorServicesInfo, selectorParameter) == 32, "ColorServicesInfo layout");
static_assert(sizeof(ColorServicesInfo) == 36, "ColorServicesInfo layout");
#endif
