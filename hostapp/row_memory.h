// Memory for rows of pixels that are written before they are read: a streamed run's window and
// the bands its reader and writer threads pass along. It is not cleared, and on Linux it is
// asked for in huge pages where the system offers them: a window of a tile row is tens of
// megabytes touched once, and touched page by page in 4 KiB steps each first touch is a fault
// that costs more than the copy that fills the page.
#pragma once

#include <cstddef>
#include <cstdint>

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
