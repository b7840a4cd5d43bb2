// Handle memory: every block that outlives one call (the two global records, colour caches,
// image plane pixels) is a handle, locked to get an address and unlocked when done.
// With usable host handle services (HandleProcs version 1, at least 7 procs, new/dispose/
// getSize/setSize present) the host's procs are used; otherwise the module's own fallback
// handles built on global memory. The choice is made afresh for every operation and depends
// only on `procs`, so it is the same for every handle of a run.
// newHandle returns nullptr when memory is exhausted; lockHandle returns nullptr on failure.
// Handles are zero-filled when created by the fallback.
#pragma once

#include "hostapi/types.h"

struct HandleProcs;

Handle newHandle(HandleProcs* procs, int32 size);
void disposeHandle(HandleProcs* procs, Handle handle);
void* lockHandle(HandleProcs* procs, Handle handle);
void unlockHandle(HandleProcs* procs, Handle handle);
