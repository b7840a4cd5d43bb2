// Message boxes are recorded for the driver and answered by the host's handler when there is
// one (platform/presentation.h); otherwise they never appear: the driver answers them, by
// default with the first button the box offers, so a test never waits for a user.
#include "platform/stand_in.h"

using namespace standin;

namespace {

int firstButton(UINT type) {
  switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return IDYES;
    case MB_RETRYCANCEL:
      return IDRETRY;
    default:
      return IDOK;
  }
}

}  // namespace

extern "C" int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  State& s = state();
  // Windows shows "Error" when a message box is given no caption.
  s.messageBoxes.push_back({owner, text ? text : "", caption ? caption : "Error", type});
  if (s.messageBoxHandler) {
    auto handler = s.messageBoxHandler;  // the box may run a loop that calls back in here
    return handler(owner, s.messageBoxes.back().text, s.messageBoxes.back().caption, type);
  }
  if (s.messageBoxAnswers.empty()) return firstButton(type);
  int answer = s.messageBoxAnswers.front();
  s.messageBoxAnswers.pop_front();
  return answer;
}
