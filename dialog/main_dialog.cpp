#include "dialog/main_dialog.h"

#include <cstring>

#include "controls/procedure_guard.h"
#include "controls/window_panel.h"
#include "dialog/key_translation.h"
#include "dialog/picture_drawing.h"
#include "dialog/window_messages.h"
#include "controls/module_instance.h"

namespace {

constexpr int kBuildDateX = 400;
constexpr int kBuildDateY = 10;
constexpr int kBuildDateHeight = 14;

// Hands one call to the root of the dialog's controls; 0 while there are none.
template <class Call>
uint32_t send(MainDialog* p, Call call) {
  return p->controls ? call(*p->controls) : 0;
}

// After input that may have changed a setting: one Refresh recomputes the preview and status.
void settle(MainDialog* p) {
  if (p->settingsChanged) {
    send(p, [](Control& c) { return c.onRefresh(); });
    p->settingsChanged = false;
  }
}

void touch(MainDialog* p) { *p->run.settingsTouched = true; }

void initialise(HWND window, LPARAM lParam) {
  auto* p = reinterpret_cast<MainDialog*>(lParam);
  SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  SetWindowLongA(window, GWL_STYLE, 0);
  p->window = window;
  p->help.owner = window;
  buildMainDialog(p);
  send(p, [](Control& c) { return c.onInit(); });
}

void paint(MainDialog* p, HWND window) {
  RECT update{};
  if (!GetUpdateRect(window, &update, FALSE)) return;
  Rect16 rect{int16_t(update.top), int16_t(update.left), int16_t(update.bottom),
              int16_t(update.right)};
  send(p, [&](Control& c) { return c.onPaint(rect); });
  PAINTSTRUCT ps;
  BeginPaint(window, &ps);
  send(p, [&](Control& c) { return c.draw({0, 0}, window); });
  EndPaint(window, &ps);
}

// Written straight onto the window, outside the paint cycle: it stays until that part of the
// window is next repainted.
void drawBuildDate(HWND window) {
  HDC dc = GetDC(window);
  HFONT font = createDialogFont(kBuildDateHeight);
  drawTextLine(dc, font, RGB(255, 255, 255), kBuildDateX, kBuildDateY, buildDate());
  if (font) DeleteObject(font);
  ReleaseDC(window, dc);
}

void keyDown(MainDialog* p, HWND window, WPARAM wParam) {
  touch(p);
  char character = translateKey(UINT(wParam));
  if (character == 0) return;
  if (character == 'v' || character == 'V') drawBuildDate(window);
  const char16_t key = uint8_t(character);
  send(p, [&](Control& c) { return c.onKey(key); });
  settle(p);
}

void mouse(MainDialog* p, HWND window, UINT message, LPARAM lParam) {
  Position at{mouseX(lParam), mouseY(lParam)};
  MouseAction action = MouseAction::Move;
  MouseButton button = MouseButton::Left;
  switch (message) {
    case WM_LBUTTONDOWN:
      action = MouseAction::Press;
      break;
    case WM_LBUTTONUP:
      action = MouseAction::Release;
      break;
    case WM_RBUTTONDOWN:
      action = MouseAction::Press;
      button = MouseButton::Right;
      break;
    case WM_RBUTTONUP:
      action = MouseAction::Release;
      button = MouseButton::Right;
      break;
    default:
      break;
  }
  if (action != MouseAction::Move) {
    touch(p);
    at = {notNegative(at.x), notNegative(at.y)};
    if (action == MouseAction::Press)
      SetCapture(window);
    else
      ReleaseCapture();
  }
  send(p, [&](Control& c) { return sendMouse(c, at, action, button); });
  settle(p);
}

// Enter moves the keyboard focus on through the focusable fields; it never presses OK.
void enterCommand(MainDialog* p) {
  send(p, [](Control& c) { return c.onKey(KeyCode::Enter); });
  auto advance = [](Control& c) { return c.onAdvance(); };
  if (!(send(p, advance) & ControlResult::Advance)) send(p, advance);
  settle(p);
}

// Escape first takes the keyboard focus from a field that holds it; only an Escape while no
// field holds it cancels the dialog.
void escapeCommand(MainDialog* p, HWND window) {
  send(p, [](Control& c) { return c.onKey(KeyCode::Cancel); });
  if (!(send(p, [](Control& c) { return c.onFocusOut(); }) & ControlResult::FocusOut)) {
    EndDialog(window, 2);
  }
  settle(p);
}

INT_PTR handleMessage(MainDialog* p, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint(p, window);
      return TRUE;
    case WM_KEYDOWN:
      keyDown(p, window, wParam);
      return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      mouse(p, window, message, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK)
        enterCommand(p);
      else if (LOWORD(wParam) == IDCANCEL)
        escapeCommand(p, window);
      else
        return FALSE;
      return TRUE;
    case WM_NEXTDLGCTL:
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

// A message whose handling threw ends the dialog as abandoned; the messages that still arrive
// before its modal loop returns find no state to work on, since what the failed handler left
// behind may be half-changed.
extern "C" INT_PTR CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      initialise(window, lParam);
      return TRUE;
    }
    MainDialog* p = MainDialog::of(window);
    return p ? handleMessage(p, window, message, wParam, lParam) : FALSE;
  } catch (...) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    EndDialog(window, kDialogAbandoned);
    return TRUE;
  }
}

MainDialog::MainDialog(const DialogRun& run) : run(run) {}

// The controls go first: the bitmaps stay alive until nothing can draw them.
MainDialog::~MainDialog() {
  controls.reset();
  releaseDialogBitmaps(&bitmaps);
}

// The open dialog travels with its window, in the window's user data, from WM_INITDIALOG until
// the dialog ends or fails.
MainDialog* MainDialog::of(HWND window) {
  return reinterpret_cast<MainDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

INT_PTR MainDialog::runModal() {
  const FilterRecord* record = run.record;
  const auto* platform = record ? static_cast<const PlatformData*>(record->platformData) : nullptr;
  HWND owner = platform ? reinterpret_cast<HWND>(platform->hwnd) : nullptr;
  return DialogBoxParamA(moduleInstance(), "MAINDIALOG", owner, FilterProc,
                         reinterpret_cast<LPARAM>(this));
}
