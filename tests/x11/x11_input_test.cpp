// X11 input as the stand-in's windows take it: pointer events in client coordinates with the
// buttons Windows reports, and keysyms as virtual keys, without a display.
#include <gtest/gtest.h>

#include "hostapp/x11/x11_input.h"

// After GoogleTest: X's headers define macros (None, Bool) that its templates use as names.
#include <X11/X.h>
#include <X11/keysym.h>

using x11input::PointerKind;

TEST(X11Pointer, ButtonsAndPositionsBecomeWindowsMouseMessages) {
  struct Case {
    const char* what;
    PointerKind kind;
    unsigned button;
    unsigned state;  // before the event, as X reports it
    UINT message;
    WPARAM wParam;  // after the event, as Windows reports it
  };
  const Case cases[] = {
      {"left press", PointerKind::press, Button1, 0, WM_LBUTTONDOWN, MK_LBUTTON},
      {"left release", PointerKind::release, Button1, Button1Mask, WM_LBUTTONUP, 0},
      {"right press", PointerKind::press, Button3, 0, WM_RBUTTONDOWN, MK_RBUTTON},
      {"right release, left held", PointerKind::release, Button3, Button1Mask | Button3Mask,
       WM_RBUTTONUP, MK_LBUTTON},
      {"middle press", PointerKind::press, Button2, 0, WM_MBUTTONDOWN, 0},
      {"drag with shift", PointerKind::motion, 0, Button1Mask | ShiftMask, WM_MOUSEMOVE,
       MK_LBUTTON | MK_SHIFT},
      {"move with control", PointerKind::motion, 0, ControlMask, WM_MOUSEMOVE, MK_CONTROL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = x11input::pointerMessage({c.kind, c.button, c.state, 530, 412}, POINT{500, 400});
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->message, c.message);
    EXPECT_EQ(m->wParam, c.wParam);
    EXPECT_EQ(GET_X_LPARAM(m->lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(m->lParam), 12);
  }
}

// A pointer left or above the client area (a drag past the window's edge) stays negative.
TEST(X11Pointer, PositionsOutsideTheClientAreaKeepTheirSign) {
  auto m =
      x11input::pointerMessage({PointerKind::motion, 0, Button1Mask, 95, 390}, POINT{100, 400});
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(GET_X_LPARAM(m->lParam), -5);
  EXPECT_EQ(GET_Y_LPARAM(m->lParam), -10);
}

TEST(X11Pointer, WheelAndExtraButtonsAreNotClicks) {
  for (unsigned button : {4u, 5u, 6u, 7u, 8u}) {
    SCOPED_TRACE(button);
    EXPECT_FALSE(x11input::pointerMessage({PointerKind::press, button, 0, 1, 1}, POINT{0, 0}));
    EXPECT_FALSE(x11input::pointerMessage({PointerKind::release, button, 0, 1, 1}, POINT{0, 0}));
  }
}

// Keysyms are what the layout produced: a digit typed with Shift on a French keyboard, the
// keypad's decimal comma on a German one, and letters of either case give the keys a US
// keyboard would send for them.
TEST(X11Keys, KeysymsBecomeTheVirtualKeysTheDialogReads) {
  struct Case {
    unsigned long keysym;
    UINT key;
  };
  const Case cases[] = {
      {XK_0, '0'},
      {XK_9, '9'},
      {XK_a, 'A'},
      {XK_Z, 'Z'},
      {XK_KP_0, VK_NUMPAD0},
      {XK_KP_7, VK_NUMPAD7},
      {XK_period, VK_OEM_PERIOD},
      {XK_comma, VK_OEM_COMMA},
      {XK_KP_Decimal, VK_DECIMAL},
      {XK_KP_Separator, VK_DECIMAL},
      {XK_minus, VK_OEM_MINUS},
      {XK_KP_Subtract, VK_SUBTRACT},
      {XK_BackSpace, VK_BACK},
      {XK_Delete, VK_DELETE},
      {XK_Return, VK_RETURN},
      {XK_KP_Enter, VK_RETURN},
      {XK_Escape, VK_ESCAPE},
      {XK_Tab, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB},
      {XK_Left, VK_LEFT},
      {XK_Down, VK_DOWN},
      {XK_F1, VK_F1},
      // Keys that mean nothing to the dialog.
      {XK_Shift_L, 0},
      {XK_eacute, 0},
      {XK_F2, 0},
      {NoSymbol, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keysym);
    EXPECT_EQ(x11input::virtualKey(c.keysym), c.key);
  }
}
