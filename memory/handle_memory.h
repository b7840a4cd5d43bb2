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

// The handle services of the current call as a small value, for code that needs memory and
// nothing else of the host: the host's procs, or null for the module's own handles. Copies
// share the same services.
class HandleMemory {
 public:
  HandleMemory() = default;
  explicit HandleMemory(HandleProcs* procs) : procs_(procs) {}

  Handle allocate(int32 size) const { return newHandle(procs_, size); }
  void dispose(Handle handle) const { disposeHandle(procs_, handle); }
  void* lock(Handle handle) const { return lockHandle(procs_, handle); }
  void unlock(Handle handle) const { unlockHandle(procs_, handle); }
  HandleProcs* procs() const { return procs_; }

 private:
  HandleProcs* procs_ = nullptr;
};
