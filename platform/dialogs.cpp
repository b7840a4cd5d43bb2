// Dialogs from named templates, and their modal loops. A modal loop never waits on its own: it
// paints whatever is invalid, then takes the next input the driver queued; when the queue is
// empty it asks the host's input source (platform/presentation.h), if there is one, and when
// the queue is still empty while the dialog is open, it ends the dialog as a failure (-1) and
// records why, so a test fails instead of hanging. Enter, Escape and Tab reach the dialog as the
// dialog manager turns them: the OK and Cancel commands and the next-control request.
#include "platform/dialog_templates.h"
#include "platform/stand_in.h"

#include <algorithm>

using namespace standin;

namespace {

std::string templateKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(uintptr_t(name));
  return name;
}

struct BaseUnits {
  int x, y;
};

// The template's font sets the base units: "MS Sans Serif" 8 gives 6 x 13 pixels per 4 x 8
// dialog units, the system font 8 x 16.
BaseUnits baseUnits(const DialogTemplate& t) {
  return (t.style & DS_SETFONT) ? BaseUnits{6, 13} : BaseUnits{8, 16};
}

// Dialog units to pixels as MulDiv converts them: to the nearest pixel, halves away from zero.
int unitsToPixels(int units, int base, int per) {
  long long scaled = (long long)units * base;
  long long magnitude = ((scaled < 0 ? -scaled : scaled) * 2 + per) / (2 * per);
  return int(scaled < 0 ? -magnitude : magnitude);
}

POINT templatePixels(const DialogTemplate& t) {
  BaseUnits base = baseUnits(t);
  return POINT{unitsToPixels(t.width, base.x, 4), unitsToPixels(t.height, base.y, 8)};
}

// Where Windows opens a dialog: the template's position is where the dialog's client area
// starts, counted from the owner's client origin (from the screen's with DS_ABSALIGN or without
// an owner); DS_CENTER centres the whole window on the screen instead. A top-level dialog is
// then pushed back onto the screen: first so that its far edges, plus a dialog frame's width,
// stay inside, then so that its top-left corner does.
void placeDialog(Window& dialog, const DialogTemplate& t, const Window* owner) {
  const int width = dialog.rect.right - dialog.rect.left;
  const int height = dialog.rect.bottom - dialog.rect.top;
  const int screenWidth = state().screenWidth, screenHeight = state().screenHeight;
  POINT at;
  if (t.style & DS_CENTER) {
    at = POINT{(screenWidth - width) / 2, (screenHeight - height) / 2};
  } else {
    POINT origin{0, 0};
    if (owner && ((t.style & WS_CHILD) || !(t.style & DS_ABSALIGN))) {
      RECT ownerClient = clientRect(*owner);
      origin = POINT{ownerClient.left, ownerClient.top};
    }
    const RECT client = clientRect(dialog);
    const BaseUnits base = baseUnits(t);
    at = POINT{origin.x + unitsToPixels(t.x, base.x, 4) - (client.left - dialog.rect.left),
               origin.y + unitsToPixels(t.y, base.y, 8) - (client.top - dialog.rect.top)};
  }
  if (!(t.style & WS_CHILD)) {
    at.x -= std::max(0, at.x + width + GetSystemMetrics(SM_CXDLGFRAME) - screenWidth);
    at.y -= std::max(0, at.y + height + GetSystemMetrics(SM_CYDLGFRAME) - screenHeight);
    at.x = std::max(at.x, LONG(0));
    at.y = std::max(at.y, LONG(0));
  }
  dialog.rect = RECT{at.x, at.y, at.x + width, at.y + height};
}

