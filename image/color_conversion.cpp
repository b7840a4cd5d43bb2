#include "image/color_conversion.h"

#include <cstring>

#include "hostapi/color_services.h"
#include "hostapi/constants.h"
#include "image/color_cache.h"

namespace {

constexpr int kMaxComponents = 4;

int32 modeSpace(const RunColors& colors, int32 mode) {
  return mode >= 0 && mode < kImageModeCount ? colors.colorSpaceOfMode[mode]
                                             : plugIncolorServicesChosenSpace;
}

int32 componentCount(const RunColors& colors, int32 mode) {
  int32 count = modeChannels(colors, mode);
  return count < kMaxComponents ? count : kMaxComponents;
}

// Black is the colour every photograph has most of, so both caches start with it.
void primeCache(const PixelServices& services, ColorCache* cache, int32 fromMode, int32 toMode) {
  const uint8 black[kMaxComponents] = {0, 0, 0, 0};
  uint8 converted[kMaxComponents] = {0, 0, 0, 0};
  convertColorThroughHost(services, fromMode, toMode, black, converted);
  insertColor(cache, black, converted);
}

}  // namespace

int32 modeChannels(const RunColors& colors, int32 mode) {
  return mode >= 0 && mode < kImageModeCount ? colors.channelsOfMode[mode] : 0;
}

bool modeUsesColorCaches(int32 mode) {
  return mode == plugInModeCMYKColor || mode == plugInModeLabColor;
}

bool hostConvertsColors(const PixelServices& services) { return services.colorServices != nullptr; }

void convertColorThroughHost(const PixelServices& services, int32 sourceMode, int32 targetMode,
                             const uint8* source, uint8* result) {
  if (!hostConvertsColors(services)) return;
  RunColors& colors = *services.colors;
  // Once the host has failed, the run is over: asking again for every other pixel would only
  // repeat the failure, however long the host takes over it.
  if (colors.colorError != noErr) {
    std::memset(result, 0, size_t(componentCount(colors, targetMode)));
    return;
  }
  ColorServicesInfo info{};
  info.infoSize = int32(sizeof(ColorServicesInfo));
  info.selector = plugIncolorServicesConvertColor;
  info.sourceSpace = int16(modeSpace(colors, sourceMode));
  info.resultSpace = int16(modeSpace(colors, targetMode));
  int32 sourceCount = componentCount(colors, sourceMode);
  for (int32 i = 0; i < sourceCount; ++i) info.colorComponents[i] = int16(source[i]);
  const OSErr answer = services.colorServices(&info);
  int32 resultCount = componentCount(colors, targetMode);
  if (answer != noErr) {
    if (colors.colorError == noErr) colors.colorError = answer;
    for (int32 i = 0; i < resultCount; ++i) result[i] = 0;
    return;
  }
  for (int32 i = 0; i < resultCount; ++i) result[i] = uint8(info.colorComponents[i] & 0xff);
}

void convertColorCached(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                        int32 targetMode, const uint8* source, uint8* result) {
  int32 resultCount = componentCount(*services.colors, targetMode);
  const uint8* known = lookupColor(cache, source);
  if (known != nullptr) {
    std::memcpy(result, known, size_t(resultCount));
    return;
  }
  convertColorAndRemember(services, cache, sourceMode, targetMode, source, result);
}

void convertColorAndRemember(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                             int32 targetMode, const uint8* source, uint8* result) {
  convertColorThroughHost(services, sourceMode, targetMode, source, result);
  // A failed conversion is not a colour to remember.
  if (services.colors->colorError == noErr) insertColor(cache, source, result);
}

void createColorCaches(const PixelServices& services, int32 documentMode) {
  RunColors& colors = *services.colors;
  destroyColorCaches(colors);
  colors.colorError = noErr;
  const int32 mode = documentMode;
  int32 channels = modeChannels(colors, mode);
  int32 rgbChannels = modeChannels(colors, plugInModeRGBColor);
  // The host's conversions are plain functions of the colour, so what the caches forget
  // changes only how often the host is asked, never a colour.
  const int8 bits = modeUsesColorCaches(mode) ? kColorCacheSlotBits : kUnusedColorCacheSlotBits;
  colors.toRgbCache =
      createColorCache(services.memory.procs(), bits, int8(channels), int8(rgbChannels));
  colors.fromRgbCache =
      createColorCache(services.memory.procs(), bits, int8(rgbChannels), int8(channels));
  // Without the host's colour services there is nothing true to prime with.
  if (hostConvertsColors(services)) {
    primeCache(services, colors.toRgbCache, mode, plugInModeRGBColor);
    primeCache(services, colors.fromRgbCache, plugInModeRGBColor, mode);
  }
  unlockColorCache(colors.toRgbCache);
  unlockColorCache(colors.fromRgbCache);
}

void destroyColorCaches(RunColors& colors) {
  destroyColorCache(colors.toRgbCache);
  destroyColorCache(colors.fromRgbCache);
}
