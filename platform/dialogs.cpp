// Dialogs from named templates, and their modal loops. A modal loop never waits: it paints
// whatever is invalid, then takes the next input the driver queued; when the queue is empty
// while the dialog is still open, it ends the dialog as a failure (-1) and records why, so a
// test fails instead of hanging. Enter, Escape and Tab reach the dialog as the dialog manager
// turns them: the OK and Cancel commands and the next-control request.
#include "platform/dialog_templates.h"
#include "platform/stand_in.h"

#include <algorithm>

using namespace standin;

namespace {

std::string templateKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(uintptr_t(name));
  return name;
}

// Dialog units to pixels: the template's font sets the base units ("MS Sans Serif" 8 gives
// 6 x 13 pixels per 4 x 8 units; the system font 8 x 16).
POINT templatePixels(const DialogTemplate& t) {
  bool setFont = (t.style & DS_SETFONT) != 0;
  int baseX = setFont ? 6 : 8, baseY = setFont ? 13 : 16;
  return POINT{t.width * baseX / 4, t.height * baseY / 8};
}

Window* createDialog(LPCSTR name, HWND owner, DLGPROC procedure, LPARAM parameter) {
  if (!name) return nullptr;
  std::string key = templateKey(name);
  const DialogTemplate* found = findDialogTemplate(key);
  if (!found) return nullptr;
  POINT size = templatePixels(*found);
  Window* window = createWindow(key, size.x, size.y, LONG(found->style), findWindow(owner),
                                procedure);
  HWND handle = reinterpret_cast<HWND>(window);
  callProcedure(*window, WM_INITDIALOG, 0, parameter);
  if (findWindow(handle) && (found->style & WS_VISIBLE)) ShowWindow(handle, SW_SHOW);
  return findWindow(handle);
}

void runModalLoop(Window& dialog) {
  while (!dialog.ended) {
    paintInvalidWindows();
    if (dialog.ended) break;
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
  dialogTemplates()[name] = DialogTemplate{widthUnits, heightUnits, style};
  return true;
}

}  // namespace platform

extern "C" {

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM parameter) {
  Window* dialog = createDialog(name, owner, procedure, parameter);
  if (!dialog) return -1;
  State& s = state();
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
