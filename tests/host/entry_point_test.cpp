// The entry point as a host sees it: which records exist after which calls, what the result
// code says, and that every lock taken in a call is released before it returns.
#include "host/entry_point.h"

#include <gtest/gtest.h>

#include "host/dialog_failure.h"
#include "host/filter_parameters.h"
#include "controls/module_instance.h"
#include "host/plugin_globals.h"
#include "host/selector_handlers.h"
#include "hostapi/constants.h"
#include "hostapp/module_session.h"
#include "platform/driver.h"

namespace {

DocumentDescription smallDocument() {
  DocumentDescription document;
  document.width = 6;
  document.height = 5;
  return document;
}

class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::driver::reset(); }
  // Records in the module's own global memory outlive every call by design (the host keeps
  // them); the stand-in frees what is left so each test ends clean.
  void TearDown() override { platform::driver::reset(); }

  // The host keeps *handle == data, so the host can look into the module's records directly.
  static FilterParameters& parametersOf(ModuleSession& session) {
    return *reinterpret_cast<FilterParameters*>(*session.record().parameters);
  }
  // The record is packed as hosts pack it, so its pointer fields are read by value: a
  // reference (as the comparison macros take) to one would be misaligned.
  static Handle parametersSlot(ModuleSession& session) { return session.record().parameters; }
  static PluginGlobals& globalsOf(ModuleSession& session) {
    return *reinterpret_cast<PluginGlobals*>(*reinterpret_cast<Handle>(session.dataSlot()));
  }
};

TEST_F(EntryPointTest, AboutCreatesNothingAndReportsTheDialogFailure) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  intptr_t data = 0;
  int16 result = 1;  // what some 64-bit hosts preset before About
  AboutRecord about = {};
  ENTRYPOINT(filterSelectorAbout, &about, &data, &result);

  EXPECT_EQ(data, 0);
  EXPECT_EQ(result, noErr);  // the failure goes to the user, not to the host as an error
  EXPECT_EQ(session.handles().allocations(), 0);
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
  ASSERT_EQ(platform::driver::messageBoxes().size(), 1u);
  const auto& box = platform::driver::messageBoxes()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.text, "dialog failure");
  EXPECT_EQ(box.caption, "orv Brindlecraft 1.02");
  EXPECT_EQ(box.type, UINT(MB_OK));
}

TEST_F(EntryPointTest, AboutThroughTheHostLeavesTheSlotEmpty) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  EXPECT_EQ(session.callAbout(), noErr);
  EXPECT_EQ(session.dataSlot(), 0);
  EXPECT_EQ(parametersSlot(session), nullptr);
}

TEST_F(EntryPointTest, FirstCallCreatesBothRecordsZeroFilled) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  ASSERT_EQ(session.call(6), noErr);
  ASSERT_NE(session.dataSlot(), 0);
  ASSERT_NE(parametersSlot(session), nullptr);
  EXPECT_EQ(session.handles().allocations(), 2);
  // Host handles arrive filled with a pattern, so zeros here were written by the module.
  FilterParameters& parameters = parametersOf(session);
  EXPECT_EQ(parameters.dialogRequest, DialogRequest::None);
  EXPECT_FALSE(parameters.dialogActive);
  EXPECT_EQ(parameters.settings.printWidth, 0);
  EXPECT_EQ(parameters.settingsTouched, 0);
  PluginGlobals& globals = globalsOf(session);
  EXPECT_EQ(globals.colors.acceleration, 0);
  EXPECT_EQ(globals.colors.toRgbCache, nullptr);
  EXPECT_EQ(globals.filterRecord, &session.record());
}

