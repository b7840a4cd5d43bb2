#include "hostapp/color_memory.h"

#include <utility>

#include "hostapi/constants.h"

namespace {

// Components of the document spaces remembered; 0 for the others.
int componentsOf(int16 space) {
  switch (space) {
    case plugIncolorServicesCMYKSpace:
      return 4;
    case plugIncolorServicesLabSpace:
      return 3;
    case plugIncolorServicesGraySpace:
      return 1;
    default:
      return 0;
  }
}

// Components are 0..255; anything else is not a colour this engine can key.
bool packable(const int16 components[], int count) {
  for (int i = 0; i < count; ++i)
    if (components[i] < 0 || components[i] > 255) return false;
  return true;
}

uint32_t rgbKey(int16 space, const int16 rgb[3]) {
  return (uint32_t(space & 0xFF) << 24) | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) |
         uint32_t(rgb[2]);
}

uint32_t pack(const int16 components[], int count) {
  uint32_t packed = 0;
  for (int i = 0; i < count; ++i) packed |= uint32_t(components[i]) << (24 - 8 * i);
  return packed;
}

size_t slotOf(uint32_t key, size_t mask) {
  // A multiplicative hash spreads the RGB bytes over the whole table.
  return size_t((uint64_t(key) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

bool RememberingColorEngine::Origins::find(uint32_t key, uint32_t* value) const {
  if (slots_.empty()) return false;
  const size_t mask = slots_.size() - 1;
  for (size_t i = slotOf(key, mask);; i = (i + 1) & mask) {
    const uint32_t stored = uint32_t(slots_[i] >> 32);
    if (stored == key) {
      *value = uint32_t(slots_[i]);
      return true;
    }
    if (stored == 0) return false;
  }
}

void RememberingColorEngine::Origins::insert(uint32_t key, uint32_t value) {
  if ((count_ + 1) * 2 > slots_.size()) grow();
  const size_t mask = slots_.size() - 1;
  for (size_t i = slotOf(key, mask);; i = (i + 1) & mask) {
    const uint32_t stored = uint32_t(slots_[i] >> 32);
    if (stored == key) return;
    if (stored == 0) {
      slots_[i] = (uint64_t(key) << 32) | value;
      ++count_;
      return;
    }
  }
}

void RememberingColorEngine::Origins::grow() {
  std::vector<uint64_t> old;
  old.swap(slots_);
  slots_.assign(old.empty() ? size_t(1) << 16 : old.size() * 2, 0);
  count_ = 0;
  for (uint64_t slot : old)
    if (slot >> 32 != 0) insert(uint32_t(slot >> 32), uint32_t(slot));
}

uint64_t RememberingColorEngine::Answers::keyOf(int16 sourceSpace, int16 resultSpace,
                                                const int16 components[4]) {
  if (sourceSpace < 0 || sourceSpace >= 8 || resultSpace < 0 || resultSpace >= 8 ||
      !packable(components, 4))
    return 0;
  return kAsked | (uint64_t(sourceSpace) << 35) | (uint64_t(resultSpace) << 32) |
         pack(components, 4);
}

RememberingColorEngine::Answers::Answer& RememberingColorEngine::Answers::slotOf(uint64_t key) {
  const uint64_t mixed = (key & ~(kAsked | kRemembered)) * 0x9E3779B97F4A7C15ull;
  return slots_[size_t(mixed >> (64 - kSlotBits))];
}

namespace {

void give(const RememberingColorEngine::Answers::Answer& slot, int16 components[4]) {
  for (int i = 0; i < 4; ++i) components[i] = slot.components[i];
}

void keep(RememberingColorEngine::Answers::Answer& slot, uint64_t question,
          const int16 components[4]) {
  slot.question = question;
  for (int i = 0; i < 4; ++i) slot.components[i] = components[i];
}

}  // namespace

bool RememberingColorEngine::convertByEngine(int16 sourceSpace, int16 resultSpace,
                                             int16 components[4], Answers::Answer* slot,
                                             uint64_t key) {
  if (slot != nullptr && slot->question == key) {
    give(*slot, components);
    return true;
  }
  if (!engine_->convert(sourceSpace, resultSpace, components)) return false;
  if (slot != nullptr) keep(*slot, key, components);
  return true;
}

RememberingColorEngine::RememberingColorEngine(std::unique_ptr<ColorEngine> engine)
    : engine_(std::move(engine)) {}

bool RememberingColorEngine::convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) {
  const int sourceCount = componentsOf(sourceSpace);
  const int resultCount = componentsOf(resultSpace);
  const uint64_t key = Answers::keyOf(sourceSpace, resultSpace, components);
  Answers::Answer* slot = key != 0 ? &answers_.slotOf(key) : nullptr;
  if (resultSpace == plugIncolorServicesRGBSpace && sourceCount > 0 &&
      packable(components, sourceCount)) {
    // A colour answered before has already been offered to the remembered colours, with the
    // same RGB; offering it again would change nothing.
    if (slot != nullptr && slot->question == key) {
      give(*slot, components);
      return true;
    }
    const uint32_t original = pack(components, sourceCount);
    if (!convertByEngine(sourceSpace, resultSpace, components, slot, key)) return false;
    if (packable(components, 3) && origins_.size() < kColorMemoryLimit)
      origins_.insert(rgbKey(sourceSpace, components), original);
    return true;
  }
  if (sourceSpace == plugIncolorServicesRGBSpace && resultCount > 0 && packable(components, 3)) {
    if (slot != nullptr && slot->question == (key | Answers::kRemembered)) {
      give(*slot, components);
      return true;
    }
    uint32_t found = 0;
    if (origins_.find(rgbKey(resultSpace, components), &found)) {
      for (int i = 0; i < resultCount; ++i) components[i] = int16((found >> (24 - 8 * i)) & 0xFF);
      if (slot != nullptr) keep(*slot, key | Answers::kRemembered, components);
      return true;
    }
  }
  return convertByEngine(sourceSpace, resultSpace, components, slot, key);
}
