// Memory for rows of pixels that are written before they are read: a streamed run's window and
// the bands its reader and writer threads pass along. It is not cleared, and on Linux it is
// asked for in huge pages where the system offers them: a window of a tile row is tens of
// megabytes touched once, and touched page by page in 4 KiB steps each first touch is a fault
// that costs more than the copy that fills the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class RowMemory {
 public:
  RowMemory() = default;
  // Throws std::bad_alloc when the system refuses.
  explicit RowMemory(size_t bytes);
  ~RowMemory();
  RowMemory(RowMemory&& other) noexcept { swap(other); }
  RowMemory& operator=(RowMemory&& other) noexcept {
    RowMemory(static_cast<RowMemory&&>(other)).swap(*this);
    return *this;
  }
  RowMemory(const RowMemory&) = delete;
  RowMemory& operator=(const RowMemory&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  void swap(RowMemory& other) noexcept;

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // bytes mapped from data_ on, 0 when data_ came from new[]
};

// Blocks handed back for reuse, so that memory made and dropped again and again (a pipeline's
// bands, the host's handles for every tile) is faulted in once: a fresh block is mapped,
// faulted in page by page and unmapped by the system every time. take() gives the smallest kept
// block of at least the size asked for and at most twice it, or a new one; giveBack() keeps
// blocks from leastBytes up while all kept stay within mostBytes, dropping the oldest first.
// Safe to share between threads.
class SpareBlocks {
 public:
  explicit SpareBlocks(size_t mostBytes, size_t leastBytes = 0)
      : mostBytes_(mostBytes), leastBytes_(leastBytes) {}
  // Throws std::bad_alloc when a new block is needed and the system refuses.
  RowMemory take(size_t bytes);
  void giveBack(RowMemory block);

 private:
  std::mutex mutex_;
  std::vector<RowMemory> kept_;
  size_t mostBytes_;
  size_t leastBytes_;
};