TEST_F(EntryPointTest, LaterCallsReuseTheRecordsWithoutReinitialising) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  ASSERT_EQ(session.call(filterSelectorParameters), noErr);
  intptr_t slot = session.dataSlot();
  Handle parametersHandle = session.record().parameters;
  parametersOf(session).settings.personalProfile = 3;

  for (int16 selector : {filterSelectorParameters, int16(6)}) {
    SCOPED_TRACE(selector);
    EXPECT_EQ(session.call(selector), noErr);
    EXPECT_EQ(session.dataSlot(), slot);
    EXPECT_EQ(parametersSlot(session), parametersHandle);
    EXPECT_EQ(session.handles().allocations(), 2);
  }
  EXPECT_EQ(parametersOf(session).dialogRequest, DialogRequest::Show);
  EXPECT_EQ(parametersOf(session).settings.personalProfile, 3);

  // Prepare keeps both records but establishes the run's settings afresh.
  EXPECT_EQ(session.call(filterSelectorPrepare), noErr);
  EXPECT_EQ(session.dataSlot(), slot);
  EXPECT_EQ(parametersSlot(session), parametersHandle);
  EXPECT_EQ(parametersOf(session).dialogRequest, DialogRequest::Show);
  EXPECT_EQ(parametersOf(session).settings.personalProfile, 2);
  EXPECT_EQ(session.call(filterSelectorFinish), noErr);
}

TEST_F(EntryPointTest, ParametersAppliesTheRunDefaultsAndAsksForTheDialog) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  setModuleInstance(reinterpret_cast<HINSTANCE>(0x4000));
  ASSERT_EQ(session.call(6), noErr);
  ASSERT_EQ(session.call(filterSelectorParameters), noErr);
  setModuleInstance(nullptr);

  const FilterParameters& parameters = parametersOf(session);
  EXPECT_EQ(parameters.dialogRequest, DialogRequest::Show);
  EXPECT_EQ(parameters.moduleInstance, reinterpret_cast<HINSTANCE>(0x4000));
  EXPECT_EQ(parameters.tileWidth, 640);
  EXPECT_EQ(parameters.tileHeight, 640);
  EXPECT_EQ(parameters.tileOverlap, 32);
  EXPECT_EQ(session.record().bufferSpace, kBufferSpaceNeeded);
}

TEST_F(EntryPointTest, EverySelectorReleasesEveryLockAndReportsSuccess) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  // Start finds the dialog asked for by Parameters; natively no dialog can be shown, so the
  // run ends as cancelled there.
  for (int16 selector : {1, 2, 3, 4, 5, 6, 7, 100, -1, -32768, 32767}) {
    SCOPED_TRACE(selector);
    EXPECT_EQ(session.call(selector), selector == filterSelectorStart ? userCanceledErr : noErr);
    EXPECT_EQ(session.handles().lockedHandles(), 0);
    EXPECT_NE(session.dataSlot(), 0);
  }
  EXPECT_EQ(session.handles().liveHandles(), 2);
}

// Hosts whose handle services are missing or not to be trusted get the module's own handles
// for both records, and the records survive from call to call all the same.
TEST_F(EntryPointTest, UnusableHostHandleServicesMoveBothRecordsToGlobalMemory) {
  struct Case {
    const char* name;
    HandleOptions options;
  };
  HandleOptions version2, count6, noLock, none;
  version2.version = 2;
  count6.count = 6;
  noLock.withLockAndUnlock = false;
  none.offered = false;
  for (const Case& c : {Case{"version 2", version2}, Case{"six procs", count6},
                        Case{"no lock/unlock", noLock}, Case{"none", none}}) {
    SCOPED_TRACE(c.name);
    platform::driver::reset();
    ModuleSession session(ENTRYPOINT, smallDocument(), c.options);
    ASSERT_EQ(session.call(filterSelectorParameters), noErr);
    intptr_t slot = session.dataSlot();
    EXPECT_NE(slot, 0);
    EXPECT_EQ(session.handles().allocations(), 0);
    EXPECT_EQ(platform::driver::liveGlobalBlocks(), 4);
    EXPECT_EQ(session.call(filterSelectorPrepare), noErr);
    EXPECT_EQ(session.dataSlot(), slot);
    // The run's colour caches live from Prepare to Finish, in global memory as well.
    EXPECT_EQ(session.call(filterSelectorFinish), noErr);
    EXPECT_EQ(platform::driver::liveGlobalBlocks(), 4);
    EXPECT_EQ(parametersOf(session).dialogRequest, DialogRequest::Show);
  }
}

