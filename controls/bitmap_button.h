// Buttons: BitmapButton fires its action on a left release inside it, PressButton on the left
// press, HotSpot is an undrawn BitmapButton (a click area over a picture).
//
// Contract: the action is told where the button was hit, in the button's parent's coordinates;
// it may be empty, in which case the button still shows its pressed and released states. A right
// button presses the image but never fires. Because the group keeps delivering to the child that
// took the press, a button dragged off while held gets its release outside and only returns to
// normal. An action may destroy the button that called it (a popup replaces the button it came
// from), so nothing touches the button after its action has returned.
#pragma once

#include <functional>

#include "controls/bitmap_control.h"

using ButtonAction = std::function<uint32_t(Position at)>;

class BitmapButton : public BitmapControl {
 public:
  BitmapButton(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
               Control* parent, HBITMAP bitmap, HBITMAP pressedBitmap, ButtonAction action);
  ~BitmapButton() override;

  void reset() override;
  uint32_t onButtonUp(Position at, MouseButton button) override;

 protected:
  // Calls the action when there is one; 0 otherwise.
  uint32_t fire(Position at);

  ButtonAction action_;
};

class PressButton : public BitmapButton {
 public:
  using BitmapButton::BitmapButton;

  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;
};

class HotSpot : public BitmapButton {
 public:
  HotSpot(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags, Control* parent,
          ButtonAction action);

  uint32_t draw(Position origin, HWND window) override;
};
