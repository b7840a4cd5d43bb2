// The host's handle services. A 4.0 host offers seven procedures; later hosts add
// disposeRegularHandleProc, which a module may call only when numHandleProcs says it is there.
// The host owns every handle it returns; *handle is the data while the handle is locked.
#pragma once

#include "hostapi/types.h"

typedef Handle(HOSTAPI_CALL* NewPIHandleProc)(int32 size);
typedef void(HOSTAPI_CALL* DisposePIHandleProc)(Handle handle);
typedef int32(HOSTAPI_CALL* GetPIHandleSizeProc)(Handle handle);
typedef OSErr(HOSTAPI_CALL* SetPIHandleSizeProc)(Handle handle, int32 newSize);
typedef Ptr(HOSTAPI_CALL* LockPIHandleProc)(Handle handle, Boolean moveHigh);
typedef void(HOSTAPI_CALL* UnlockPIHandleProc)(Handle handle);
typedef void(HOSTAPI_CALL* RecoverSpaceProc)(int32 size);
typedef void(HOSTAPI_CALL* DisposeRegularHandleProc)(Handle handle);

constexpr int16 kCurrentHandleProcsVersion = 1;
// Procedures in a 4.0 HandleProcs, and in one that also has disposeRegularHandleProc.
constexpr int16 kHandleProcsCount40 = 7;
constexpr int16 kHandleProcsCount50 = 8;

struct HandleProcs {
  int16 handleProcsVersion;
  int16 numHandleProcs;
  NewPIHandleProc newProc;
  DisposePIHandleProc disposeProc;
  GetPIHandleSizeProc getSizeProc;
  SetPIHandleSizeProc setSizeProc;
  LockPIHandleProc lockProc;
  UnlockPIHandleProc unlockProc;
  RecoverSpaceProc recoverSpaceProc;
  DisposeRegularHandleProc disposeRegularHandleProc;
};

#if HOSTAPI_CHECK_LAYOUT
static_assert(offsetof(HandleProcs, numHandleProcs) == 2, "HandleProcs layout");
static_assert(offsetof(HandleProcs, newProc) == HOSTAPI_OFFSET(4, 8), "HandleProcs layout");
static_assert(offsetof(HandleProcs, disposeProc) == HOSTAPI_OFFSET(8, 16), "HandleProcs layout");
static_assert(offsetof(HandleProcs, getSizeProc) == HOSTAPI_OFFSET(12, 24), "HandleProcs layout");
static_assert(offsetof(HandleProcs, setSizeProc) == HOSTAPI_OFFSET(16, 32), "HandleProcs layout");
static_assert(offsetof(HandleProcs, lockProc) == HOSTAPI_OFFSET(20, 40), "HandleProcs layout");
static_assert(offsetof(HandleProcs, unlockProc) == HOSTAPI_OFFSET(24, 48), "HandleProcs layout");
static_assert(offsetof(HandleProcs, recoverSpaceProc) == HOSTAPI_OFFSET(28, 56),
              "HandleProcs layout");
static_assert(offsetof(HandleProcs, disposeRegularHandleProc) == HOSTAPI_OFFSET(32, 64),
              "HandleProcs layout");
static_assert(sizeof(HandleProcs) == HOSTAPI_OFFSET(36, 72), "HandleProcs layout");
#endif
