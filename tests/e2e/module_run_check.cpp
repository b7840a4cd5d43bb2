// Loads Inkjet.8bf as a host does and drives its entry point through the host application's
// session: the records are created once and kept in the data slot, unknown selectors succeed,
// and a failed first allocation is reported as -108 with the slot left empty for the next try.
// Usage: e2e_module_run PATH\Inkjet.8bf
#include <cstdio>

#include "hostapi/constants.h"
#include "hostapp/module_library.h"
#include "hostapp/module_session.h"

namespace {

int failures = 0;

void check(bool condition, const char* what) {
  if (!condition) {
    std::printf("FAILED: %s\n", what);
    failures++;
  }
}

DocumentDescription rgbDocument() {
  DocumentDescription document;
  document.width = 6;
  document.height = 5;
  return document;
}

void parametersTwiceKeepsOneRecord(FilterEntryProc entry) {
  ModuleSession session(entry, rgbDocument());
  check(session.call(filterSelectorParameters) == noErr, "first Parameters succeeds");
  intptr_t slot = session.dataSlot();
  Handle parameters = session.record().parameters;
  check(slot != 0, "first call fills the data slot");
  check(parameters != nullptr, "first call creates the parameters record");
  check(session.handles().allocations() == 2, "two records allocated through the host");
  check(session.call(filterSelectorParameters) == noErr, "second Parameters succeeds");
  check(session.dataSlot() == slot, "second call keeps the data slot");
  check(session.record().parameters == parameters, "second call keeps the parameters record");
  check(session.handles().allocations() == 2, "second call allocates nothing");
  check(session.record().bufferSpace == 5006448, "Parameters states the buffer need");
  check(session.call(6) == noErr, "selector 6 succeeds");
  check(session.handles().lockedHandles() == 0, "no lock outlives a call");
}

void outOfMemoryThenRecovery(FilterEntryProc entry) {
  HandleOptions firstFails;
  firstFails.failAllocation = 1;
  ModuleSession session(entry, rgbDocument(), firstFails);
  check(session.call(filterSelectorParameters) == memFullErr, "failed allocation gives -108");
  check(session.dataSlot() == 0, "failed allocation leaves the data slot empty");
  check(session.call(filterSelectorParameters) == noErr, "the next call succeeds");
  check(session.dataSlot() != 0, "the next call fills the data slot");
}

void withoutHostHandles(FilterEntryProc entry) {
  HandleOptions none;
  none.offered = false;
  ModuleSession session(entry, rgbDocument(), none);
  check(session.call(filterSelectorParameters) == noErr, "Parameters without host handles");
  intptr_t slot = session.dataSlot();
  check(slot != 0, "own handle kept in the data slot");
  check(session.call(filterSelectorParameters) == noErr, "second call on own handles");
  check(session.dataSlot() == slot, "own handle reused");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: e2e_module_run PATH\\Inkjet.8bf\n");
    return 2;
  }
  ModuleLibrary module;
  if (!module.load(argv[1], "ENTRYPOINT")) {
    std::printf("FAILED: %s\n", module.error().c_str());
    return 1;
  }
  parametersTwiceKeepsOneRecord(module.entry());
  outOfMemoryThenRecovery(module.entry());
  withoutHostHandles(module.entry());
  std::printf("%s\n", failures == 0 ? "all checks passed" : "some checks failed");
  return failures == 0 ? 0 : 1;
}
