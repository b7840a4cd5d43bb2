// StepSelector: a setting chosen from pictures. It shows a caption, a short baseline and, at its
// right end, a button with the picture of the current choice; pressing the button opens a small
// borderless popup window (from a dialog template such as "POPUP2") with every choice in a
// column, run as a nested modal loop; releasing the left button over a picture picks it.
//
// Contract: the selector owns its caption, its popup panel (inactive except while the popup
// window is open) and the current choice's button, which it replaces after every choice; it
// owns its link list (entry 0 the selector, then linked controls) but neither the bitmaps, the
// bound settings field nor the changed flag. The bound field holds the chosen item's value; the
// button always shows the picture of the value in the bound field. onChange(links) is
// called on every release that reaches the selector and by onInit. When the popup window cannot
// be created, "dialog failure" is shown and nothing changes. The whole popup session runs
// inside the press of the selector's button, which it replaces: nothing may use that button
// after its action returns.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/control_group.h"
#include "controls/popup_list.h"
#include "controls/setting_options.h"
#include "controls/text_label.h"

// Told the selector's link list (entry 0 the selector).
using StepSelectorChange = std::function<uint32_t(Control* const* links)>;

class StepSelector : public ControlGroup {
 public:
  // The window is the popup's owner too.
  struct Options : SettingOptions {
    int32_t count = 0;  // the choices: a picture pair and a value each
    const HBITMAP* normalBitmaps = nullptr;
    const HBITMAP* pressedBitmaps = nullptr;
    const int32_t* values = nullptr;
    const char* popupTemplate = "";  // the dialog template of the popup window
    int32_t linkCount = 0;           // link list entries besides the selector itself
    StepSelectorChange onChange;
  };

  StepSelector(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
               Control* parent, const Options& options);
  ~StepSelector() override;

  void reset() override;
  HWND window() override;
  // The baseline with its end ticks, then the children.
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onInit() override;

  void setLink(int32_t index, Control* control);
  Control* link(int32_t index) const;
  int32_t value() const { return bound_ ? *bound_ : 0; }
  // Shows and stores value when an item carries it and returns true; otherwise changes nothing
  // and returns false. With notify, onChange is called too.
  bool setValue(int32_t value, bool notify);

  // Runs the popup window modally; the action of the selector's button. Returns 0.
  uint32_t openPopup();

  PopupPanel* popup() const { return popup_; }
  PressButton* button() const { return button_; }
  TextLabel* caption() const { return caption_; }
  const std::string& popupTemplate() const { return popupTemplate_; }

 private:
  void showItem(BitmapButton* item);
  void callOnChange();
  void closePopup();

  HWND window_;
  PopupPanel* popup_;
  PressButton* button_;
  TextLabel* caption_;
  std::string popupTemplate_;
  int32_t* bound_;
  std::vector<Control*> links_;
  StepSelectorChange onChange_;
};
