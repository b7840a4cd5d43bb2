// BitmapControl: a control that shows a bitmap, and a second one while a mouse button holds it.
//
// Contract: the bitmaps are not owned; whoever loaded them (the dialog's bitmap list) deletes
// them after the controls are gone. The image is copied whole at its own size, not the
// control's, with its top-left corner at the control's position in the target window. A null
// bitmap draws nothing. Every state change redraws the control at once.
#pragma once

#include "controls/control.h"

class BitmapControl : public Control {
 public:
  BitmapControl(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                Control* parent, HBITMAP bitmap, HBITMAP pressedBitmap);
  ~BitmapControl() override;

  void reset() override;
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;

  virtual uint32_t setBitmap(HBITMAP bitmap);
  virtual uint32_t setPressedBitmap(HBITMAP bitmap);

  HBITMAP bitmap() const { return bitmap_; }
  HBITMAP pressedBitmap() const { return pressedBitmap_; }
  bool isPressed() const { return pressed_ != 0; }

 protected:
  uint32_t press();
  uint32_t release();

  HBITMAP bitmap_;
  HBITMAP pressedBitmap_;
  int32_t pressed_;
};
