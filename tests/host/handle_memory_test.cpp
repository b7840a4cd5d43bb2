// Handle memory: which service a handle comes from, and the own handles on global memory.
#include "memory/handle_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hostapi/handle_procs.h"
#include "platform/driver.h"

namespace {

// A host suite that records what the module asked of it.
struct RecordingHost {
  static std::vector<std::string> calls;
  static char data[16];
  static Handle HOSTAPI_CALL newProc(int32 size) {
    calls.push_back("new " + std::to_string(size));
    static char* master = data;
    return &master;
  }
  static void HOSTAPI_CALL disposeProc(Handle) { calls.push_back("dispose"); }
  static int32 HOSTAPI_CALL getSizeProc(Handle) { return 16; }
  static OSErr HOSTAPI_CALL setSizeProc(Handle, int32) { return 0; }
  static Ptr HOSTAPI_CALL lockProc(Handle, Boolean moveHigh) {
    calls.push_back("lock " + std::to_string(moveHigh));
    return data;
  }
  static void HOSTAPI_CALL unlockProc(Handle) { calls.push_back("unlock"); }
  static HandleProcs complete() {
    return HandleProcs{1,           7,        newProc,    disposeProc, getSizeProc,
                       setSizeProc, lockProc, unlockProc, nullptr,     nullptr};
  }
};
std::vector<std::string> RecordingHost::calls;
char RecordingHost::data[16];

class HandleMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::driver::reset();
    RecordingHost::calls.clear();
  }
};

TEST_F(HandleMemoryTest, CompleteHostSuiteServesEveryOperation) {
  HandleProcs procs = RecordingHost::complete();
  Handle handle = newHandle(&procs, 12);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(lockHandle(&procs, handle), RecordingHost::data);
  unlockHandle(&procs, handle);
  disposeHandle(&procs, handle);
  EXPECT_EQ(RecordingHost::calls,
            (std::vector<std::string>{"new 12", "lock 1", "unlock", "dispose"}));
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
}

// Each broken suite must send every operation to global memory, never to the host.
TEST_F(HandleMemoryTest, IncompleteOrForeignHostSuiteFallsBackToGlobalMemory) {
  struct Case {
    const char* name;
    void (*spoil)(HandleProcs*);
  };
  const Case cases[] = {
      {"version 2", [](HandleProcs* p) { p->handleProcsVersion = 2; }},
      {"version 0", [](HandleProcs* p) { p->handleProcsVersion = 0; }},
      {"six procedures", [](HandleProcs* p) { p->numHandleProcs = 6; }},
      {"no newProc", [](HandleProcs* p) { p->newProc = nullptr; }},
      {"no disposeProc", [](HandleProcs* p) { p->disposeProc = nullptr; }},
      {"no getSizeProc", [](HandleProcs* p) { p->getSizeProc = nullptr; }},
      {"no setSizeProc", [](HandleProcs* p) { p->setSizeProc = nullptr; }},
      {"no lockProc", [](HandleProcs* p) { p->lockProc = nullptr; }},
      {"no unlockProc", [](HandleProcs* p) { p->unlockProc = nullptr; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingHost::calls.clear();
    HandleProcs procs = RecordingHost::complete();
    c.spoil(&procs);
    Handle handle = newHandle(&procs, 40);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(platform::driver::liveGlobalBlocks(), 2);
    void* address = lockHandle(&procs, handle);
    EXPECT_EQ(address, *handle);
    unlockHandle(&procs, handle);
    disposeHandle(&procs, handle);
    EXPECT_TRUE(RecordingHost::calls.empty());
    EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
  }
}

TEST_F(HandleMemoryTest, OwnHandleIsZeroFilledAndStaysAtOneAddress) {
  Handle handle = newHandle(nullptr, 100);
  ASSERT_NE(handle, nullptr);
  auto* bytes = static_cast<unsigned char*>(lockHandle(nullptr, handle));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 100), std::vector<unsigned char>(100, 0));
  std::memset(bytes, 7, 100);
  unlockHandle(nullptr, handle);
  EXPECT_EQ(lockHandle(nullptr, handle), bytes);
  EXPECT_EQ(bytes[99], 7);
  disposeHandle(nullptr, handle);
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
}

TEST_F(HandleMemoryTest, OwnHandleOfZeroBytesStillLeadsToABlock) {
  Handle handle = newHandle(nullptr, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(lockHandle(nullptr, handle), nullptr);
  disposeHandle(nullptr, handle);
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
}

TEST_F(HandleMemoryTest, FailedAllocationsLeaveNothingBehind) {
  for (int skip : {0, 1}) {
    SCOPED_TRACE(skip == 0 ? "two-word block fails" : "data block fails");
    platform::driver::reset();
    platform::driver::failAllocations(skip);
    EXPECT_EQ(newHandle(nullptr, 64), nullptr);
    EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
  }
  EXPECT_EQ(newHandle(nullptr, -1), nullptr);
}

TEST_F(HandleMemoryTest, DisposingOwnHandleWithoutDataBlockFreesTheTwoWordBlock) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2 * sizeof(void*));
  auto handle = static_cast<Handle>(GlobalLock(block));
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(*handle, nullptr);
  disposeHandle(nullptr, handle);
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
}

TEST_F(HandleMemoryTest, MissingHandleIsIgnored) {
  HandleProcs procs = RecordingHost::complete();
  for (HandleProcs* suite : {static_cast<HandleProcs*>(nullptr), &procs}) {
    disposeHandle(suite, nullptr);
    unlockHandle(suite, nullptr);
    EXPECT_EQ(lockHandle(suite, nullptr), nullptr);
  }
  EXPECT_TRUE(RecordingHost::calls.empty());
}

}  // namespace