Window* createDialog(LPCSTR name, HWND owner, DLGPROC procedure, LPARAM parameter) {
  if (!name) return nullptr;
  std::string key = templateKey(name);
  const DialogTemplate* found = findDialogTemplate(key);
  if (!found) return nullptr;
  POINT size = templatePixels(*found);
  Window* ownerWindow = findWindow(owner);
  Window* window = createWindow(key, size.x, size.y, LONG(found->style), ownerWindow, procedure);
  placeDialog(*window, *found, ownerWindow);
  HWND handle = reinterpret_cast<HWND>(window);
  callProcedure(*window, WM_INITDIALOG, 0, parameter);
  if (findWindow(handle) && (found->style & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
  return findWindow(handle);
}

// WM_CANCELMODE with the dialog manager's default answer: a procedure that leaves the message
// alone loses the mouse capture if it holds it.
void cancelMode(Window& window) {
  HWND handle = reinterpret_cast<HWND>(&window);
  if (!callProcedure(window, WM_CANCELMODE, 0, 0) && findWindow(handle) &&
      state().capture == &window)
    ReleaseCapture();
}

void runModalLoop(Window& dialog) {
  while (!dialog.ended) {
    paintInvalidWindows();
    if (dialog.ended) break;
    if (state().input.empty() && state().inputSource && !state().inputSource()) {
      state().failures.push_back("the dialog \"" + dialog.templateName +
                                 "\" lost its input source while still open");
      dialog.result = -1;
      break;
    }
    if (state().input.empty()) {
      state().failures.push_back("the dialog \"" + dialog.templateName +
                                 "\" was still open when the queued input ran out");
      dialog.result = -1;
      break;
    }
    deliverNextInput();
  }
}

}  // namespace

namespace platform {

bool registerDialogTemplate(const char* name, int widthUnits, int heightUnits, DWORD style) {
  return registerDialogTemplate(name, 0, 0, widthUnits, heightUnits, style);
}

bool registerDialogTemplate(const char* name, int xUnits, int yUnits, int widthUnits,
                            int heightUnits, DWORD style) {
  dialogTemplates()[name] = DialogTemplate{xUnits, yUnits, widthUnits, heightUnits, style};
  return true;
}

}  // namespace platform

extern "C" {

// As on Windows, a modal dialog cancels modes twice: disabling its owner sends WM_CANCELMODE to
// the window holding the capture before the dialog is made, and the dialog, active once its
// WM_INITDIALOG returns, is sent WM_CANCELMODE itself before it is first shown. A capture taken
// in WM_INITDIALOG is therefore gone unless the dialog procedure answers WM_CANCELMODE.
INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM parameter) {
  State& s = state();
  if (!name || !findDialogTemplate(templateKey(name))) return -1;
  if (s.capture) cancelMode(*s.capture);
  Window* dialog = createDialog(name, owner, procedure, parameter);
  if (!dialog) return -1;
  if (!dialog->ended) cancelMode(*dialog);
  if (!findWindow(reinterpret_cast<HWND>(dialog))) return -1;
  s.modalStack.push_back(dialog);
  if (!dialog->ended) ShowWindow(reinterpret_cast<HWND>(dialog), SW_SHOW);
  runModalLoop(*dialog);
  INT_PTR result = dialog->result;
  bool destroyed = dialog->destroyed;
  s.modalStack.erase(std::find(s.modalStack.begin(), s.modalStack.end(), dialog));
  if (destroyed) {
    s.windows.erase(std::find(s.windows.begin(), s.windows.end(), dialog));
    delete dialog;
  } else {
    destroyWindow(*dialog);
  }
  return result;
}

HWND CreateDialogParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM parameter) {
  return reinterpret_cast<HWND>(createDialog(name, owner, procedure, parameter));
}

BOOL EndDialog(HWND handle, INT_PTR result) {
  Window* window = findWindow(handle);
  if (!window) return FALSE;
  window->ended = true;
  window->result = result;
  return TRUE;
}

}  // extern "C"

namespace standin {

void paintInvalidWindows() {
  std::vector<Window*> windows = state().windows;  // painting may open or close windows
  for (Window* window : windows)
    if (findWindow(reinterpret_cast<HWND>(window)) && !window->destroyed &&
        (window->style & WS_VISIBLE) && hasInvalidArea(*window))
      sendPaint(*window);
}

Window* newestFromTemplate(const std::string& name) {
  const auto& windows = state().windows;
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if ((*it)->templateName == name && !(*it)->destroyed) return *it;
  return nullptr;
}

Window* dialogOnTop() {
  auto& stack = state().modalStack;
  for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    if (!(*it)->destroyed) return *it;
  return nullptr;
}

}  // namespace standin
