// The smaller service suites a FilterRecord may point at: buffers, resources, properties, image
// services and channel ports, with the records their procedures take. Every suite opens with its
// version and the number of procedures that follow; a module checks both, and each procedure for
// null, before calling. Buffers and handles returned by these procedures belong to the host.
#pragma once

#include "hostapi/types.h"

typedef struct OpaqueBufferID* BufferID;
typedef struct OpaqueChannelReadPort* ChannelReadPort;
typedef struct OpaqueChannelWritePort* ChannelWritePort;

typedef OSErr(HOSTAPI_CALL* AllocateBufferProc)(int32 size, BufferID* bufferID);
typedef Ptr(HOSTAPI_CALL* LockBufferProc)(BufferID bufferID, Boolean moveHigh);
typedef void(HOSTAPI_CALL* UnlockBufferProc)(BufferID bufferID);
typedef void(HOSTAPI_CALL* FreeBufferProc)(BufferID bufferID);
typedef int32(HOSTAPI_CALL* BufferSpaceProc)(void);

struct BufferProcs {
  int16 bufferProcsVersion;
  int16 numBufferProcs;
  AllocateBufferProc allocateProc;
  LockBufferProc lockProc;
  UnlockBufferProc unlockProc;
  FreeBufferProc freeProc;
  BufferSpaceProc spaceProc;
};

typedef int16(HOSTAPI_CALL* CountPIResourcesProc)(ResType type);
typedef Handle(HOSTAPI_CALL* GetPIResourceProc)(ResType type, int16 index);
typedef void(HOSTAPI_CALL* DeletePIResourceProc)(ResType type, int16 index);
typedef OSErr(HOSTAPI_CALL* AddPIResourceProc)(ResType type, Handle data);

struct ResourceProcs {
  int16 resourceProcsVersion;
  int16 numResourceProcs;
  CountPIResourcesProc countProc;
  GetPIResourceProc getProc;
  DeletePIResourceProc deleteProc;
  AddPIResourceProc addProc;
};

typedef OSErr(HOSTAPI_CALL* GetPropertyProc)(PIType signature, PIType key, int32 index,
                                             intptr_t* simpleProperty, Handle* complexProperty);
typedef OSErr(HOSTAPI_CALL* SetPropertyProc)(PIType signature, PIType key, int32 index,
                                             intptr_t simpleProperty, Handle complexProperty);

struct PropertyProcs {
  int16 propertyProcsVersion;
  int16 numPropertyProcs;
  GetPropertyProc getPropertyProc;
  SetPropertyProc setPropertyProc;
};

// One plane of pixels for the interpolation services; bounds use the Rect convention.
struct PSImagePlane {
  void* data;
  Rect bounds;
  int32 rowBytes;
  int32 colBytes;
};

typedef OSErr(HOSTAPI_CALL* PIResampleProc)(PSImagePlane* source, PSImagePlane* destination,
                                            Rect* area, Fixed* coords, int16 method);

struct ImageServicesProcs {
  int16 imageServicesProcsVersion;
  int16 numImageServicesProcs;
  PIResampleProc interpolate1DProc;
  PIResampleProc interpolate2DProc;
};

// Pixel memory for channel ports; rowBits and colBits are in bits, not bytes.
struct PixelMemoryDesc {
  void* data;
  int32 rowBits;
  int32 colBits;
  int32 bitOffset;
  int32 depth;
};

struct PSScaling {
  VRect sourceRect;
  VRect destinationRect;
};

typedef OSErr(HOSTAPI_CALL* ReadPixelsProc)(ChannelReadPort port, const PSScaling* scaling,
                                            const VRect* writeRect,
                                            const PixelMemoryDesc* destination, VRect* wroteRect);
typedef OSErr(HOSTAPI_CALL* WriteBasePixelsProc)(ChannelWritePort port, const VRect* writeRect,
                                                 const PixelMemoryDesc* source);
typedef OSErr(HOSTAPI_CALL* ReadPortForWritePortProc)(ChannelReadPort* readPort,
                                                      ChannelWritePort writePort);

struct ChannelPortProcs {
  int16 channelPortProcsVersion;
  int16 numChannelPortProcs;
  ReadPixelsProc readPixelsProc;
  WriteBasePixelsProc writeBasePixelsProc;
  ReadPortForWritePortProc readPortForWritePortProc;
};

// One channel of the document as the channel ports describe it (version 0 fields).
struct ReadChannelDesc {
  int32 minVersion;
  int32 maxVersion;
  ReadChannelDesc* next;
  ChannelReadPort port;
  VRect bounds;
  int32 depth;
  VPoint tileSize;
  VPoint tileOrigin;
  Boolean target;
  Boolean shown;
  int16 channelType;
  void* contextInfo;
  const char* name;
};

// The whole document for channel-port access (version 0 fields).
struct ReadImageDocumentDesc {
  int32 minVersion;
  int32 maxVersion;
  int32 imageMode;
  int32 depth;
  VRect bounds;
  Fixed hResolution;
  Fixed vResolution;
  LookUpTable redLUT;
  LookUpTable greenLUT;
  LookUpTable blueLUT;
  ReadChannelDesc* targetCompositeChannels;
  ReadChannelDesc* targetTransparency;
  ReadChannelDesc* targetLayerMask;
  ReadChannelDesc* mergedCompositeChannels;
  ReadChannelDesc* mergedTransparency;
  ReadChannelDesc* alphaChannels;
  ReadChannelDesc* selection;
};

