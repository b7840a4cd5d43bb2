// One module as this host drives it: the entry point, the FilterRecord (at one address for the
// session's life, since modules keep pointers into it between calls), the pointer-sized `data`
// slot kept between calls, the handle services and the host's platform record. Any selector can
// be called, in any order, so tests can drive the module exactly as a host would or as no host
// should. The entry point is either linked (native) or found in a loaded library (Windows).
#pragma once

#include "hostapi/about_record.h"
#include "hostapi/entry_point.h"
#include "hostapi/filter_record.h"
#include "hostapp/document.h"
#include "hostapp/handle_services.h"

class ModuleSession {
 public:
  ModuleSession(FilterEntryProc entry, const DocumentDescription& document,
                const HandleOptions& handleOptions = HandleOptions());
  ModuleSession(const ModuleSession&) = delete;
  ModuleSession& operator=(const ModuleSession&) = delete;

  // Calls a filter selector (or any other value) with the FilterRecord; returns the result code.
  int16 call(int16 selector);
  // Calls selector 0 with an AboutRecord; About leaves the result code alone, so this returns
  // whatever the host preset (0).
  int16 callAbout();

  // Changes what the handle services offer from the next call on.
  void setHandleOptions(const HandleOptions& options);

  // Describes the document afresh for a new run, as a host fills the record before every run:
  // everything a run requested or was offered is cleared; the `parameters` handle, the data
  // slot and the handle services stay, because they are the module's across runs.
  void beginRun();

  intptr_t dataSlot() const { return data_; }
  FilterRecord& record() { return record_; }
  const FilterRecord& record() const { return record_; }
  HandleServices& handles() { return handles_; }

 private:
  FilterEntryProc entry_;
  DocumentDescription document_;
  HandleServices handles_;
  PlatformData platform_ = {};
  FilterRecord record_;
  AboutRecord about_;
  intptr_t data_ = 0;
};
