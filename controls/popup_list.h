// PopupList: a vertical column of picture buttons, one per choice, that highlights the picture
// under the pointer and stores the value of the one released on. PopupPanel is the same list
// living in a window of its own (the step selector's popup window), drawn as a framed box.
//
// Contract: the list copies the values and owns its item buttons; it owns neither the bitmaps
// (the dialog's bitmap list does), nor the bound settings field, nor the dialog's changed flag.
// Item i shows normalBitmaps[i], pressedBitmaps[i] while held, and stands for values[i]. The
// list is as wide as its widest picture plus two margins; pictures follow each other top to
// bottom spacing pixels apart (a negative spacing overlaps them). Only pointer moves choose:
// moving onto an item holds it (pressed picture) and lets go of the previous one without
// picking it; a left release picks the held item when the pointer is still on it. Closing the
// list (on every release) raises the changed flag when the bound value differs from the value
// the list was opened with, and takes the list out of hit testing and drawing.
#pragma once

#include <vector>

#include "controls/bitmap_button.h"
#include "controls/control_group.h"

class PopupList : public ControlGroup {
 public:
  PopupList(int32_t x, int32_t y, int32_t margin, int32_t spacing, ControlFlags flags,
            Control* parent, const HBITMAP* normalBitmaps, const HBITMAP* pressedBitmaps,
            int32_t* bound, const int32_t* values, bool* changed, int32_t count);
  ~PopupList() override;

  void reset() override;
  uint32_t onMouseMove(Position at) override;
  uint32_t onButtonDown(Position at, MouseButton button) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  // Hover: holds the item under the pointer; only moves are handled.
  uint32_t routeMouse(Position at, MouseAction action, MouseButton button) override;

  // Stores value into the bound field; the items' action. Returns 1.
  uint32_t select(int32_t value);
  // The item standing for value, null when none does.
  BitmapButton* itemFor(int32_t value) const;
  BitmapButton* itemAt(int32_t index) const;

  // Makes the list active and remembers the bound value it opens with.
  void open();
  // Lets go of a held item without picking it.
  void letGo();
  // Closes the list: raises the changed flag when the choice changed and leaves hit testing.
  uint32_t dismiss();

  int32_t count() const { return int32_t(values_.size()); }
  int32_t openValue() const { return openValue_; }
  BitmapButton* heldItem() const { return static_cast<BitmapButton*>(captured); }

 private:
  void buildItems(int32_t margin, int32_t spacing, const HBITMAP* normalBitmaps,
                  const HBITMAP* pressedBitmaps);

  std::vector<int32_t> values_;
  std::vector<BitmapButton*> items_;
  int32_t openValue_;
  int32_t* bound_;
  bool* changed_;
};

class PopupPanel : public PopupList {
 public:
  PopupPanel(int32_t x, int32_t y, int32_t margin, int32_t spacing, ControlFlags flags,
             Control* parent, HWND window, const HBITMAP* normalBitmaps,
             const HBITMAP* pressedBitmaps, int32_t* bound, const int32_t* values, bool* changed,
             int32_t count);

  HWND window() override;
  // Inside a window of its own the panel stands at its own origin.
  int32_t absoluteX() override;
  int32_t absoluteY() override;
  // A white box with a black frame, then the items on it; inside a window of its own always
  // into that window at its own origin, whatever origin and window it is handed.
  uint32_t draw(Position origin, HWND window) override;

  void setWindow(HWND window) { window_ = window; }

 private:
  bool ownWindow();
  void drawBox(HWND window);

  HWND window_;
};
