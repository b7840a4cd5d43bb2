// The entry point: About is answered without any record; every other selector attaches the
// global record, is dispatched with FilterParameters locked around its handler, and releases the
// record again so the host can keep the handle in its data slot until the next call.
// No exception leaves it: the host calling it is C, and a C++ exception unwinding into it would
// bring the host down. Whatever a handler throws (a failed allocation, an abandoned dialog) ends
// the call out of memory, with the run abandoned and the locks released.
#include "host/entry_point.h"

#include "engine/worker_bands.h"
#include "host/about_box.h"
#include "host/global_records.h"
#include "host/selector_handlers.h"
#include "host/tile_walk.h"
#include "hostapi/constants.h"

namespace {

void runHandler(int16 selector, PluginGlobals* globals, FilterParameters* parameters) {
  switch (selector) {
    case filterSelectorParameters:
      handleParameters(globals, parameters);
      break;
    case filterSelectorPrepare:
      handlePrepare(globals, parameters);
      break;
    case filterSelectorStart:
      handleStart(globals, parameters);
      break;
    case filterSelectorContinue:
      handleContinue(globals, parameters);
      break;
    case filterSelectorFinish:
      handleFinish(globals, parameters);
      break;
  }
}

bool isFilterSelector(int16 selector) {
  return selector >= filterSelectorParameters && selector <= filterSelectorFinish;
}

// A handler never sees a FilterParameters that does not exist: if it could not be created or
// locked, the call reports out of memory instead.
void dispatch(int16 selector, PluginGlobals* globals) {
  if (!isFilterSelector(selector)) {
    return;
  }
  FilterParameters* parameters = ensureFilterParameters(globals);
  if (parameters == nullptr) {
    *globals->result = memFullErr;
    return;
  }
  try {
    runHandler(selector, globals, parameters);
  } catch (...) {
    abandonRun(globals, parameters);
  }
  unlockFilterParameters(globals);
}

void enter(int16 selector, void* block, intptr_t* data, int16* result) {
  if (selector == filterSelectorAbout) {
    showAbout(static_cast<const AboutRecord*>(block));
    // Some hosts preset the result to an error before About and report whatever comes back;
    // a failure of the About box itself has already been shown to the user.
    if (result != nullptr) *result = noErr;
    return;
  }
  if (result == nullptr) {
    return;
  }
  if (block == nullptr || data == nullptr) {
    *result = filterBadParameters;
    return;
  }
  FilterRecord* record = static_cast<FilterRecord*>(block);
  PluginGlobals* globals = attachGlobals(record, data, result);
  if (globals == nullptr) {
    *result = memFullErr;
    return;
  }
  dispatch(selector, globals);
  // The engine's threads wait between the tiles of a run, and end with it.
  if (!hasRequest(*record)) stopEngineThreads();
  releaseGlobals(record, data);
}

}  // namespace

extern "C" INKJET_EXPORT void HOSTAPI_CALL InkjetSetThreads(int32 count) {
  setEngineThreads(count);
}

extern "C" INKJET_EXPORT void HOSTAPI_CALL ENTRYPOINT(int16 selector, void* block, intptr_t* data,
                                                      int16* result) {
  try {
    enter(selector, block, data, result);
  } catch (...) {
    if (result != nullptr) {
      *result = memFullErr;
    }
  }
}
