// The step selector's popup window: a borderless window made from the selector's dialog
// template, placed just right of and below the selector's button and run as a nested modal loop
// on the dialog's thread. It holds the mouse capture while it is open, feeds the popup panel
// with the pointer's moves and ends on the left release, which picks the picture under the
// pointer. Only one popup is open at a time.
#include "controls/step_selector.h"

#include "controls/procedure_guard.h"
#include "controls/module_instance.h"

namespace {

// The popup opens this far right of and below the selector button's top-left corner.
constexpr int32_t kPopupOffset = 5;

// One showing of a popup: the selector it belongs to, and whether its window came up. The
// popup window carries it in its user data.
struct PopupRun {
  StepSelector* selector;
  bool started;
};

PopupRun* runOf(HWND popupWindow) {
  return reinterpret_cast<PopupRun*>(GetWindowLongPtrA(popupWindow, GWLP_USERDATA));
}

int32_t clampedToZero(int32_t v) { return v < 0 ? 0 : v; }

INT_PTR startPopup(HWND popupWindow, PopupRun* run) {
  SetWindowLongPtrA(popupWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(run));
  run->started = true;
  StepSelector* selector = run->selector;
  ReleaseCapture();
  SetCapture(popupWindow);
  PopupPanel* panel = selector->popup();
  panel->setWindow(popupWindow);
  SetWindowLongA(popupWindow, GWL_STYLE, 0);
  RECT at{};
  GetWindowRect(popupWindow, &at);
  const PressButton* button = selector->button();
  const int32_t bx = button ? button->x : 0, by = button ? button->y : 0;
  MoveWindow(popupWindow, at.left + selector->absoluteX() + bx + kPopupOffset,
             at.top + selector->absoluteY() + by + kPopupOffset, panel->width, panel->height, TRUE);
  return TRUE;
}

void paintPopup(HWND popupWindow, PopupPanel* panel) {
  RECT update{};
  GetUpdateRect(popupWindow, &update, FALSE);
  Rect16 area{int16_t(update.top), int16_t(update.left), int16_t(update.bottom),
              int16_t(update.right)};
  panel->onPaint(area);
  PAINTSTRUCT paint{};
  BeginPaint(popupWindow, &paint);
  panel->draw({0, 0}, popupWindow);
  EndPaint(popupWindow, &paint);
}

void finishPopup(HWND popupWindow, StepSelector* selector, Position at) {
  ReleaseCapture();
  selector->popup()->onButtonUp(at, MouseButton::Left);
  selector->onButtonUp(at, MouseButton::Left);
  EndDialog(popupWindow, 1);
  if (PressButton* button = selector->button()) button->redraw();
}

INT_PTR handlePopupMessage(HWND popupWindow, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return startPopup(popupWindow, reinterpret_cast<PopupRun*>(lParam));
  PopupRun* run = runOf(popupWindow);
  if (!run) return FALSE;
  StepSelector* selector = run->selector;
  PopupPanel* panel = selector->popup();
  // Client coordinates are the signed 16-bit halves of lParam.
  const Position at{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))};
  switch (message) {
    case WM_PAINT:
      paintPopup(popupWindow, panel);
      return TRUE;
    case WM_CANCELMODE:
      // Between WM_INITDIALOG and the first showing, the dialog manager makes the popup the
      // active window and sends it WM_CANCELMODE, whose default answer would drop the
      // capture just taken: pointer moves would then go to the dialog until the release.
      // The popup is a pointer-tracking mode of its own that ends on the release, so it
      // keeps the capture.
      return TRUE;
    case WM_KEYDOWN:
      if (const UINT c = MapVirtualKeyA(UINT(wParam), MAPVK_VK_TO_CHAR)) panel->onKey(char16_t(c));
      return TRUE;
    case WM_COMMAND:
      panel->onKey(KeyCode::Enter);
      panel->onAdvance();
      return TRUE;
    case WM_MOUSEMOVE:
      panel->onMouseMove(at);
      return TRUE;
    case WM_LBUTTONDOWN:
      SetCapture(popupWindow);
      panel->onButtonDown({clampedToZero(at.x), clampedToZero(at.y)}, MouseButton::Left);
      return TRUE;
    case WM_LBUTTONUP:
      finishPopup(popupWindow, selector, at);
      return TRUE;
    case WM_NEXTDLGCTL:
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK popupProcedure(HWND popupWindow, UINT message, WPARAM wParam, LPARAM lParam) {
  return guardProcedure(popupWindow,
                        [&] { return handlePopupMessage(popupWindow, message, wParam, lParam); });
}

}  // namespace

uint32_t StepSelector::openPopup() {
  if (!popup_) return 0;
  popup_->open();
  raise(popup_);
  captured = popup_;
  captureButton = MouseButton::Left;
  PopupRun run{this, false};
  const INT_PTR outcome = DialogBoxParamA(moduleInstance(), popupTemplate_.c_str(), window_,
                                          popupProcedure, reinterpret_cast<LPARAM>(&run));
  if (outcome == kDialogAbandoned) {
    closePopup();
    throw DialogAbandoned();
  }
  if (!run.started) MessageBoxA(window_, "dialog failure", "orv Brindlecraft 1.02", MB_OK);
  closePopup();
  return 0;
}
