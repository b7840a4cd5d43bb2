// Handle-backed scratch memory for the blurs.
#include "engine/scratch_buffer.h"

#include <cstdint>

ScratchBuffer::ScratchBuffer(HandleMemory memory, size_t bytes) : memory_(memory) {
  // Sixteen spare bytes let the vector loops read a little past their last sample.
  size_t padded = bytes + 16;
  if (padded > size_t(INT32_MAX)) return;
  handle_ = memory_.allocate(int32(padded));
  if (handle_ != nullptr) data_ = memory_.lock(handle_);
}

ScratchBuffer::~ScratchBuffer() {
  if (handle_ == nullptr) return;
  if (data_ != nullptr) memory_.unlock(handle_);
  memory_.dispose(handle_);
}
