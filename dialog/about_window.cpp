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

// One About window exists at a time (it is modal), so its two objects can be process-wide.
HBITMAP aboutPicture = nullptr;
HFONT aboutFont = nullptr;

// Idempotent, so a second close message or the final destroy cannot delete anything twice.
void releaseAboutObjects() {
  if (aboutFont) DeleteObject(aboutFont);
  if (aboutPicture) DeleteObject(aboutPicture);
  aboutFont = nullptr;
  aboutPicture = nullptr;
}

void centreOnScreen(HWND window, int width, int height) {
  int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  MoveWindow(window, left, top, width, height, TRUE);
}

void initialise(HWND window) {
  releaseAboutObjects();
  SetWindowLongA(window, GWL_STYLE, 0);
  aboutPicture = LoadBitmapA(moduleInstance(), "ABOUT_BITMAP");
  aboutFont = createDialogFont(kTextHeight);
  int width = 0, height = 0;
  if (pictureSize(aboutPicture, &width, &height)) centreOnScreen(window, width, height);
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  int width = 0, height = 0;
  if (dc && pictureSize(aboutPicture, &width, &height)) {
    drawPicture(dc, aboutPicture, 0, 0, width, height);
    drawTextLine(dc, aboutFont, kTextColor, kTextLeft, kVersionTop, aboutVersionLine());
    for (int i = 0; i < 2; ++i)
      drawTextLine(dc, aboutFont, kTextColor, kTextLeft, kMakerTops[i], aboutMakerLine(i));
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

INT_PTR handleAboutMessage(HWND window, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise(window);
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
      releaseAboutObjects();
      EndDialog(window, 1);
      return TRUE;
    case WM_DESTROY:
      releaseAboutObjects();
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK aboutDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
  try {
    return handleAboutMessage(window, message, wParam);
  } catch (...) {
    releaseAboutObjects();
    EndDialog(window, kDialogAbandoned);
    return TRUE;
  }
}
