// StepSelector: a setting chosen from pictures. It shows a caption, a short baseline and, at its
// right end, a button with the picture of the current choice; pressing the button opens a small
// borderless popup window (from a dialog template such as "POPUP2") with every choice in a
// column, run as a nested modal loop; releasing the left button over a picture picks it.
//
// Contract: the selector owns its caption, its popup panel (inactive except while the popup
// window is open) and the current choice's button, which it replaces after every choice; it
// owns its link list (entry 0 the selector, then linked controls) but neither the bitmaps, the
// bound settings field nor the changed flag. The bound field holds the chosen item's value; the
// button always shows the picture of the value in the bound field. onChange(links, context) is
// called on every release that reaches the selector and by onInit. When the popup window cannot
// be created, "dialog failure" is shown and nothing changes. The whole popup session runs
// inside the press of the selector's button, which it replaces: nothing may use that button
// after its action returns.
#pragma once

#include <string>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/control_group.h"
#include "controls/popup_list.h"
#include "controls/text_label.h"

using StepSelectorChange = uint32_t (*)(Control* const* links, void* context);

class StepSelector : public ControlGroup {
public:
    StepSelector(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                 Control* parent, HWND window, const HBITMAP* normalBitmaps,
                 const HBITMAP* pressedBitmaps, int32_t* bound, const int32_t* values,
                 bool* changed, int32_t count, const char* fontName, int32_t weight,
                 const char* caption, const char* popupTemplate, int32_t linkCount,
                 StepSelectorChange onChange, void* onChangeContext);
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
    // Shows and stores value when an item carries it and returns 1; otherwise changes nothing
    // and returns 0. Bit 1 of notify calls onChange.
    int setValue(int32_t value, int32_t notify);

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
    void* onChangeContext_;
};
