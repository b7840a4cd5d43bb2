#include "controls/value_field.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "controls/slider_geometry.h"

namespace {

constexpr int32_t kMaxItems = 255;
constexpr int32_t kCaptionHeight = 12;
// Clear space kept between the end of the caption's text and the start of the item's name.
constexpr int32_t kCaptionGap = 2;
// Counts from here on are numeric ranges whose maximum must itself be selectable.
constexpr int32_t kWidenedCount = 50;

}  // namespace

ValueField::ValueField(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                       Control* parent, const Options& options)
    : RangeGroup(x, y, width, height, flags, parent, options.count, options.step, options.value,
                 options.bound),
      window_(options.window),
      ticks_(options.ticks),
      text_(options.text),
      decimals_(options.decimals),
      thumbWidth_(options.thumbWidth < 0 ? 0 : options.thumbWidth),
      changed_(options.changed),
      links_(size_t(options.linkCount < 0 ? 0 : options.linkCount) + 1, nullptr),
      onChange_(options.onChange),
      thumb_(nullptr),
      clickArea_(nullptr),
      caption_(nullptr),
      itemText_(nullptr),
      numberBox_(nullptr),
      offset_(options.offset) {
  links_[0] = this;
  const int32_t originalCount = count_;
  if (count_ >= kWidenedCount) ++count_;
  value_ = slider::clampIndex(value_, count_, step_);
  if (bound_) *bound_ = value_;
  if (text_ == FieldText::Number) this->flags.focusable = true;
  build(options, originalCount);
}

ValueField::~ValueField() { ValueField::reset(); }

// The thumb stands where setValue would put it, so that Init with an unchanged value finds
// nothing to move and tells nobody.
void ValueField::build(const Options& options, int32_t originalCount) {
  const int32_t w = width, h = height, t = thumbWidth_;
  const char* fontName = options.fontName;
  const int32_t weight = options.weight;
  const char* const* items = options.items;
  const ControlFlags plain = ControlFlags::Active;
  thumb_ = add(std::make_unique<InvisibleDragTracker>(
      slider::thumbX(value_, scale()), 0, t, h, plain, this,
      [this](Position offset) { dragBy(offset.x, false); },
      [this](Position offset) { dragBy(offset.x, true); }));
  caption_ =
      add(std::make_unique<TextLabel>(t / 2, 0, w / 2, kCaptionHeight, plain, this, options.caption,
                                      fontName, weight, window_, 0, 0, TA_LEFT));
  if (text_ == FieldText::ItemName) {
    const int32_t itemCount = items ? std::min(originalCount / step_, kMaxItems) : 0;
    for (int32_t i = 0; i < itemCount; ++i) items_.emplace_back(items[i] ? items[i] : "");
    auto label = std::make_unique<TextLabel>(w - w / 2, 0, w / 2, kCaptionHeight, plain, this, "",
                                             fontName, weight, window_, w - t / 2 - 1, 0, TA_RIGHT);
    label->setFitWidth(itemRoom());
    itemText_ = add(std::move(label));
  } else if (text_ == FieldText::Number) {
    auto typedNumber = [this](int32_t number) {
      typed(number);
      return 0u;
    };
    numberBox_ = add(std::make_unique<NumberBox>(
        w - w / 2, 0, w / 2 - t / 2 - 1, kCaptionHeight, ControlFlags::Focusable, this,
        (offset_ + value_) / step_, offset_ / step_, (offset_ + count_ - 1) / step_, typedNumber,
        fontName, weight, options.unit, numberScale()));
  }
  auto jumpToClick = [this](Position at) {
    clickAt(at.x);
    return 1u;
  };
  clickArea_ = add(std::make_unique<HotSpot>(0, 0, w, h, plain, this, jumpToClick));
  refreshText();
}

