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
static_assert(sizeof(BufferProcs) == 24 && offsetof(BufferProcs, spaceProc) == 20,
              "BufferProcs layout");
static_assert(sizeof(ResourceProcs) == 20 && offsetof(ResourceProcs, addProc) == 16,
              "ResourceProcs layout");
static_assert(sizeof(PropertyProcs) == 12 && offsetof(PropertyProcs, setPropertyProc) == 8,
              "PropertyProcs layout");
static_assert(offsetof(ImageServicesProcs, interpolate2DProc) == 8, "ImageServicesProcs layout");
static_assert(sizeof(ChannelPortProcs) == 16 &&
                  offsetof(ChannelPortProcs, readPortForWritePortProc) == 12,
              "ChannelPortProcs layout");
static_assert(sizeof(PSImagePlane) == 20 && offsetof(PSImagePlane, bounds) == 4 &&
                  offsetof(PSImagePlane, rowBytes) == 12 && offsetof(PSImagePlane, colBytes) == 16,
              "PSImagePlane layout");
static_assert(sizeof(PixelMemoryDesc) == 20 && offsetof(PixelMemoryDesc, depth) == 16,
              "PixelMemoryDesc layout");
static_assert(sizeof(PSScaling) == 32 && offsetof(PSScaling, destinationRect) == 16,
              "PSScaling layout");
static_assert(offsetof(ReadChannelDesc, next) == 8 && offsetof(ReadChannelDesc, port) == 12 &&
                  offsetof(ReadChannelDesc, bounds) == 16 && offsetof(ReadChannelDesc, depth) == 32 &&
                  offsetof(ReadChannelDesc, tileSize) == 36 &&
                  offsetof(ReadChannelDesc, tileOrigin) == 44 &&
                  offsetof(ReadChannelDesc, target) == 52 && offsetof(ReadChannelDesc, shown) == 53 &&
                  offsetof(ReadChannelDesc, channelType) == 54 &&
                  offsetof(ReadChannelDesc, contextInfo) == 56 &&
                  offsetof(ReadChannelDesc, name) == 60 && sizeof(ReadChannelDesc) == 64,
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
                  offsetof(ReadImageDocumentDesc, targetTransparency) == 812 &&
                  offsetof(ReadImageDocumentDesc, targetLayerMask) == 816 &&
                  offsetof(ReadImageDocumentDesc, mergedCompositeChannels) == 820 &&
                  offsetof(ReadImageDocumentDesc, mergedTransparency) == 824 &&
                  offsetof(ReadImageDocumentDesc, alphaChannels) == 828 &&
                  offsetof(ReadImageDocumentDesc, selection) == 832 &&
                  sizeof(ReadImageDocumentDesc) == 836,
              "ReadImageDocumentDesc layout");
#endif
