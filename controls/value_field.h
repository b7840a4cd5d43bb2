// ValueField: a settings field edited with a slider: a caption, a horizontal track with a
// triangular thumb, and either the selected item's name (list style) or a typed number with a
// unit (numeric style).
//
// Contract: the field writes its value into the bound settings field whenever the value changes
// and raises the dialog's changed flag when the user changed it; onInit re-reads the bound field.
// It owns its children (thumb tracker, click area, caption, item text or number box), its copies
// of the item names and its link list; it owns neither the bound field nor the changed flag.
// Entry 0 of the link list is the field itself, the other entries are linked fields (null until
// set); onChange receives that list whenever the value changes with notification. A field that
// shows a number has a NumberBox and takes the keyboard focus. A count of 50 or more is
// widened by one so that a numeric field offers 0 up to its maximum inclusive. The slider is
// drawn in window coordinates at the field's absolute position; drawing state lives only within
// one drawing call. The item's name is right-aligned at the track's right end and kept clear of
// the caption's text; a name too long for that room is drawn in a smaller height of the font.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/drag_tracker.h"
#include "controls/number_box.h"
#include "controls/range_group.h"
#include "controls/setting_options.h"
#include "controls/text_label.h"

class ValueField;
// Told the field's link list (entry 0 the field) whenever its value changes with notification.
using ValueFieldChange = std::function<uint32_t(ValueField* const* links)>;

// What a value field shows beside its caption.
enum class FieldText {
  None,
  ItemName,  // the name of the selected item
  Number,    // the value as a number that can be typed, with its unit
};

class ValueField : public RangeGroup {
 public:
  struct Options : SettingOptions {
    int32_t count = 1;  // values 0 .. count - 1, in multiples of step
    int32_t step = 1;
    int32_t value = 0;
    int32_t offset = 0;  // what a number shows is (offset + value) / step
    int32_t thumbWidth = 0;
    bool ticks = false;  // a tick along the track for every value
    FieldText text = FieldText::None;
    const char* const* items = nullptr;  // ItemName: the names in value order
    const char* unit = "";               // Number: shown after the number
    int32_t decimals = 0;                // Number: 0, 1 or 2
    int32_t linkCount = 0;               // link list entries besides the field itself
    ValueFieldChange onChange;
  };

  ValueField(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
             Control* parent, const Options& options);
  ~ValueField() override;

  // Frees the item names and the links and forgets the binding, then clears the group.
  void reset() override;
  HWND window() override;
  uint32_t draw(Position origin, HWND window) override;
  // Hands the release to the captured child, then raises the changed flag.
  uint32_t onButtonUp(Position at, MouseButton button) override;
  uint32_t onInit() override;

  // Selects a value (clamped into the range). Returns false when neither the value nor the
  // thumb changed; otherwise moves the thumb, writes the bound field and, when notify is set,
  // calls onChange, and returns true.
  bool setValue(int32_t index, bool notify);
  // A new range (count values) and display offset; the value is kept within it, the thumb
  // moved to the new scale and nobody notified.
  void setRange(int32_t count, int32_t offset);
  void refreshText();
  void setLink(int32_t index, ValueField* field);

  double scale() const;
  int32_t thumbWidth() const { return thumbWidth_; }
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
  void build(const Options& options, int32_t originalCount);
  int32_t numberScale() const;
  // Pixels left for the item's name between the caption's text and the track's right end.
  int32_t itemRoom() const;
  void markChanged();
  // Draws the thumb at once: black, or white to erase it before it moves.
  void paintThumb(bool visible);

  HWND window_;
  std::vector<std::string> items_;
  bool ticks_;
  FieldText text_;
  int32_t decimals_;
  int32_t thumbWidth_;
  bool* changed_;
  std::vector<ValueField*> links_;
  ValueFieldChange onChange_;
  InvisibleDragTracker* thumb_;
  HotSpot* clickArea_;
  TextLabel* caption_;
  TextLabel* itemText_;
  NumberBox* numberBox_;
  int32_t offset_;
};