// The item's name ends at the right end of the track and may reach back only to the caption's
// drawn text, not to the middle of the field: names such as "Digital Camera (mid range)" are
// wider than half a field, and the caption, drawn after the name, would cut their start off.
// Names still wider than this room are drawn smaller by the label.
int32_t ValueField::itemRoom() const {
  const int32_t captionEnd = caption_->x + caption_->textWidth();
  const int32_t room = width - thumbWidth_ / 2 - 1 - captionEnd - kCaptionGap;
  return room > 1 ? room : 1;
}

void ValueField::reset() {
  items_.clear();
  links_.clear();
  onChange_ = nullptr;
  bound_ = nullptr;
  changed_ = nullptr;
  thumb_ = nullptr;
  clickArea_ = nullptr;
  caption_ = nullptr;
  itemText_ = nullptr;
  numberBox_ = nullptr;
  RangeGroup::reset();
}

HWND ValueField::window() { return window_; }

int32_t ValueField::numberScale() const {
  if (decimals_ >= 2) return 100;
  if (decimals_ == 1) return 10;
  return 0;
}

double ValueField::scale() const { return slider::scale(width, thumbWidth_, count_); }

ValueField* ValueField::link(int32_t index) const {
  return index >= 0 && size_t(index) < links_.size() ? links_[size_t(index)] : nullptr;
}

void ValueField::setLink(int32_t index, ValueField* field) {
  if (index >= 0 && size_t(index) < links_.size()) links_[size_t(index)] = field;
}

void ValueField::markChanged() {
  if (changed_) *changed_ = true;
}

// Two neighbouring values can share a thumb pixel when there are more values than track
// pixels; the value still changes then (it is written, shown and reported), only the thumb
// stays where it is.
bool ValueField::setValue(int32_t index, bool notify) {
  const int32_t previous = value_;
  value_ = slider::clampIndex(index, count_, step_);
  const int32_t newX = slider::thumbX(value_, scale());
  const bool moves = thumb_ && newX != thumb_->x;
  if (!moves && value_ == previous) return false;
  if (moves) {
    paintThumb(false);
    thumb_->moveBy(newX - thumb_->x, 0);
  }
  refreshText();
  if (bound_) *bound_ = value_;
  if (notify && onChange_) onChange_(links_.data());
  if (moves) paintThumb(true);
  return true;
}

void ValueField::setRange(int32_t count, int32_t offset) {
  offset_ = offset;
  setCount(count);
  setValue(value_, false);
  if (bound_) *bound_ = value_;
  refreshText();
  if (numberBox_) {
    numberBox_->numberEditor()->setRange(offset_ / step_, (offset_ + count_ - 1) / step_);
  }
  redraw();
}

void ValueField::refreshText() {
  if (numberBox_) {
    numberBox_->setValue((offset_ + value_) / step_);
  } else if (itemText_) {
    const size_t item = size_t(value_ / step_);
    itemText_->setText("%s", item < items_.size() ? items_[item].c_str() : "");
  }
}

void ValueField::clickAt(int32_t px) {
  const int32_t index = slider::indexAt(double(px - thumbWidth_ / 2), scale(), step_);
  if (setValue(index, true)) markChanged();
}

void ValueField::dragBy(int32_t dx, bool raiseChanged) {
  if (!thumb_) return;
  const int32_t index = slider::indexAt(double(dx) + double(thumb_->x), scale(), step_);
  if (setValue(index, true) && raiseChanged) markChanged();
}

// The number box shows (offset + value) / step, so a typed number maps back the same way.
void ValueField::typed(int32_t number) {
  setValue(number * step_ - offset_, true);
  markChanged();
}

uint32_t ValueField::onButtonUp(Position at, MouseButton button) {
  const uint32_t result = RangeGroup::onButtonUp(at, button);
  markChanged();
  return result;
}

// A bound value outside the range is written back clamped, even when the clamped value is the
// one already selected, so the settings never keep a value the field cannot show.
uint32_t ValueField::onInit() {
  if (!bound_) return 0;
  setValue(*bound_, true);
  refreshText();
  if (*bound_ != value_) *bound_ = value_;
  return 0;
}