#if HOSTAPI_CHECK_LAYOUT
static_assert(sizeof(BufferProcs) == HOSTAPI_OFFSET(24, 48) &&
                  offsetof(BufferProcs, spaceProc) == HOSTAPI_OFFSET(20, 40),
              "BufferProcs layout");
static_assert(sizeof(ResourceProcs) == HOSTAPI_OFFSET(20, 40) &&
                  offsetof(ResourceProcs, addProc) == HOSTAPI_OFFSET(16, 32),
              "ResourceProcs layout");
static_assert(sizeof(PropertyProcs) == HOSTAPI_OFFSET(12, 24) &&
                  offsetof(PropertyProcs, setPropertyProc) == HOSTAPI_OFFSET(8, 16),
              "PropertyProcs layout");
static_assert(offsetof(ImageServicesProcs, interpolate2DProc) == HOSTAPI_OFFSET(8, 16),
              "ImageServicesProcs layout");
static_assert(sizeof(ChannelPortProcs) == HOSTAPI_OFFSET(16, 32) &&
                  offsetof(ChannelPortProcs, readPortForWritePortProc) == HOSTAPI_OFFSET(12, 24),
              "ChannelPortProcs layout");
static_assert(sizeof(PSImagePlane) == HOSTAPI_OFFSET(20, 24) &&
                  offsetof(PSImagePlane, bounds) == HOSTAPI_OFFSET(4, 8) &&
                  offsetof(PSImagePlane, rowBytes) == HOSTAPI_OFFSET(12, 16) &&
                  offsetof(PSImagePlane, colBytes) == HOSTAPI_OFFSET(16, 20),
              "PSImagePlane layout");
static_assert(sizeof(PixelMemoryDesc) == HOSTAPI_OFFSET(20, 24) &&
                  offsetof(PixelMemoryDesc, depth) == HOSTAPI_OFFSET(16, 20),
              "PixelMemoryDesc layout");
static_assert(sizeof(PSScaling) == 32 && offsetof(PSScaling, destinationRect) == 16,
              "PSScaling layout");
static_assert(offsetof(ReadChannelDesc, next) == 8 &&
                  offsetof(ReadChannelDesc, port) == HOSTAPI_OFFSET(12, 16) &&
                  offsetof(ReadChannelDesc, bounds) == HOSTAPI_OFFSET(16, 24) &&
                  offsetof(ReadChannelDesc, depth) == HOSTAPI_OFFSET(32, 40) &&
                  offsetof(ReadChannelDesc, tileSize) == HOSTAPI_OFFSET(36, 44) &&
                  offsetof(ReadChannelDesc, tileOrigin) == HOSTAPI_OFFSET(44, 52) &&
                  offsetof(ReadChannelDesc, target) == HOSTAPI_OFFSET(52, 60) &&
                  offsetof(ReadChannelDesc, shown) == HOSTAPI_OFFSET(53, 61) &&
                  offsetof(ReadChannelDesc, channelType) == HOSTAPI_OFFSET(54, 62) &&
                  offsetof(ReadChannelDesc, contextInfo) == HOSTAPI_OFFSET(56, 64) &&
                  offsetof(ReadChannelDesc, name) == HOSTAPI_OFFSET(60, 72) &&
                  sizeof(ReadChannelDesc) == HOSTAPI_OFFSET(64, 80),
              "ReadChannelDesc layout");
static_assert(offsetof(ReadImageDocumentDesc, imageMode) == 8 &&
                  offsetof(ReadImageDocumentDesc, depth) == 12 &&
                  offsetof(ReadImageDocumentDesc, bounds) == 16 &&
                  offsetof(ReadImageDocumentDesc, hResolution) == 32 &&
                  offsetof(ReadImageDocumentDesc, vResolution) == 36 &&
                  offsetof(ReadImageDocumentDesc, redLUT) == 40 &&
                  offsetof(ReadImageDocumentDesc, greenLUT) == 296 &&
                  offsetof(ReadImageDocumentDesc, blueLUT) == 552 &&
                  offsetof(ReadImageDocumentDesc, targetCompositeChannels) == 808 &&
                  offsetof(ReadImageDocumentDesc, targetTransparency) == HOSTAPI_OFFSET(812, 816) &&
                  offsetof(ReadImageDocumentDesc, targetLayerMask) == HOSTAPI_OFFSET(816, 824) &&
                  offsetof(ReadImageDocumentDesc, mergedCompositeChannels) ==
                      HOSTAPI_OFFSET(820, 832) &&
                  offsetof(ReadImageDocumentDesc, mergedTransparency) == HOSTAPI_OFFSET(824, 840) &&
                  offsetof(ReadImageDocumentDesc, alphaChannels) == HOSTAPI_OFFSET(828, 848) &&
                  offsetof(ReadImageDocumentDesc, selection) == HOSTAPI_OFFSET(832, 856) &&
                  sizeof(ReadImageDocumentDesc) == HOSTAPI_OFFSET(836, 864),
              "ReadImageDocumentDesc layout");
#endif
