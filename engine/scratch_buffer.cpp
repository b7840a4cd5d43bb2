// Handle-backed scratch memory for the blurs.
#include "engine/scratch_buffer.h"

#include <cstdint>

#include "hostapi/filter_record.h"

ScratchBuffer::ScratchBuffer(PluginGlobals* globals, size_t bytes) {
  if (globals != nullptr && globals->filterRecord != nullptr) {
    procs_ = globals->filterRecord->handleProcs;
  }
  // Sixteen spare bytes let the vector loops read a little past their last sample.
  size_t padded = bytes + 16;
  if (padded > size_t(INT32_MAX)) return;
  handle_ = newHandle(procs_, int32(padded));
  if (handle_ != nullptr) data_ = lockHandle(procs_, handle_);
}

ScratchBuffer::~ScratchBuffer() {
  if (handle_ == nullptr) return;
  if (data_ != nullptr) unlockHandle(procs_, handle_);
  disposeHandle(procs_, handle_);
}
