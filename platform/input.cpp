// Delivery of the driver's queued input: mouse messages go to the window holding the capture
// (in its client coordinates) or else to their target; keys go through the dialog manager's
// translation when the target is a dialog.
#include "platform/stand_in.h"

using namespace standin;

namespace {

Window* resolveTarget(const QueuedInput& in) {
  if (in.handle) {
    Window* window = findWindow(in.handle);
    return window && !window->destroyed ? window : nullptr;
  }
  return in.target.empty() ? dialogOnTop() : newestFromTemplate(in.target);
}

bool isMouseMessage(UINT message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP; }

LPARAM toCaptureClient(const Window& from, const Window& capture, LPARAM lParam) {
  RECT a = clientRect(from), b = clientRect(capture);
  int x = GET_X_LPARAM(lParam) + a.left - b.left;
  int y = GET_Y_LPARAM(lParam) + a.top - b.top;
  return MAKELPARAM(x, y);
}

void deliverKey(Window& window, const QueuedInput& in) {
  bool dialog = !window.templateName.empty();
  if (dialog && in.message == WM_KEYDOWN) {
    if (in.wParam == VK_RETURN) {
      callProcedure(window, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
      return;
    }
    if (in.wParam == VK_ESCAPE) {
      callProcedure(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
      return;
    }
    if (in.wParam == VK_TAB) {
      callProcedure(window, WM_NEXTDLGCTL, 0, 0);
      return;
    }
  }
  callProcedure(window, in.message, in.wParam, in.lParam);
}

}  // namespace

namespace standin {

bool deliverNextInput() {
  State& s = state();
  if (s.input.empty()) return false;
  QueuedInput in = s.input.front();
  s.input.pop_front();
  if (in.call) {
    in.call();
    return true;
  }
  Window* target = resolveTarget(in);
  if (!target) {
    s.failures.push_back("queued input found no window \"" + in.target + "\"");
    return true;
  }
  if (isMouseMessage(in.message) && s.capture && s.capture != target) {
    callProcedure(*s.capture, in.message, in.wParam,
                  toCaptureClient(*target, *s.capture, in.lParam));
  } else if (isMouseMessage(in.message)) {
    callProcedure(*target, in.message, in.wParam, in.lParam);
  } else {
    deliverKey(*target, in);
  }
  return true;
}

}  // namespace standin
