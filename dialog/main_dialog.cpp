#include "dialog/main_dialog.h"

#include <cstring>

#include "controls/procedure_guard.h"
#include "controls/window_panel.h"
#include "dialog/key_translation.h"
#include "dialog/picture_drawing.h"
#include "dialog/window_messages.h"
#include "host/module_instance.h"

namespace {

constexpr int kBuildDateX = 400;
constexpr int kBuildDateY = 10;
constexpr int kBuildDateHeight = 14;

FilterParameters* currentParameters = nullptr;
PluginGlobals* currentGlobals = nullptr;

uint32_t send(int32_t x, int32_t y, EventData data, int32_t event) {
  ControlGroup* controls = currentParameters ? currentParameters->controls : nullptr;
  return controls ? controls->dispatch(x, y, data, event) : 0;
}

// After input that may have changed a setting: one Refresh recomputes the preview and status.
void settle() {
  if (currentParameters && currentParameters->settingsChanged) {
    send(0, 0, nullptr, ControlEvent::Refresh);
    currentParameters->settingsChanged = false;
  }
}

void touch() {
  if (currentParameters) currentParameters->settingsTouched = true;
}

void initialise(HWND window, LPARAM lParam) {
  currentParameters = reinterpret_cast<FilterParameters*>(lParam);
  currentGlobals = currentParameters->globals;
  SetWindowLongA(window, GWL_STYLE, 0);
  currentParameters->moduleInstance = moduleInstance();
  currentParameters->dialogWindow = window;
  buildMainDialog(currentGlobals, currentParameters);
  send(0, 0, nullptr, ControlEvent::Init);
}

void paint(HWND window) {
  RECT update{};
  if (!GetUpdateRect(window, &update, FALSE)) return;
  Rect16 rect{int16_t(update.top), int16_t(update.left), int16_t(update.bottom),
              int16_t(update.right)};
  send(0, 0, &rect, ControlEvent::Paint);
  PAINTSTRUCT ps;
  BeginPaint(window, &ps);
  send(0, 0, dataFromWindow(window), ControlEvent::Draw);
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

void keyDown(HWND window, WPARAM wParam) {
  touch();
  char character = translateKey(UINT(wParam));
  if (character == 0) return;
  if (character == 'v' || character == 'V') drawBuildDate(window);
  uint16_t key = uint8_t(character);
  send(0, 0, &key, ControlEvent::Key);
  settle();
}

void mouse(HWND window, UINT message, LPARAM lParam) {
  int32_t x = mouseX(lParam), y = mouseY(lParam);
  int32_t event = ControlEvent::MouseMove;
  switch (message) {
    case WM_LBUTTONDOWN: event = ControlEvent::LeftDown; break;
    case WM_LBUTTONUP: event = ControlEvent::LeftUp; break;
    case WM_RBUTTONDOWN: event = ControlEvent::RightDown; break;
    case WM_RBUTTONUP: event = ControlEvent::RightUp; break;
    default: break;
  }
  if (event != ControlEvent::MouseMove) {
    touch();
    x = notNegative(x);
    y = notNegative(y);
    if (event == ControlEvent::LeftDown || event == ControlEvent::RightDown) SetCapture(window);
    else ReleaseCapture();
  }
  send(x, y, nullptr, event);
  settle();
}

// Enter moves the keyboard focus on through the focusable fields; it never presses OK.
void enterCommand() {
  uint16_t key = KeyCode::Enter;
  send(0, 0, &key, ControlEvent::Key);
  if (!(send(0, 0, nullptr, ControlEvent::Advance) & ControlResult::Advance))
    send(0, 0, nullptr, ControlEvent::Advance);
  settle();
}

// Escape first takes the keyboard focus from a field that holds it; only an Escape while no
// field holds it cancels the dialog.
void escapeCommand(HWND window) {
  uint16_t key = KeyCode::Cancel;
  send(0, 0, &key, ControlEvent::Key);
  if (!(send(0, 0, nullptr, ControlEvent::FocusOut) & ControlResult::FocusOut)) {
    currentParameters->cancelled = true;
    EndDialog(window, 2);
  }
  settle();
}

INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: initialise(window, lParam); return TRUE;
    case WM_PAINT: paint(window); return TRUE;
    case WM_KEYDOWN: keyDown(window, wParam); return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: mouse(window, message, lParam); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) enterCommand();
      else if (LOWORD(wParam) == IDCANCEL) escapeCommand(window);
      else return FALSE;
      return TRUE;
    case WM_NEXTDLGCTL: return TRUE;
    default: return FALSE;
  }
}

}  // namespace

// A message whose handling threw ends the dialog as abandoned; the messages that still arrive
// before its modal loop returns find no state to work on, since what the failed handler left
// behind may be half-changed.
extern "C" INT_PTR CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG && !currentParameters) return FALSE;
  try {
    return handleMessage(window, message, wParam, lParam);
  } catch (...) {
    currentParameters = nullptr;
    currentGlobals = nullptr;
    EndDialog(window, kDialogAbandoned);
    return TRUE;
  }
}

INT_PTR runMainDialog(PluginGlobals* globals, FilterParameters* parameters) {
  const FilterRecord* record = globals->filterRecord;
  const auto* platform = record ? static_cast<const PlatformData*>(record->platformData) : nullptr;
  HWND owner = platform ? reinterpret_cast<HWND>(platform->hwnd) : nullptr;
  INT_PTR result = DialogBoxParamA(moduleInstance(), "MAINDIALOG", owner, FilterProc,
                                   reinterpret_cast<LPARAM>(parameters));
  currentParameters = nullptr;
  currentGlobals = nullptr;
  return result;
}
