// WindowPanel: the control group at the root of a dialog window, painted over a background
// bitmap.
//
// Contract: the panel owns its background control (not in the child list) but not the bitmap,
// which belongs to the dialog's bitmap list. It draws into the window it was given and answers
// that window for every control below it. When a paint pass marks the panel itself, it draws the
// background and then every child on top of it; otherwise only the marked children.
#pragma once

#include <memory>

#include "controls/bitmap_control.h"
#include "controls/control_group.h"

class WindowPanel : public ControlGroup {
 public:
  WindowPanel(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
              Control* parent, HWND window, HBITMAP backgroundBitmap);
  ~WindowPanel() override;

  void reset() override;
  HWND window() override;
  uint32_t draw(Position origin, HWND window) override;

  BitmapControl* background() const { return background_.get(); }

 private:
  std::unique_ptr<BitmapControl> background_;
  HWND window_;
};
