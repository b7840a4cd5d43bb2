// The FilterRecord: the host's parameter block for selectors 1..5, laid out as a 4.0 host lays it
// out (452 bytes on i686, 544 on x86-64). The host owns the record and keeps it at one address
// for a whole run; the module owns only what it stores in `parameters`. Rectangles are top,
// left, bottom, right with bottom and right exclusive; inData/outData hold rows of interleaved
// planes inLoPlane..inHiPlane, inRowBytes/outRowBytes apart.
#pragma once

#include "hostapi/color_services.h"
#include "hostapi/descriptors.h"
#include "hostapi/handle_procs.h"
#include "hostapi/host_suites.h"
#include "hostapi/pixel_map.h"
#include "hostapi/types.h"

typedef Boolean(HOSTAPI_CALL* TestAbortProc)(void);
typedef void(HOSTAPI_CALL* ProgressProc)(int32 done, int32 total);
typedef void(HOSTAPI_CALL* HostProc)(int16 selector, intptr_t* data);
typedef int32(HOSTAPI_CALL* SpaceProc)(void);
typedef void(HOSTAPI_CALL* ProcessEventProc)(void* event);
typedef OSErr(HOSTAPI_CALL* AdvanceStateProc)(void);
typedef OSErr(HOSTAPI_CALL* GetPropertyObsoleteProc)(PIType signature, PIType key, int32 index,
                                                     intptr_t* simpleProperty,
                                                     Handle* complexProperty);

// Windows hosts pack the record to 4 bytes, the 64-bit ones too: there each 8-byte pointer sits
// wherever the previous field ends, often on a 4-byte boundary (abortProc at 4, outData at 100).
// The native build uses the same layout so its tests and sanitizers see the record a 64-bit host
// passes. Code reads and writes such fields by value only; a pointer to one of them would be
// misaligned. The pack must be a literal: GCC takes `push, NAME` as a label and silently leaves the
// packing as it was.
#pragma pack(push, 4)
struct FilterRecord {
  int32 serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  Handle parameters;
  Point imageSize;
  int16 planes;
  Rect filterRect;
  RGBColor background;
  RGBColor foreground;
  int32 maxSpace;
  int32 bufferSpace;
  Rect inRect;
  int16 inLoPlane;
  int16 inHiPlane;
  Rect outRect;
  int16 outLoPlane;
  int16 outHiPlane;
  void* inData;
  int32 inRowBytes;
  void* outData;
  int32 outRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  Rect maskRect;
  void* maskData;
  int32 maskRowBytes;
  FilterColor backColor;
  FilterColor foreColor;
  OSType hostSig;
  HostProc hostProc;
  int16 imageMode;
  Fixed imageHRes;
  Fixed imageVRes;
  Point floatCoord;
  Point wholeSize;
  PlugInMonitor monitor;
  void* platformData;
  BufferProcs* bufferProcs;
  ResourceProcs* resourceProcs;
  ProcessEventProc processEvent;
  DisplayPixelsProc displayPixels;
  HandleProcs* handleProcs;
  Boolean supportsDummyChannels;
  Boolean supportsAlternateLayouts;
  int16 wantLayout;
  int16 filterCase;
  int16 dummyPlaneValue;
  void* premiereHook;
  AdvanceStateProc advanceState;
  Boolean supportsAbsolute;
  Boolean wantsAbsolute;
  GetPropertyObsoleteProc getPropertyObsolete;
  Boolean cannotUndo;
  Boolean supportsPadding;
  int16 inputPadding;
  int16 outputPadding;
  int16 maskPadding;
  char samplingSupport;
  char reservedByte;
  Fixed inputRate;
  Fixed maskRate;
  ColorServicesProc colorServices;
  int16 inLayerPlanes;
  int16 inTransparencyMask;
  int16 inLayerMasks;
  int16 inInvertedLayerMasks;
  int16 inNonLayerPlanes;
  int16 outLayerPlanes;
  int16 outTransparencyMask;
  int16 outLayerMasks;
  int16 outInvertedLayerMasks;
  int16 outNonLayerPlanes;
  int16 absLayerPlanes;
  int16 absTransparencyMask;
  int16 absLayerMasks;
  int16 absInvertedLayerMasks;
  int16 absNonLayerPlanes;
  int16 inPreDummyPlanes;
  int16 inPostDummyPlanes;
  int16 outPreDummyPlanes;
  int16 outPostDummyPlanes;
  int32 inColumnBytes;
  int32 inPlaneBytes;
  int32 outColumnBytes;
  int32 outPlaneBytes;
  ImageServicesProcs* imageServicesProcs;
  PropertyProcs* propertyProcs;
  int16 inTileHeight;
  int16 inTileWidth;
  Point inTileOrigin;
  int16 absTileHeight;
  int16 absTileWidth;
  Point absTileOrigin;
  int16 outTileHeight;
  int16 outTileWidth;
  Point outTileOrigin;
  int16 maskTileHeight;
  int16 maskTileWidth;
  Point maskTileOrigin;
  PIDescriptorParameters* descriptorParameters;
  Str255* errorString;
  ChannelPortProcs* channelPortProcs;
  ReadImageDocumentDesc* documentInfo;
  char reserved[78];
};
#pragma pack(pop)

