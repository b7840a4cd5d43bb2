#include "hostapp/row_memory.h"

#include <algorithm>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

#ifdef __linux__
// The size of a huge page on x86-64 and arm64; where it is another, the pages are merely
// ordinary ones in an aligned block.
constexpr size_t kHugePage = size_t(2) << 20;
#endif

}  // namespace

RowMemory::RowMemory(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
#ifdef __linux__
  // Smaller blocks stay with the allocator, which reuses them without a trip to the system.
  if (bytes >= kHugePage) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t length = (bytes + page - 1) / page * page;
    // Mapped a huge page larger and trimmed so that it starts on a huge-page boundary, since
    // the system maps huge pages only at addresses that are multiples of their size.
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<uint8_t*>(raw);
    const size_t lead = (kHugePage - reinterpret_cast<uintptr_t>(start) % kHugePage) % kHugePage;
    if (lead > 0) munmap(start, lead);
    munmap(start + lead + length, kHugePage - lead);
    data_ = start + lead;
    mapped_ = length;
    // Only advice, and only for whole huge pages: the rest stays in small pages, so the block
    // holds no more memory than it is asked for.
    madvise(data_, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
    return;
  }
#endif
  data_ = new uint8_t[bytes];
}

RowMemory::~RowMemory() {
#ifdef __linux__
  if (mapped_ > 0) {
    munmap(data_, mapped_);
    return;
  }
#endif
  delete[] data_;
}

void RowMemory::swap(RowMemory& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(mapped_, other.mapped_);
}

RowMemory SpareBlocks::take(size_t bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto best = kept_.end();
    for (auto block = kept_.begin(); block != kept_.end(); ++block) {
      if (block->size() >= bytes && block->size() / 2 <= bytes &&
          (best == kept_.end() || block->size() < best->size()))
        best = block;
    }
    if (best != kept_.end()) {
      RowMemory block = std::move(*best);
      kept_.erase(best);
      return block;
    }
  }
  return RowMemory(bytes);
}

void SpareBlocks::giveBack(RowMemory block) {
  if (block.size() == 0 || block.size() < leastBytes_ || block.size() > mostBytes_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  size_t kept = block.size();
  for (const RowMemory& other : kept_) kept += other.size();
  // The oldest go first: what was handed back last is what is asked for again next.
  while (kept > mostBytes_ && !kept_.empty()) {
    kept -= kept_.front().size();
    kept_.erase(kept_.begin());
  }
  kept_.push_back(std::move(block));
}
