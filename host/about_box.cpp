#include "host/about_box.h"

#include "controls/procedure_guard.h"
#include "dialog/about_window.h"
#include "host/dialog_failure.h"

namespace {

HWND hostWindow(const AboutRecord* about) {
  if (about == nullptr || about->platformData == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<HWND>(static_cast<const PlatformData*>(about->platformData)->hwnd);
}

}  // namespace

void showAbout(const AboutRecord* about) {
  INT_PTR outcome = runAboutWindow(hostWindow(about));
  if (outcome == kDialogAbandoned) {
    throw DialogAbandoned();
  }
  if (dialogFailed(outcome)) {
    showDialogFailure();
  }
}
