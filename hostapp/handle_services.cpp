#include "hostapp/handle_services.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "hostapi/constants.h"

namespace {
constexpr unsigned char kFreshHandleFill = 0xA5;
}

// The data pointer comes first so that a pointer to the block is the handle itself.
struct HandleServices::Block {
  char* data;
  int32 size;
  int locks;
  RowMemory memory;  // holds data; at least size bytes
};

HandleServices* HandleServices::active_ = nullptr;

HandleServices::HandleServices(const HandleOptions& options) {
  setOptions(options);
  active_ = this;
}

HandleServices::~HandleServices() {
  for (auto& entry : blocks_) delete entry.second;
  if (active_ == this) {
    active_ = nullptr;
  }
}

HandleServices& HandleServices::active() { return *active_; }

void HandleServices::setOptions(const HandleOptions& options) {
  options_ = options;
  procs_ = HandleProcs{};
  procs_.handleProcsVersion = options.version;
  procs_.numHandleProcs = options.count;
  procs_.newProc = newHandle;
  procs_.disposeProc = disposeHandle;
  procs_.getSizeProc = getSize;
  procs_.setSizeProc = setSize;
  procs_.lockProc = options.withLockAndUnlock ? lock : nullptr;
  procs_.unlockProc = options.withLockAndUnlock ? unlock : nullptr;
  procs_.recoverSpaceProc = recoverSpace;
  procs_.disposeRegularHandleProc = options.count >= kHandleProcsCount50 ? disposeHandle : nullptr;
}

HandleProcs* HandleServices::procs() { return options_.offered ? &procs_ : nullptr; }

int HandleServices::lockedHandles() const {
  int locked = 0;
  for (const auto& entry : blocks_) {
    locked += entry.second->locks > 0 ? 1 : 0;
  }
  return locked;
}

bool HandleServices::owns(Handle handle) const { return find(handle) != nullptr; }

int32 HandleServices::sizeOf(Handle handle) const {
  const Block* block = find(handle);
  return block != nullptr ? block->size : -1;
}

HandleServices::Block* HandleServices::find(Handle handle) {
  auto entry = blocks_.find(handle);
  return entry != blocks_.end() ? entry->second : nullptr;
}

const HandleServices::Block* HandleServices::find(Handle handle) const {
  auto entry = blocks_.find(handle);
  return entry != blocks_.end() ? entry->second : nullptr;
}

Handle HOSTAPI_CALL HandleServices::newHandle(int32 size) {
  HandleServices& self = active();
  self.allocations_++;
  if (size < 0 || self.allocations_ == self.options_.failAllocation) {
    return nullptr;
  }
  RowMemory memory;
  try {
    memory = self.spares_.take(size > 0 ? size_t(size) : 1);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  char* data = reinterpret_cast<char*>(memory.data());
  std::memset(data, kFreshHandleFill, size_t(size));
  Block* block = new Block{data, size, 0, std::move(memory)};
  Handle handle = reinterpret_cast<Handle>(block);
  self.blocks_[handle] = block;
  return handle;
}

void HOSTAPI_CALL HandleServices::disposeHandle(Handle handle) {
  HandleServices& self = active();
  Block* block = self.find(handle);
  if (block == nullptr) {
    return;
  }
  self.spares_.giveBack(std::move(block->memory));
  delete block;
  self.blocks_.erase(handle);
}

int32 HOSTAPI_CALL HandleServices::getSize(Handle handle) { return active().sizeOf(handle); }

// Resizing moves the data; the module is told where it went through *handle, which is why a
// handle must be locked again after a resize.
OSErr HOSTAPI_CALL HandleServices::setSize(Handle handle, int32 newSize) {
  Block* block = active().find(handle);
  if (block == nullptr) {
    return nilHandleErr;
  }
  if (newSize < 0 || block->locks > 0) {
    return paramErr;
  }
  // Resized into a new block: the data moves, as the module must expect of a resize.
  const size_t bytes = newSize > 0 ? size_t(newSize) : 1;
  RowMemory memory;
  try {
    RowMemory(bytes).swap(memory);
  } catch (const std::bad_alloc&) {
    return memFullErr;
  }
  char* data = reinterpret_cast<char*>(memory.data());
  std::memcpy(data, block->data, size_t(std::min(newSize, block->size)));
  if (newSize > block->size) {
    std::memset(data + block->size, kFreshHandleFill, size_t(newSize - block->size));
  }
  block->memory.swap(memory);
  block->data = data;
  block->size = newSize;
  return noErr;
}

Ptr HOSTAPI_CALL HandleServices::lock(Handle handle, Boolean) {
  Block* block = active().find(handle);
  if (block == nullptr) {
    return nullptr;
  }
  block->locks++;
  return block->data;
}

void HOSTAPI_CALL HandleServices::unlock(Handle handle) {
  Block* block = active().find(handle);
  if (block != nullptr && block->locks > 0) {
    block->locks--;
  }
}

void HOSTAPI_CALL HandleServices::recoverSpace(int32) {}
