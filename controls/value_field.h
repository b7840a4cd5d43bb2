// ValueField: a settings field edited with a slider: a caption, a horizontal track with a
// triangular thumb, and either the selected item's name (list style) or a typed number with a
// unit (numeric style).
//
// Contract: the field writes its value into the bound settings field whenever the value changes
// and raises the dialog's changed flag when the user changed it; onInit re-reads the bound field.
// It owns its children (thumb tracker, click area, caption, item text or number box), its copies
// of the item names and its link list; it owns neither the bound field nor the changed flag.
// Entry 0 of the link list is the field itself, the other entries are linked fields (null until
// set); onChange receives that list and its context word whenever the value changes with
// notification. Style bits: 1 ticks along the track, 2 numeric (a NumberBox; the field is then
// Focusable), 4 list (the item's name), 8 and 16 one and two decimals. A count of 50 or more is
// widened by one so that a numeric field offers 0 up to its maximum inclusive. The slider is
// drawn in window coordinates at the field's absolute position; drawing state lives only within
// one drawing call. The item's name is right-aligned at the track's right end and kept clear of
// the caption's text; a name too long for that room is drawn in a smaller height of the font.
#pragma once

#include <string>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/drag_tracker.h"
#include "controls/number_box.h"
#include "controls/range_group.h"
#include "controls/text_label.h"

class ValueField;
using ValueFieldChange = uint32_t (*)(ValueField* const* links, void* context);

struct ValueFieldStyle {
    enum : uint32_t { Ticks = 1, Numeric = 2, List = 4, OneDecimal = 8, TwoDecimals = 16 };
};

class ValueField : public RangeGroup {
public:
    // List selector: no links, no change callback.
    ValueField(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
               Control* parent, int32_t count, int32_t step, int32_t value, int32_t* bound,
               bool* changed, int32_t thumbWidth, const char* fontName, int32_t weight,
               const char* caption, HWND window, uint32_t style, const char* unit,
               const char* const* items, int32_t offset);
    // Numeric field with linkCount further links and a change callback.
    ValueField(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
               Control* parent, int32_t count, int32_t step, int32_t value, int32_t* bound,
               bool* changed, int32_t thumbWidth, const char* fontName, int32_t weight,
               const char* caption, HWND window, uint32_t style, const char* unit,
               const char* const* items, int32_t linkCount, ValueFieldChange onChange,
               void* onChangeContext, int32_t offset);
    ~ValueField() override;

    // Frees the item names and the links and forgets the binding, then clears the group.
    void reset() override;
    HWND window() override;
    uint32_t draw(Position origin, HWND window) override;
    // Hands the release to the captured child, then raises the changed flag.
    uint32_t onButtonUp(Position at, MouseButton button) override;
    uint32_t onInit() override;

    // Selects a value (clamped into the range). Returns 0 when neither the value nor the thumb
    // changed; otherwise moves the thumb, writes the bound field and, when notify has bit 1,
    // calls onChange. Returns 1.
    int setValue(int32_t index, int32_t notify);
    // A new range (count values) and display offset; the value is kept within it, the thumb
    // moved to the new scale and nobody notified.
    void setRange(int32_t count, int32_t offset);
    void refreshText();
    void setLink(int32_t index, ValueField* field);

    double scale() const;
    int32_t thumbWidth() const { return thumbWidth_; }
    uint32_t style() const { return style_; }
    int32_t offset() const { return offset_; }
    InvisibleDragTracker* thumb() const { return thumb_; }
    HotSpot* clickArea() const { return clickArea_; }
    TextLabel* caption() const { return caption_; }
    TextLabel* itemText() const { return itemText_; }
    NumberBox* numberBox() const { return numberBox_; }
    ValueField* link(int32_t index) const;

    // The user's ways of choosing a value; public so the callbacks of the children reach them.
    void clickAt(int32_t x);
    void dragBy(int32_t dx, bool raiseChanged);
    void typed(int32_t number);

private:
    void build(const char* fontName, int32_t weight, const char* caption, const char* unit,
               const char* const* items, int32_t originalCount);
    int32_t numberScale() const;
    // Pixels left for the item's name between the caption's text and the track's right end.
    int32_t itemRoom() const;
    void markChanged();
    // Draws the thumb at once: black, or white to erase it before it moves.
    void paintThumb(bool visible);

    HWND window_;
    std::vector<std::string> items_;
    uint32_t style_;
    int32_t thumbWidth_;
    bool* changed_;
    std::vector<ValueField*> links_;
    ValueFieldChange onChange_;
    void* onChangeContext_;
    InvisibleDragTracker* thumb_;
    HotSpot* clickArea_;
    TextLabel* caption_;
    TextLabel* itemText_;
    NumberBox* numberBox_;
    int32_t offset_;
};
