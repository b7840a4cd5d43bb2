#include "controls/number_editor.h"

#include <utility>

NumberEditor::NumberEditor(int32_t value, int32_t minimum, int32_t maximum, TextControl* target,
                           ValueCallback callback, int32_t scale)
    : ValueEditor(target),
      entry_{value, minimum, maximum, scale, fittedFractionStep(value, scale)},
      committed_(value),
      callback_(std::move(callback)) {}

void NumberEditor::reset() {
  callback_ = nullptr;
  ValueEditor::reset();
}

uint32_t NumberEditor::show(const char* suffix) {
  if (!target_) return 0;
  const int32_t v = entry_.value;
  const int32_t scale = entry_.scale;
  if (scale <= 0) {
    target_->setText("%i%s", v, suffix);
  } else if (v % scale == 0) {
    target_->setText("%i%s", v / scale, suffix);
  } else {
    target_->setText("%f%s", double(v) / scale, suffix);
  }
  return 1;
}

uint32_t NumberEditor::notify(int32_t v) { return callback_ ? callback_(v) : 0; }

// Zero is never committed: a field emptied by backspace shows 0 but keeps its last real value.
uint32_t NumberEditor::key(char16_t key) {
  const int32_t old = entry_.value;
  entry_ = applyKey(entry_, key);
  const int32_t v = entry_.value;
  if (v == old || v < entry_.minimum || v > entry_.maximum || v == 0) return 0;
  committed_ = v;
  return notify(v);
}

uint32_t NumberEditor::leave() {
  uint32_t result = 0;
  if (entry_.value != committed_) {
    entry_.value = committed_;
    entry_.fractionStep = fittedFractionStep(committed_, entry_.scale);
    result = notify(committed_);
  }
  return show("") | result;
}

void NumberEditor::beginEntry() {
  entry_.value = 0;
  entry_.fractionStep = entry_.scale;
}

void NumberEditor::setValue(int32_t v) {
  entry_.value = v;
  committed_ = v;
  entry_.fractionStep = fittedFractionStep(v, entry_.scale);
}

void NumberEditor::setRange(int32_t minimum, int32_t maximum) {
  entry_.minimum = minimum;
  entry_.maximum = maximum;
  entry_.fractionStep = fittedFractionStep(entry_.value, entry_.scale);
}