TEST_F(EntryPointTest, NoMemoryForTheGlobalRecordLeavesTheSlotEmptyUntilTheNextCall) {
  HandleOptions firstFails;
  firstFails.failAllocation = 1;
  ModuleSession session(ENTRYPOINT, smallDocument(), firstFails);
  EXPECT_EQ(session.call(filterSelectorParameters), memFullErr);
  EXPECT_EQ(session.dataSlot(), 0);
  EXPECT_EQ(parametersSlot(session), nullptr);
  EXPECT_EQ(session.record().bufferSpace, 0);

  EXPECT_EQ(session.call(filterSelectorParameters), noErr);
  EXPECT_NE(session.dataSlot(), 0);
  EXPECT_EQ(parametersOf(session).dialogRequest, DialogRequest::Show);
  EXPECT_EQ(session.handles().lockedHandles(), 0);
}

TEST_F(EntryPointTest, NoGlobalMemoryForTheGlobalRecordReportsOutOfMemory) {
  HandleOptions none;
  none.offered = false;
  ModuleSession session(ENTRYPOINT, smallDocument(), none);
  platform::driver::failAllocations(0);
  EXPECT_EQ(session.call(filterSelectorPrepare), memFullErr);
  EXPECT_EQ(session.dataSlot(), 0);
  EXPECT_EQ(platform::driver::liveGlobalBlocks(), 0);
  EXPECT_EQ(session.call(filterSelectorPrepare), noErr);
  EXPECT_NE(session.dataSlot(), 0);
  EXPECT_EQ(session.call(filterSelectorFinish), noErr);
}

// Without FilterParameters no handler may run; each later call tries to create it again and
// says -108 for as long as that fails.
TEST_F(EntryPointTest, MissingSettingsRecordIsRetriedAndNeverReportedAsSuccess) {
  HandleOptions secondFails;
  secondFails.failAllocation = 2;
  ModuleSession session(ENTRYPOINT, smallDocument(), secondFails);
  EXPECT_EQ(session.call(filterSelectorParameters), memFullErr);
  EXPECT_NE(session.dataSlot(), 0);
  EXPECT_EQ(parametersSlot(session), nullptr);
  EXPECT_EQ(session.record().bufferSpace, 0);

  HandleOptions thirdFails;
  thirdFails.failAllocation = 3;
  session.setHandleOptions(thirdFails);
  EXPECT_EQ(session.call(filterSelectorParameters), memFullErr);
  EXPECT_EQ(parametersSlot(session), nullptr);

  EXPECT_EQ(session.call(filterSelectorParameters), noErr);
  ASSERT_NE(parametersSlot(session), nullptr);
  EXPECT_EQ(parametersOf(session).dialogRequest, DialogRequest::Show);
  EXPECT_EQ(session.record().bufferSpace, kBufferSpaceNeeded);
  EXPECT_EQ(session.handles().lockedHandles(), 0);
}

TEST_F(EntryPointTest, SelectorsWithoutHandlersNeedNoSettingsRecord) {
  HandleOptions secondFails;
  secondFails.failAllocation = 2;
  ModuleSession session(ENTRYPOINT, smallDocument(), secondFails);
  EXPECT_EQ(session.call(6), memFullErr);
  EXPECT_EQ(session.call(6), noErr);
  EXPECT_EQ(parametersSlot(session), nullptr);
}

TEST_F(EntryPointTest, MissingArgumentsAreRefusedWithoutTouchingMemory) {
  ModuleSession session(ENTRYPOINT, smallDocument());
  intptr_t data = 0;
  int16 result = 0;
  ENTRYPOINT(filterSelectorParameters, nullptr, &data, &result);
  EXPECT_EQ(result, filterBadParameters);
  ENTRYPOINT(filterSelectorParameters, &session.record(), nullptr, &result);
  EXPECT_EQ(result, filterBadParameters);
  ENTRYPOINT(filterSelectorParameters, &session.record(), &data, nullptr);
  EXPECT_EQ(data, 0);
  EXPECT_EQ(session.handles().allocations(), 0);
}

TEST(DialogFailure, BothOfTheSystemsFailureAnswersCount) {
  struct Case {
    INT_PTR answer;
    bool failed;
  };
  for (Case c : {Case{0, true}, Case{-1, true}, Case{1, false}, Case{2, false}, Case{-2, false}}) {
    EXPECT_EQ(dialogFailed(c.answer), c.failed) << c.answer;
  }
}

}  // namespace
