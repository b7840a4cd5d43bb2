#include "hostapp/module_session.h"

#include <cstring>

#include "hostapi/constants.h"
#include "hostapp/filter_record_setup.h"

ModuleSession::ModuleSession(FilterEntryProc entry, const DocumentDescription& document,
                             const HandleOptions& handleOptions)
    : entry_(entry), document_(document), handles_(handleOptions) {
  describeDocument(&record_, document, handles_.procs(), &platform_);
  std::memset(static_cast<void*>(&about_), 0, sizeof(about_));
  about_.platformData = &platform_;
}

int16 ModuleSession::call(int16 selector) {
  int16 result = noErr;
  entry_(selector, &record_, &data_, &result);
  return result;
}

int16 ModuleSession::callAbout() {
  int16 result = noErr;
  entry_(filterSelectorAbout, &about_, &data_, &result);
  return result;
}

void ModuleSession::setHandleOptions(const HandleOptions& options) {
  handles_.setOptions(options);
  record_.handleProcs = handles_.procs();
}

void ModuleSession::beginRun() {
  Handle parameters = record_.parameters;
  describeDocument(&record_, document_, handles_.procs(), &platform_);
  record_.parameters = parameters;
}
