// Global memory: handles, locks, lookups and the driver's failure switch.
#include "platform_fixture.h"

#include <cstring>

namespace drv = platform::driver;

using GlobalMemory = PlatformTest;

TEST_F(GlobalMemory, MoveableBlockLocksToZeroedDataAndCountsLocks) {
  HGLOBAL h = GlobalAlloc(GHND, 64);
  ASSERT_NE(h, nullptr);
  auto* p = static_cast<unsigned char*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(p), h);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);
  EXPECT_EQ(GlobalLock(h), p);
  EXPECT_EQ(GlobalHandle(p), h);
  EXPECT_EQ(GlobalSize(h), 64u);
  EXPECT_TRUE(GlobalUnlock(h));   // still locked once
  EXPECT_FALSE(GlobalUnlock(h));  // now unlocked
  EXPECT_FALSE(GlobalUnlock(h));  // nothing left to unlock
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(drv::liveGlobalBlocks(), 0);
}

TEST_F(GlobalMemory, FixedBlockIsItsOwnHandle) {
  HGLOBAL h = GlobalAlloc(GPTR, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalLock(h), h);
  EXPECT_EQ(GlobalHandle(h), h);
  EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(GlobalMemory, InvalidHandlesFailWithoutHarm) {
  HGLOBAL h = GlobalAlloc(GHND, 8);
  ASSERT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h);  // a second free reports failure by returning the handle
  EXPECT_EQ(GlobalHandle(nullptr), nullptr);
  int local = 0;
  EXPECT_EQ(GlobalHandle(&local), nullptr);
}

TEST_F(GlobalMemory, EmptyMoveableBlockHasNothingToLock) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(GlobalMemory, ChosenAllocationsFail) {
  drv::failAllocations(1, 2);
  HGLOBAL first = GlobalAlloc(GHND, 8);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
  EXPECT_EQ(GlobalAlloc(GPTR, 8), nullptr);
  HGLOBAL fourth = GlobalAlloc(GHND, 8);
  EXPECT_NE(fourth, nullptr);
  EXPECT_EQ(drv::liveGlobalBlocks(), 2);
  GlobalFree(first);
  GlobalFree(fourth);
}

TEST_F(GlobalMemory, ResetFreesWhatATestLeft) {
  GlobalAlloc(GHND, 32);
  GlobalAlloc(GPTR, 32);
  EXPECT_EQ(drv::liveGlobalBlocks(), 2);
  drv::reset();
  EXPECT_EQ(drv::liveGlobalBlocks(), 0);
}
