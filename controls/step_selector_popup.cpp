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
               at.top + selector->absoluteY() + by + kPopupOffset, panel->width, panel->height,
               TRUE);
    return TRUE;
}

void paintPopup(HWND popupWindow, PopupPanel* panel) {
    RECT update{};
    GetUpdateRect(popupWindow, &update, FALSE);
    Rect16 area{int16_t(update.top), int16_t(update.left), int16_t(update.bottom),
                int16_t(update.right)};
    panel->dispatch(0, 0, &area, ControlEvent::Paint);
    PAINTSTRUCT paint{};
    BeginPaint(popupWindow, &paint);
    panel->dispatch(0, 0, dataFromWindow(popupWindow), ControlEvent::Draw);
    EndPaint(popupWindow, &paint);
}

void sendKey(PopupPanel* panel, uint16_t character) {
    panel->dispatch(0, 0, &character, ControlEvent::Key);
}

void finishPopup(HWND popupWindow, StepSelector* selector, int32_t px, int32_t py) {
    ReleaseCapture();
    selector->popup()->dispatch(px, py, nullptr, ControlEvent::LeftUp);
    selector->dispatch(px, py, nullptr, ControlEvent::LeftUp);
    EndDialog(popupWindow, 1);
    if (PressButton* button = selector->button()) button->redraw();
}

INT_PTR handlePopupMessage(HWND popupWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return startPopup(popupWindow, reinterpret_cast<PopupRun*>(lParam));
    PopupRun* run = runOf(popupWindow);
    if (!run) return FALSE;
    StepSelector* selector = run->selector;
    PopupPanel* panel = selector->popup();
    // Client coordinates are the signed 16-bit halves of lParam.
    const int32_t px = int16_t(LOWORD(lParam)), py = int16_t(HIWORD(lParam));
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
        if (const UINT c = MapVirtualKeyA(UINT(wParam), MAPVK_VK_TO_CHAR))
            sendKey(panel, uint16_t(c));
        return TRUE;
    case WM_COMMAND:
        sendKey(panel, KeyCode::Enter);
        panel->dispatch(0, 0, nullptr, ControlEvent::Advance);
        return TRUE;
    case WM_MOUSEMOVE:
        panel->dispatch(px, py, nullptr, ControlEvent::MouseMove);
        return TRUE;
    case WM_LBUTTONDOWN:
        SetCapture(popupWindow);
        panel->dispatch(clampedToZero(px), clampedToZero(py), nullptr, ControlEvent::LeftDown);
        return TRUE;
    case WM_LBUTTONUP:
        finishPopup(popupWindow, selector, px, py);
        return TRUE;
    case WM_NEXTDLGCTL:
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK popupProcedure(HWND popupWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    return guardProcedure(popupWindow, [&] {
        return handlePopupMessage(popupWindow, message, wParam, lParam);
    });
}

}  // namespace

uint32_t StepSelector::openPopup() {
    if (!popup_) return 0;
    popup_->open();
    raise(popup_);
    captured = popup_;
    captureButton = ControlEvent::LeftDown;
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