#if HOSTAPI_CHECK_LAYOUT
#define HOSTAPI_FILTER_OFFSET(field, i686, x64)                             \
  static_assert(offsetof(FilterRecord, field) == HOSTAPI_OFFSET(i686, x64), \
                "FilterRecord"                                              \
                "." #field)
HOSTAPI_FILTER_OFFSET(serialNumber, 0, 0);
HOSTAPI_FILTER_OFFSET(abortProc, 4, 4);
HOSTAPI_FILTER_OFFSET(progressProc, 8, 12);
HOSTAPI_FILTER_OFFSET(parameters, 12, 20);
HOSTAPI_FILTER_OFFSET(imageSize, 16, 28);
HOSTAPI_FILTER_OFFSET(imageSize.h, 18, 30);
HOSTAPI_FILTER_OFFSET(planes, 20, 32);
HOSTAPI_FILTER_OFFSET(filterRect, 22, 34);
HOSTAPI_FILTER_OFFSET(filterRect.left, 24, 36);
HOSTAPI_FILTER_OFFSET(filterRect.bottom, 26, 38);
HOSTAPI_FILTER_OFFSET(filterRect.right, 28, 40);
HOSTAPI_FILTER_OFFSET(background, 30, 42);
HOSTAPI_FILTER_OFFSET(foreground, 36, 48);
HOSTAPI_FILTER_OFFSET(maxSpace, 44, 56);
HOSTAPI_FILTER_OFFSET(bufferSpace, 48, 60);
HOSTAPI_FILTER_OFFSET(inRect, 52, 64);
HOSTAPI_FILTER_OFFSET(inLoPlane, 60, 72);
HOSTAPI_FILTER_OFFSET(inHiPlane, 62, 74);
HOSTAPI_FILTER_OFFSET(outRect, 64, 76);
HOSTAPI_FILTER_OFFSET(outLoPlane, 72, 84);
HOSTAPI_FILTER_OFFSET(outHiPlane, 74, 86);
HOSTAPI_FILTER_OFFSET(inData, 76, 88);
HOSTAPI_FILTER_OFFSET(inRowBytes, 80, 96);
HOSTAPI_FILTER_OFFSET(outData, 84, 100);
HOSTAPI_FILTER_OFFSET(outRowBytes, 88, 108);
HOSTAPI_FILTER_OFFSET(isFloating, 92, 112);
HOSTAPI_FILTER_OFFSET(haveMask, 93, 113);
HOSTAPI_FILTER_OFFSET(autoMask, 94, 114);
HOSTAPI_FILTER_OFFSET(maskRect, 96, 116);
HOSTAPI_FILTER_OFFSET(maskData, 104, 124);
HOSTAPI_FILTER_OFFSET(maskRowBytes, 108, 132);
HOSTAPI_FILTER_OFFSET(backColor, 112, 136);
HOSTAPI_FILTER_OFFSET(foreColor, 116, 140);
HOSTAPI_FILTER_OFFSET(hostSig, 120, 144);
HOSTAPI_FILTER_OFFSET(hostProc, 124, 148);
HOSTAPI_FILTER_OFFSET(imageMode, 128, 156);
HOSTAPI_FILTER_OFFSET(imageHRes, 132, 160);
HOSTAPI_FILTER_OFFSET(imageVRes, 136, 164);
HOSTAPI_FILTER_OFFSET(floatCoord, 140, 168);
HOSTAPI_FILTER_OFFSET(wholeSize, 144, 172);
HOSTAPI_FILTER_OFFSET(monitor, 148, 176);
HOSTAPI_FILTER_OFFSET(platformData, 188, 216);
HOSTAPI_FILTER_OFFSET(bufferProcs, 192, 224);
HOSTAPI_FILTER_OFFSET(resourceProcs, 196, 232);
HOSTAPI_FILTER_OFFSET(processEvent, 200, 240);
HOSTAPI_FILTER_OFFSET(displayPixels, 204, 248);
HOSTAPI_FILTER_OFFSET(handleProcs, 208, 256);
HOSTAPI_FILTER_OFFSET(supportsDummyChannels, 212, 264);
HOSTAPI_FILTER_OFFSET(supportsAlternateLayouts, 213, 265);
HOSTAPI_FILTER_OFFSET(wantLayout, 214, 266);
HOSTAPI_FILTER_OFFSET(filterCase, 216, 268);
HOSTAPI_FILTER_OFFSET(dummyPlaneValue, 218, 270);
HOSTAPI_FILTER_OFFSET(premiereHook, 220, 272);
HOSTAPI_FILTER_OFFSET(advanceState, 224, 280);
HOSTAPI_FILTER_OFFSET(supportsAbsolute, 228, 288);
HOSTAPI_FILTER_OFFSET(wantsAbsolute, 229, 289);
HOSTAPI_FILTER_OFFSET(getPropertyObsolete, 232, 292);
HOSTAPI_FILTER_OFFSET(cannotUndo, 236, 300);
HOSTAPI_FILTER_OFFSET(supportsPadding, 237, 301);
HOSTAPI_FILTER_OFFSET(inputPadding, 238, 302);
HOSTAPI_FILTER_OFFSET(outputPadding, 240, 304);
HOSTAPI_FILTER_OFFSET(maskPadding, 242, 306);
HOSTAPI_FILTER_OFFSET(samplingSupport, 244, 308);
HOSTAPI_FILTER_OFFSET(reservedByte, 245, 309);
HOSTAPI_FILTER_OFFSET(inputRate, 248, 312);
HOSTAPI_FILTER_OFFSET(maskRate, 252, 316);
HOSTAPI_FILTER_OFFSET(colorServices, 256, 320);
HOSTAPI_FILTER_OFFSET(inLayerPlanes, 260, 328);
HOSTAPI_FILTER_OFFSET(inTransparencyMask, 262, 330);
HOSTAPI_FILTER_OFFSET(inLayerMasks, 264, 332);
HOSTAPI_FILTER_OFFSET(inInvertedLayerMasks, 266, 334);
HOSTAPI_FILTER_OFFSET(inNonLayerPlanes, 268, 336);
HOSTAPI_FILTER_OFFSET(outLayerPlanes, 270, 338);
HOSTAPI_FILTER_OFFSET(outTransparencyMask, 272, 340);
HOSTAPI_FILTER_OFFSET(outLayerMasks, 274, 342);
HOSTAPI_FILTER_OFFSET(outInvertedLayerMasks, 276, 344);
HOSTAPI_FILTER_OFFSET(outNonLayerPlanes, 278, 346);
HOSTAPI_FILTER_OFFSET(absLayerPlanes, 280, 348);
HOSTAPI_FILTER_OFFSET(absTransparencyMask, 282, 350);
HOSTAPI_FILTER_OFFSET(absLayerMasks, 284, 352);
HOSTAPI_FILTER_OFFSET(absInvertedLayerMasks, 286, 354);
HOSTAPI_FILTER_OFFSET(absNonLayerPlanes, 288, 356);
HOSTAPI_FILTER_OFFSET(inPreDummyPlanes, 290, 358);
HOSTAPI_FILTER_OFFSET(inPostDummyPlanes, 292, 360);
HOSTAPI_FILTER_OFFSET(outPreDummyPlanes, 294, 362);
HOSTAPI_FILTER_OFFSET(outPostDummyPlanes, 296, 364);
HOSTAPI_FILTER_OFFSET(inColumnBytes, 300, 368);
HOSTAPI_FILTER_OFFSET(inPlaneBytes, 304, 372);
HOSTAPI_FILTER_OFFSET(outColumnBytes, 308, 376);
HOSTAPI_FILTER_OFFSET(outPlaneBytes, 312, 380);
HOSTAPI_FILTER_OFFSET(imageServicesProcs, 316, 384);
HOSTAPI_FILTER_OFFSET(propertyProcs, 320, 392);
HOSTAPI_FILTER_OFFSET(inTileHeight, 324, 400);
HOSTAPI_FILTER_OFFSET(inTileWidth, 326, 402);
HOSTAPI_FILTER_OFFSET(inTileOrigin, 328, 404);
HOSTAPI_FILTER_OFFSET(absTileHeight, 332, 408);
HOSTAPI_FILTER_OFFSET(absTileWidth, 334, 410);
HOSTAPI_FILTER_OFFSET(absTileOrigin, 336, 412);
HOSTAPI_FILTER_OFFSET(outTileHeight, 340, 416);
HOSTAPI_FILTER_OFFSET(outTileWidth, 342, 418);
HOSTAPI_FILTER_OFFSET(outTileOrigin, 344, 420);
HOSTAPI_FILTER_OFFSET(maskTileHeight, 348, 424);
HOSTAPI_FILTER_OFFSET(maskTileWidth, 350, 426);
HOSTAPI_FILTER_OFFSET(maskTileOrigin, 352, 428);
HOSTAPI_FILTER_OFFSET(descriptorParameters, 356, 432);
HOSTAPI_FILTER_OFFSET(errorString, 360, 440);
HOSTAPI_FILTER_OFFSET(channelPortProcs, 364, 448);
HOSTAPI_FILTER_OFFSET(documentInfo, 368, 456);
HOSTAPI_FILTER_OFFSET(reserved, 372, 464);
#undef HOSTAPI_FILTER_OFFSET
static_assert(sizeof(FilterRecord) == HOSTAPI_OFFSET(452, 544), "FilterRecord size");
#endif
