// The host's handle services, offered to the module through FilterRecord.handleProcs. A handle
// points at a host-owned block whose first word is the data address, so *handle is the data and
// never moves while the handle lives. New handles are filled with 0xA5, not zero: a module that
// relies on zero-filled host memory shows it at once. Lock and unlock are counted per handle so
// that a test can check every lock was released.
//
// The procedures are plain C callbacks without a context word, so one HandleServices object at
// a time is the active one (the host runs one module call at a time on one thread).
// Switches for tests: make the Nth allocation fail, offer another version or fewer procedures,
// leave out lock/unlock, or offer no handle services at all.
#pragma once

#include <map>

#include "hostapi/handle_procs.h"
#include "hostapp/row_memory.h"

struct HandleOptions {
  int failAllocation = 0;  // 1-based number of the newProc call that fails; 0: none fails
  int16 version = kCurrentHandleProcsVersion;
  int16 count = kHandleProcsCount50;
  bool withLockAndUnlock = true;
  bool offered = true;  // false: FilterRecord.handleProcs is null
};

class HandleServices {
 public:
  explicit HandleServices(const HandleOptions& options = HandleOptions());
  ~HandleServices();
  HandleServices(const HandleServices&) = delete;
  HandleServices& operator=(const HandleServices&) = delete;

  // What goes into FilterRecord.handleProcs: null when the services are not offered.
  HandleProcs* procs();

  void setOptions(const HandleOptions& options);
  int allocations() const { return allocations_; }  // newProc calls, failed ones included
  int liveHandles() const { return int(blocks_.size()); }
  int lockedHandles() const;
  bool owns(Handle handle) const;
  int32 sizeOf(Handle handle) const;

 private:
  struct Block;
  static HandleServices* active_;
  static HandleServices& active();
  static Handle HOSTAPI_CALL newHandle(int32 size);
  static void HOSTAPI_CALL disposeHandle(Handle handle);
  static int32 HOSTAPI_CALL getSize(Handle handle);
  static OSErr HOSTAPI_CALL setSize(Handle handle, int32 newSize);
  static Ptr HOSTAPI_CALL lock(Handle handle, Boolean moveHigh);
  static void HOSTAPI_CALL unlock(Handle handle);
  static void HOSTAPI_CALL recoverSpace(int32 size);
  Block* find(Handle handle);
  const Block* find(Handle handle) const;

  // Blocks of disposed handles, kept for the next handles of about their size: the module makes
  // and disposes of its working planes for every tile, and fresh memory costs a page fault for
  // every page it touches, which took more time than the filter's arithmetic on a CMYK picture.
  // Blocks come as RowMemory, so the large ones (the planes, the colour caches) lie in huge pages
  // where the system offers them, which spares the processor's page-table walks too. Small
  // blocks come cheaply from the allocator and are not kept.
  SpareBlocks spares_{size_t(64) << 20, size_t(64) << 10};

  HandleOptions options_;
  HandleProcs procs_ = {};
  std::map<Handle, Block*> blocks_;
  int allocations_ = 0;
};
