// Scratch memory for one blur call, held in a handle of the host's memory services (or our own
// fallback) like every other large block of the module. The buffer is locked from creation to
// destruction; data() is null when the memory could not be had, and the caller gives up.
#pragma once

#include <cstddef>

#include "memory/handle_memory.h"

class ScratchBuffer {
 public:
  ScratchBuffer(HandleMemory memory, size_t bytes);
  ~ScratchBuffer();
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  template <typename T>
  T* as() const {
    return static_cast<T*>(data_);
  }
  bool ok() const { return data_ != nullptr; }

 private:
  HandleMemory memory_;
  Handle handle_ = nullptr;
  void* data_ = nullptr;
};
