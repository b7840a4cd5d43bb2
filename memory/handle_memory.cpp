// Handle memory: host handle services when the host offers a complete set, otherwise our own
// handles on global memory. An own handle is a two-word block whose first word holds the
// address of a separate data block; both are zero-filled and stay locked from creation to
// disposal, so *handle is always the data, as hosts also arrange for theirs.
#include "memory/handle_memory.h"

#include "hostapi/handle_procs.h"
#include "platform/win32.h"

namespace {

// Beyond the procedures the module calls, a host that leaves out getSize or setSize, or whose
// suite is of another version, is not trusted with our records. A suite without lock or unlock
// would leave us no way to reach the data, so it counts as missing as well.
bool hostServicesUsable(const HandleProcs* procs) {
  return procs != nullptr && procs->handleProcsVersion == kCurrentHandleProcsVersion &&
         procs->numHandleProcs >= kHandleProcsCount40 && procs->newProc != nullptr &&
         procs->disposeProc != nullptr && procs->getSizeProc != nullptr &&
         procs->setSizeProc != nullptr && procs->lockProc != nullptr &&
         procs->unlockProc != nullptr;
}

constexpr SIZE_T kMasterBlockSize = 2 * sizeof(void*);

// Allocates a zero-filled moveable block and locks it for good; null if either step fails.
void* allocateLocked(SIZE_T size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (block == nullptr) {
    return nullptr;
  }
  void* address = GlobalLock(block);
  if (address == nullptr) {
    GlobalFree(block);
  }
  return address;
}

void freeLocked(void* address) {
  HGLOBAL block = GlobalHandle(address);
  GlobalUnlock(block);
  GlobalFree(block);
}

Handle newOwnHandle(int32 size) {
  void** master = static_cast<void**>(allocateLocked(kMasterBlockSize));
  if (master == nullptr) {
    return nullptr;
  }
  // A zero-byte request still gets a block of its own: a locked moveable block of size 0 has
  // no address, and the handle must always lead somewhere.
  master[0] = allocateLocked(size > 0 ? SIZE_T(size) : 1);
  if (master[0] == nullptr) {
    freeLocked(master);
    return nullptr;
  }
  return reinterpret_cast<Handle>(master);
}

void disposeOwnHandle(Handle handle) {
  void** master = reinterpret_cast<void**>(handle);
  if (master[0] != nullptr) {
    freeLocked(master[0]);
  }
  freeLocked(master);
}

}  // namespace

Handle newHandle(HandleProcs* procs, int32 size) {
  if (size < 0) {
    return nullptr;
  }
  if (hostServicesUsable(procs)) {
    return procs->newProc(size);
  }
  return newOwnHandle(size);
}

void disposeHandle(HandleProcs* procs, Handle handle) {
  if (handle == nullptr) {
    return;
  }
  if (hostServicesUsable(procs)) {
    procs->disposeProc(handle);
  } else {
    disposeOwnHandle(handle);
  }
}

void* lockHandle(HandleProcs* procs, Handle handle) {
  if (handle == nullptr) {
    return nullptr;
  }
  if (hostServicesUsable(procs)) {
    return procs->lockProc(handle, 1);
  }
  return *handle;
}

void unlockHandle(HandleProcs* procs, Handle handle) {
  if (handle != nullptr && hostServicesUsable(procs)) {
    procs->unlockProc(handle);
  }
}
