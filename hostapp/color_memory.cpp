#include "hostapp/color_memory.h"

#include <utility>

#include "hostapi/constants.h"

namespace {

// Components of the document spaces remembered; 0 for the others.
int componentsOf(int16 space) {
  switch (space) {
    case plugIncolorServicesCMYKSpace: return 4;
    case plugIncolorServicesLabSpace: return 3;
    case plugIncolorServicesGraySpace: return 1;
    default: return 0;
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

}  // namespace

RememberingColorEngine::RememberingColorEngine(std::unique_ptr<ColorEngine> engine)
    : engine_(std::move(engine)) {}

bool RememberingColorEngine::convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) {
  const int sourceCount = componentsOf(sourceSpace);
  const int resultCount = componentsOf(resultSpace);
  if (resultSpace == plugIncolorServicesRGBSpace && sourceCount > 0 &&
      packable(components, sourceCount)) {
    const uint32_t original = pack(components, sourceCount);
    if (!engine_->convert(sourceSpace, resultSpace, components)) return false;
    if (packable(components, 3) && origins_.size() < kColorMemoryLimit)
      origins_.emplace(rgbKey(sourceSpace, components), original);
    return true;
  }
  if (sourceSpace == plugIncolorServicesRGBSpace && resultCount > 0 && packable(components, 3)) {
    auto found = origins_.find(rgbKey(resultSpace, components));
    if (found != origins_.end()) {
      for (int i = 0; i < resultCount; ++i)
        components[i] = int16((found->second >> (24 - 8 * i)) & 0xFF);
      return true;
    }
  }
  return engine_->convert(sourceSpace, resultSpace, components);
}
