// Windows: placement, style, visibility, ownership and destruction. A window is a rectangle on
// a screen of the driver's size with a frame laid out from its style, an RGB client surface
// and a bounding rectangle of what is invalid.
#include "platform/stand_in.h"

#include <algorithm>

using namespace standin;

namespace {

struct Insets {
  int left, top, right, bottom;
};

Insets frameInsets(LONG style) {
  int border = 0;
  if (style & WS_THICKFRAME)
    border = 4;
  else if (style & WS_DLGFRAME)
    border = 3;
  else if (style & WS_BORDER)
    border = 1;
  int caption = (style & WS_CAPTION) == WS_CAPTION ? 18 : 0;
  return {border, border + caption, border, border};
}

void fitSurface(Window& window) {
  RECT client = clientRect(window);
  window.surface.resize(client.right - client.left, client.bottom - client.top, dialogFaceColor);
}

}  // namespace

namespace standin {

RECT clientRect(const Window& window) {
  Insets in = frameInsets(window.frameStyle);
  RECT r{window.rect.left + in.left, window.rect.top + in.top, window.rect.right - in.right,
         window.rect.bottom - in.bottom};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

Window* createWindow(const std::string& templateName, int clientWidth, int clientHeight, LONG style,
                     Window* owner, DLGPROC procedure) {
  auto* window = new Window;
  window->templateName = templateName;
  window->style = window->frameStyle = style & ~WS_VISIBLE;
  window->owner = owner;
  window->procedure = procedure;
  Insets in = frameInsets(style);
  window->rect = RECT{0, 0, clientWidth + in.left + in.right, clientHeight + in.top + in.bottom};
  fitSurface(*window);
  state().windows.push_back(window);
  return window;
}

void destroyWindow(Window& window) {
  State& s = state();
  // Owned windows go first, as Windows destroys them before their owner.
  for (bool again = true; again;) {
    again = false;
    for (Window* other : s.windows)
      if (other->owner == &window && !other->destroyed) {
        destroyWindow(*other);
        again = true;
        break;
      }
  }
  if (s.capture == &window) s.capture = nullptr;
  callProcedure(window, WM_DESTROY, 0, 0);
  if (s.capture == &window) s.capture = nullptr;
  auto& modal = s.modalStack;
  if (std::find(modal.begin(), modal.end(), &window) != modal.end()) {
    window.destroyed = true;  // its modal loop unwinds and frees it
    window.ended = true;
    return;
  }
  s.windows.erase(std::find(s.windows.begin(), s.windows.end(), &window));
  delete &window;
}

void destroyAllWindows() {
  State& s = state();
  for (Window* w : s.windows) delete w;
  s.windows.clear();
  s.modalStack.clear();
  s.capture = nullptr;
}

INT_PTR callProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window.procedure) return 0;
  return window.procedure(reinterpret_cast<HWND>(&window), message, wParam, lParam);
}

}  // namespace standin

extern "C" {

BOOL DestroyWindow(HWND handle) {
  Window* window = findWindow(handle);
  if (!window || window->destroyed) return FALSE;
  destroyWindow(*window);
  return TRUE;
}

BOOL IsWindow(HWND handle) {
  Window* window = findWindow(handle);
  return window && !window->destroyed;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = findWindow(handle);
  if (!window) return 0;
  if (message == WM_PAINT) {
    sendPaint(*window);
    return 0;
  }
  return callProcedure(*window, message, wParam, lParam);
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  window->frameStyle = window->style;
  fitSurface(*window);
  if (repaint) invalidate(*window, nullptr, true);
  return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
  Window* window = findWindow(handle);
  if (!window || !rect) return FALSE;
  *rect = window->rect;
  return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
  Window* window = findWindow(handle);
  if (!window || !rect) return FALSE;
  *rect = RECT{0, 0, window->surface.width, window->surface.height};
  return TRUE;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  Window* window = findWindow(handle);
  if (!window) return 0;
  switch (index) {
    case GWL_STYLE:
      return window->style;
    case GWL_EXSTYLE:
      return window->exStyle;
    case GWL_USERDATA:
      return window->userData;
    case DWL_MSGRESULT:
      return window->messageResult;
    default:
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  Window* window = findWindow(handle);
  if (!window) return 0;
  LONG_PTR previous = GetWindowLongPtrA(handle, index);
  switch (index) {
    case GWL_STYLE:
      window->style = LONG(value);
      break;
    case GWL_EXSTYLE:
      window->exStyle = LONG(value);
      break;
    case GWL_USERDATA:
      window->userData = value;
      break;
    case DWL_MSGRESULT:
      window->messageResult = value;
      break;
    default:
      return 0;
  }
  return previous;
}

LONG GetWindowLongA(HWND handle, int index) { return LONG(GetWindowLongPtrA(handle, index)); }

LONG SetWindowLongA(HWND handle, int index, LONG value) {
  return LONG(SetWindowLongPtrA(handle, index, value));
}

BOOL ShowWindow(HWND handle, int command) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  bool wasVisible = (window->style & WS_VISIBLE) != 0;
  if (command == SW_HIDE) {
    window->style &= ~WS_VISIBLE;
  } else {
    window->style |= WS_VISIBLE;
    if (!wasVisible) invalidate(*window, nullptr, true);
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND handle) {
  Window* window = findWindow(handle);
  return window && (window->style & WS_VISIBLE);
}

HWND GetParent(HWND handle) {
  Window* window = findWindow(handle);
  return window ? reinterpret_cast<HWND>(window->owner) : nullptr;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return state().screenWidth;
    case SM_CYSCREEN:
      return state().screenHeight;
    case SM_CYCAPTION:
      return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    default:
      return 0;
  }
}

HWND SetCapture(HWND handle) {
  Window* previous = state().capture;
  Window* window = findWindow(handle);
  if (!window) return reinterpret_cast<HWND>(previous);
  state().capture = window;
  if (previous && previous != window) callProcedure(*previous, WM_CAPTURECHANGED, 0, 0);
  return reinterpret_cast<HWND>(previous);
}

BOOL ReleaseCapture(void) {
  Window* previous = state().capture;
  state().capture = nullptr;
  if (previous) callProcedure(*previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture(void) { return reinterpret_cast<HWND>(state().capture); }

}  // extern "C"
