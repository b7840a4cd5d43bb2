#include "dialog/about_window.h"

#include "controls/procedure_guard.h"
#include "dialog/picture_drawing.h"
#include "controls/module_instance.h"

namespace {

constexpr int kTextHeight = 14;
constexpr COLORREF kTextColor = RGB(130, 130, 130);
constexpr int kTextLeft = 214;
constexpr int kVersionTop = 219;
constexpr int kMakerTops[2] = {245, 257};

// The window's two objects. They live on the stack of runAboutWindow and travel with the
// window in its user data.
struct AboutWindow {
  HBITMAP picture = nullptr;
  HFONT font = nullptr;

  AboutWindow() = default;
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;
  ~AboutWindow() { release(); }

  // Idempotent, so a second close message or the final destroy cannot delete anything twice.
  void release() {
    if (font) DeleteObject(font);
    if (picture) DeleteObject(picture);
    font = nullptr;
    picture = nullptr;
  }
};

AboutWindow* stateOf(HWND window) {
  return reinterpret_cast<AboutWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void releaseAboutObjects(HWND window) {
  if (AboutWindow* about = stateOf(window)) about->release();
}

void centreOnScreen(HWND window, int width, int height) {
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  MoveWindow(window, left, top, width, height, TRUE);
}

void initialise(HWND window, LPARAM lParam) {
  auto* about = reinterpret_cast<AboutWindow*>(lParam);
  SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  SetWindowLongA(window, GWL_STYLE, 0);
  if (!about) return;
  about->release();
  about->picture = LoadBitmapA(moduleInstance(), "ABOUT_BITMAP");
  about->font = createDialogFont(kTextHeight);
  int width = 0, height = 0;
  if (pictureSize(about->picture, &width, &height)) centreOnScreen(window, width, height);
}

void paint(HWND window) {
  const AboutWindow* about = stateOf(window);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  int width = 0, height = 0;
  if (dc && about && pictureSize(about->picture, &width, &height)) {
    drawPicture(dc, about->picture, 0, 0, width, height);
    drawTextLine(dc, about->font, kTextColor, kTextLeft, kVersionTop, aboutVersionLine());
    for (int i = 0; i < 2; ++i)
      drawTextLine(dc, about->font, kTextColor, kTextLeft, kMakerTops[i], aboutMakerLine(i));
  }
  EndPaint(window, &ps);
}

// The dialog manager turns Enter and Escape (and a close request) into the OK and Cancel
// commands before any key message is sent, so these two close the window like every other key.
bool isCloseCommand(WPARAM wParam) {
  WORD command = LOWORD(wParam);
  return command == IDOK || command == IDCANCEL;
}

}  // namespace

const char* aboutVersionLine() { return "Inkjet version 1.02"; }

const char* aboutMakerLine(int index) {
  return index == 0 ? "orv Brindlecraft" : "print sharpening";
}

namespace {

INT_PTR handleAboutMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise(window, lParam);
      return TRUE;
    case WM_PAINT:
      paint(window);
      return TRUE;
    case WM_COMMAND:
      if (!isCloseCommand(wParam)) return FALSE;
      [[fallthrough]];
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      releaseAboutObjects(window);
      EndDialog(window, 1);
      return TRUE;
    case WM_DESTROY:
      releaseAboutObjects(window);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK aboutDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return handleAboutMessage(window, message, wParam, lParam);
  } catch (...) {
    releaseAboutObjects(window);
    EndDialog(window, kDialogAbandoned);
    return TRUE;
  }
}

INT_PTR runAboutWindow(HWND owner) {
  AboutWindow about;
  return DialogBoxParamA(moduleInstance(), "ABOUTDIALOG", owner, aboutDialogProcedure,
                         reinterpret_cast<LPARAM>(&about));
}
