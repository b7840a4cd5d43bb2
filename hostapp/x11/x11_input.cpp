#include "hostapp/x11/x11_input.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace x11input {
namespace {

// The buttons held down, as Windows reports them in a mouse message's wParam.
WPARAM heldButtons(unsigned state) {
  WPARAM keys = 0;
  if (state & Button1Mask) keys |= MK_LBUTTON;
  if (state & Button3Mask) keys |= MK_RBUTTON;
  if (state & ShiftMask) keys |= MK_SHIFT;
  if (state & ControlMask) keys |= MK_CONTROL;
  return keys;
}

struct ButtonMessages {
  WPARAM flag;
  UINT down;
  UINT up;
};

std::optional<ButtonMessages> buttonMessages(unsigned button) {
  switch (button) {
    case Button1:
      return ButtonMessages{MK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP};
    case Button2:
      return ButtonMessages{0, WM_MBUTTONDOWN, WM_MBUTTONUP};
    case Button3:
      return ButtonMessages{MK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP};
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<Message> pointerMessage(const PointerEvent& event, POINT clientOrigin) {
  Message m;
  m.lParam = MAKELPARAM(event.rootX - clientOrigin.x, event.rootY - clientOrigin.y);
  m.wParam = heldButtons(event.state);
  if (event.kind == PointerKind::motion) {
    m.message = WM_MOUSEMOVE;
    return m;
  }
  auto button = buttonMessages(event.button);
  if (!button) return std::nullopt;
  // X reports the state before the event; Windows the buttons held after it.
  if (event.kind == PointerKind::press) {
    m.message = button->down;
    m.wParam |= button->flag;
  } else {
    m.message = button->up;
    m.wParam &= ~button->flag;
  }
  return m;
}

UINT virtualKey(unsigned long keysym) {
  if (keysym >= XK_0 && keysym <= XK_9) return UINT('0' + (keysym - XK_0));
  if (keysym >= XK_a && keysym <= XK_z) return UINT('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return UINT(keysym);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return UINT(VK_NUMPAD0 + (keysym - XK_KP_0));
  switch (keysym) {
    case XK_BackSpace:
      return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return VK_TAB;
    case XK_Return:
    case XK_KP_Enter:
      return VK_RETURN;
    case XK_Escape:
      return VK_ESCAPE;
    case XK_space:
      return VK_SPACE;
    case XK_Delete:
    case XK_KP_Delete:
      return VK_DELETE;
    case XK_Left:
      return VK_LEFT;
    case XK_Right:
      return VK_RIGHT;
    case XK_Up:
      return VK_UP;
    case XK_Down:
      return VK_DOWN;
    case XK_F1:
      return VK_F1;
    case XK_period:
      return VK_OEM_PERIOD;
    case XK_comma:
      return VK_OEM_COMMA;
    case XK_minus:
      return VK_OEM_MINUS;
    case XK_plus:
      return VK_ADD;
    case XK_KP_Decimal:
      return VK_DECIMAL;
    // A layout whose keypad has a decimal comma reports the separator.
    case XK_KP_Separator:
      return VK_DECIMAL;
    case XK_KP_Add:
      return VK_ADD;
    case XK_KP_Subtract:
      return VK_SUBTRACT;
    case XK_KP_Multiply:
      return VK_MULTIPLY;
    case XK_KP_Divide:
      return VK_DIVIDE;
    default:
      return 0;
  }
}

}  // namespace x11input
