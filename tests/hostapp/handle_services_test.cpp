// The host's handle services as a module meets them: *handle is the data, fresh memory is not
// zero, locks are counted, and the test switches change what the module is offered.
#include "hostapp/handle_services.h"

#include <gtest/gtest.h>

#include "hostapi/constants.h"

namespace {

TEST(HandleServices, HandleLeadsToItsDataAndLocksAreCounted) {
  HandleServices services;
  HandleProcs* procs = services.procs();
  Handle handle = procs->newProc(10);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(procs->getSizeProc(handle), 10);
  EXPECT_EQ(static_cast<unsigned char>((*handle)[9]), 0xA5);
  Ptr data = procs->lockProc(handle, 1);
  EXPECT_EQ(data, *handle);
  EXPECT_EQ(procs->lockProc(handle, 0), data);
  EXPECT_EQ(services.lockedHandles(), 1);
  procs->unlockProc(handle);
  EXPECT_EQ(services.lockedHandles(), 1);
  procs->unlockProc(handle);
  EXPECT_EQ(services.lockedHandles(), 0);
  procs->disposeProc(handle);
  EXPECT_EQ(services.liveHandles(), 0);
  EXPECT_FALSE(services.owns(handle));
}

TEST(HandleServices, ResizingKeepsTheContentsAndRefusesLockedHandles) {
  HandleServices services;
  HandleProcs* procs = services.procs();
  Handle handle = procs->newProc(2);
  (*handle)[0] = 'a';
  (*handle)[1] = 'b';
  procs->lockProc(handle, 1);
  EXPECT_EQ(procs->setSizeProc(handle, 8), paramErr);
  procs->unlockProc(handle);
  ASSERT_EQ(procs->setSizeProc(handle, 8), noErr);
  EXPECT_EQ(procs->getSizeProc(handle), 8);
  EXPECT_EQ((*handle)[1], 'b');
  EXPECT_EQ(static_cast<unsigned char>((*handle)[7]), 0xA5);
  EXPECT_EQ(procs->setSizeProc(reinterpret_cast<Handle>(&services), 4), nilHandleErr);
}

// A disposed block of a tile's size serves the next handle of about that size, and shows no
// trace of what it held: a reused block is filled like fresh memory. A much smaller handle
// does not take a large block.
TEST(HandleServices, DisposedBlocksServeTheNextHandlesRefilled) {
  HandleServices services;
  HandleProcs* procs = services.procs();
  const int32 tile = 3 << 20;
  Handle first = procs->newProc(tile);
  Ptr firstData = *first;
  firstData[tile - 1] = 7;
  procs->disposeProc(first);
  Handle small = procs->newProc(1000);
  EXPECT_NE(*small, firstData);
  Handle second = procs->newProc(tile - 4096);
  EXPECT_EQ(*second, firstData);
  EXPECT_EQ(static_cast<unsigned char>((*second)[tile - 4097]), 0xA5);
  EXPECT_EQ(procs->getSizeProc(second), tile - 4096);
  procs->disposeProc(small);
  procs->disposeProc(second);
  EXPECT_EQ(services.liveHandles(), 0);
}

TEST(HandleServices, OnlyTheChosenAllocationFails) {
  HandleOptions options;
  options.failAllocation = 2;
  HandleServices services(options);
  HandleProcs* procs = services.procs();
  EXPECT_NE(procs->newProc(4), nullptr);
  EXPECT_EQ(procs->newProc(4), nullptr);
  EXPECT_NE(procs->newProc(4), nullptr);
  EXPECT_EQ(services.allocations(), 3);
  EXPECT_EQ(services.liveHandles(), 2);
}

TEST(HandleServices, SwitchesChangeTheOfferedSuite) {
  struct Case {
    const char* name;
    HandleOptions options;
    int16 version;
    int16 count;
    bool lockAndUnlock;
    bool eighthProc;
  };
  HandleOptions standard, version2, count7, noLock;
  version2.version = 2;
  count7.count = 7;
  noLock.withLockAndUnlock = false;
  for (const Case& c :
       {Case{"standard", standard, 1, 8, true, true}, Case{"version 2", version2, 2, 8, true, true},
        Case{"4.0 count", count7, 1, 7, true, false}, Case{"no lock", noLock, 1, 8, false, true}}) {
    SCOPED_TRACE(c.name);
    HandleServices services(c.options);
    HandleProcs* procs = services.procs();
    ASSERT_NE(procs, nullptr);
    EXPECT_EQ(procs->handleProcsVersion, c.version);
    EXPECT_EQ(procs->numHandleProcs, c.count);
    EXPECT_EQ(procs->lockProc != nullptr && procs->unlockProc != nullptr, c.lockAndUnlock);
    EXPECT_EQ(procs->disposeRegularHandleProc != nullptr, c.eighthProc);
  }
  HandleOptions none;
  none.offered = false;
  HandleServices services(none);
  EXPECT_EQ(services.procs(), nullptr);
}

}  // namespace
