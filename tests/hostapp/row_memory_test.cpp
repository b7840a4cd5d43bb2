// Row memory: every byte asked for can be written and read back, around the sizes where the
// block changes from the allocator's to pages of its own and where those pages end, and a block
// keeps its bytes when it moves.
#include "hostapp/row_memory.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr size_t kMiB = size_t(1) << 20;

uint8_t pattern(size_t i) { return uint8_t(i * 131 + (i >> 12)); }

TEST(RowMemory, EveryByteAskedForHoldsWhatWasWritten) {
  for (size_t bytes : {size_t(1), size_t(4095), 2 * kMiB - 1, 2 * kMiB, 2 * kMiB + 1,
                       size_t(12672000), 14 * kMiB}) {
    SCOPED_TRACE(bytes);
    RowMemory memory(bytes);
    ASSERT_NE(memory.data(), nullptr);
    ASSERT_EQ(memory.size(), bytes);
    for (size_t i = 0; i < bytes; ++i) memory.data()[i] = pattern(i);
    size_t wrong = 0;
    for (size_t i = 0; i < bytes; ++i) wrong += memory.data()[i] != pattern(i);
    EXPECT_EQ(wrong, 0u);
  }
  EXPECT_EQ(RowMemory(0).size(), 0u);
}

TEST(RowMemory, MovedBlocksKeepTheirBytes) {
  RowMemory small(100);
  RowMemory large(3 * kMiB + 5);
  small.data()[99] = 7;
  large.data()[3 * kMiB + 4] = 9;
  small.swap(large);
  EXPECT_EQ(small.size(), 3 * kMiB + 5);
  EXPECT_EQ(small.data()[3 * kMiB + 4], 9);
  EXPECT_EQ(large.data()[99], 7);
  RowMemory moved(std::move(small));
  EXPECT_EQ(small.size(), 0u);
  EXPECT_EQ(moved.data()[3 * kMiB + 4], 9);
  large = std::move(moved);
  EXPECT_EQ(large.size(), 3 * kMiB + 5);
  EXPECT_EQ(large.data()[3 * kMiB + 4], 9);
}

// A kept block serves a request it fits without being more than twice as large, the smallest
// such first; past the most bytes the oldest kept block is dropped.
TEST(SpareBlocks, GivesTheSmallestFittingKeptBlockAndDropsTheOldest) {
  SpareBlocks spares(10 * kMiB, 4096);
  RowMemory a(4 * kMiB), b(3 * kMiB);
  uint8_t* aData = a.data();
  uint8_t* bData = b.data();
  spares.giveBack(std::move(a));
  spares.giveBack(std::move(b));
  EXPECT_NE(spares.take(1 * kMiB).data(), bData) << "a block more than twice the size asked";
  RowMemory fitting = spares.take(2 * kMiB);
  EXPECT_EQ(fitting.data(), bData) << "the smallest block that fits";
  EXPECT_EQ(fitting.size(), 3 * kMiB);
  spares.giveBack(std::move(fitting));   // kept: 4 + 3 MiB
  spares.giveBack(RowMemory(5 * kMiB));  // 12 MiB would be too many: the 4 MiB block goes
  EXPECT_NE(spares.take(4 * kMiB).data(), aData);
  EXPECT_EQ(spares.take(3 * kMiB).data(), bData);
}

}  // namespace
