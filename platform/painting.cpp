// Painting: every window keeps the bounding rectangle of what is invalid and whether its
// background must be erased first. BeginPaint erases (through WM_ERASEBKGND, or with the
// dialog face colour when the procedure leaves it), clips the DC to the invalid area and
// validates it, as Windows does; GetDC clips to the client area only.
#include "platform/stand_in.h"

#include <algorithm>

using namespace standin;

namespace {

RECT wholeClient(const Window& window) {
  return RECT{0, 0, window.surface.width, window.surface.height};
}

void unite(RECT& into, const RECT& r) {
  if (isEmpty(r)) return;
  if (isEmpty(into)) {
    into = r;
    return;
  }
  into.left = std::min(into.left, r.left);
  into.top = std::min(into.top, r.top);
  into.right = std::max(into.right, r.right);
  into.bottom = std::max(into.bottom, r.bottom);
}

// Erases the invalid area when an erase is pending, letting the procedure do it first.
void eraseNow(Window& window, HDC dc) {
  if (!window.erasePending) return;
  window.erasePending = false;
  if (callProcedure(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) return;
  if (DeviceContext* context = findContext(dc)) fillRect(*context, window.invalid, dialogFaceColor);
}

void validate(Window& window) {
  window.invalid = RECT{0, 0, 0, 0};
  window.erasePending = false;
}

}  // namespace

namespace standin {

void invalidate(Window& window, const RECT* rect, bool erase) {
  RECT r = rect ? *rect : wholeClient(window);
  if (!intersect(r, wholeClient(window))) return;
  unite(window.invalid, r);
  window.erasePending = window.erasePending || erase;
}

bool hasInvalidArea(const Window& window) { return !isEmpty(window.invalid); }

void sendPaint(Window& window) {
  HWND handle = reinterpret_cast<HWND>(&window);
  callProcedure(window, WM_PAINT, 0, 0);
  // The default handling (and a procedure that ignored the message) validates the window;
  // without it the window would ask to be painted for ever.
  if (findWindow(handle) && hasInvalidArea(window)) {
    PAINTSTRUCT paint;
    BeginPaint(handle, &paint);
    EndPaint(handle, &paint);
  }
}

}  // namespace standin

extern "C" {

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
  Window* window = findWindow(handle);
  if (!window || !paint) return nullptr;
  HDC dc = newWindowContext(*window, window->invalid);
  eraseNow(*window, dc);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->fErase = FALSE;
  paint->rcPaint = window->invalid;
  validate(*window);
  return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(handle, paint->hdc);
  return TRUE;
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  if (erase && window->erasePending) {
    HDC dc = newWindowContext(*window, window->invalid);
    eraseNow(*window, dc);
    ReleaseDC(handle, dc);
  }
  if (rect) *rect = window->invalid;
  return hasInvalidArea(*window);
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
  if (!handle) {
    for (Window* window : state().windows) invalidate(*window, nullptr, erase);
    return TRUE;
  }
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  invalidate(*window, rect, erase);
  return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  // The invalid area is kept as one rectangle: it is validated only when covered whole.
  const RECT& inv = window->invalid;
  if (!rect || (rect->left <= inv.left && rect->top <= inv.top && rect->right >= inv.right &&
                rect->bottom >= inv.bottom))
    validate(*window);
  return TRUE;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN region, UINT flags) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  RECT area = wholeClient(*window);
  if (rect) area = *rect;
  if (Region* r = findAs<Region>(region, Kind::Region)) {
    area = RECT{0, 0, 0, 0};
    for (const Span& s : r->spans) unite(area, RECT{s.left, s.y, s.right, s.y + 1});
  }
  if (flags & RDW_INVALIDATE) invalidate(*window, &area, (flags & RDW_ERASE) != 0);
  if (flags & RDW_VALIDATE) ValidateRect(handle, &area);
  if (flags & RDW_ERASENOW) GetUpdateRect(handle, nullptr, TRUE);
  if ((flags & RDW_UPDATENOW) && hasInvalidArea(*window)) sendPaint(*window);
  return TRUE;
}

BOOL UpdateWindow(HWND handle) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  if (hasInvalidArea(*window)) sendPaint(*window);
  return TRUE;
}

HDC GetDC(HWND handle) {
  Window* window = findWindow(handle);
  if (!window) return nullptr;
  return newWindowContext(*window, wholeClient(*window));
}

int ReleaseDC(HWND, HDC dc) {
  DeviceContext* context = findContext(dc);
  if (!context || !context->window) return 0;
  return DeleteDC(dc);
}

}  // extern "C"
