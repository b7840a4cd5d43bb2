#include "image/color_conversion.h"

#include <cstring>

#include "host/plugin_globals.h"
#include "hostapi/color_services.h"
#include "hostapi/constants.h"
#include "image/color_cache.h"

namespace {

constexpr int kMaxComponents = 4;

int32 modeSpace(const PluginGlobals& globals, int32 mode) {
  return mode >= 0 && mode < kImageModeCount ? globals.colorSpaceOfMode[mode]
                                             : plugIncolorServicesChosenSpace;
}

int32 componentCount(const PluginGlobals& globals, int32 mode) {
  int32 count = modeChannels(globals, mode);
  return count < kMaxComponents ? count : kMaxComponents;
}

ColorCache* createCache(PluginGlobals& globals, int32 keySize, int32 valueSize) {
  return createColorCache(globals.filterRecord->handleProcs, kColorCacheSlots, kColorCacheProbes,
                          int8(keySize + valueSize), int8(keySize));
}

// Black is the colour every photograph has most of, so both caches start with it.
void primeCache(PluginGlobals& globals, ColorCache* cache, int32 fromMode, int32 toMode) {
  const uint8 black[kMaxComponents] = {0, 0, 0, 0};
  uint8 converted[kMaxComponents] = {0, 0, 0, 0};
  convertColorThroughHost(globals, fromMode, toMode, black, converted);
  insertColor(cache, black, converted);
}

}  // namespace

int32 modeChannels(const PluginGlobals& globals, int32 mode) {
  return mode >= 0 && mode < kImageModeCount ? globals.channelsOfMode[mode] : 0;
}

bool hostConvertsColors(const PluginGlobals& globals) {
  return globals.filterRecord != nullptr && globals.filterRecord->colorServices != nullptr;
}

void convertColorThroughHost(PluginGlobals& globals, int32 sourceMode, int32 targetMode,
                             const uint8* source, uint8* result) {
  if (!hostConvertsColors(globals)) return;
  // Once the host has failed, the run is over: asking again for every other pixel would only
  // repeat the failure, however long the host takes over it.
  if (globals.colorError != noErr) {
    std::memset(result, 0, size_t(componentCount(globals, targetMode)));
    return;
  }
  ColorServicesInfo info{};
  info.infoSize = int32(sizeof(ColorServicesInfo));
  info.selector = plugIncolorServicesConvertColor;
  info.sourceSpace = int16(modeSpace(globals, sourceMode));
  info.resultSpace = int16(modeSpace(globals, targetMode));
  int32 sourceCount = componentCount(globals, sourceMode);
  for (int32 i = 0; i < sourceCount; ++i) info.colorComponents[i] = int16(source[i]);
  const OSErr answer = globals.filterRecord->colorServices(&info);
  int32 resultCount = componentCount(globals, targetMode);
  if (answer != noErr) {
    if (globals.colorError == noErr) globals.colorError = answer;
    for (int32 i = 0; i < resultCount; ++i) result[i] = 0;
    return;
  }
  for (int32 i = 0; i < resultCount; ++i) result[i] = uint8(info.colorComponents[i] & 0xff);
}

void convertColorCached(PluginGlobals& globals, ColorCache* cache, int32 sourceMode,
                        int32 targetMode, const uint8* source, uint8* result) {
  int32 resultCount = componentCount(globals, targetMode);
  const uint8* known = lookupColor(cache, source);
  if (known != nullptr) {
    std::memcpy(result, known, size_t(resultCount));
    return;
  }
  convertColorThroughHost(globals, sourceMode, targetMode, source, result);
  // A failed conversion is not a colour to remember.
  if (globals.colorError == noErr) insertColor(cache, source, result);
}

void createColorCaches(PluginGlobals& globals) {
  destroyColorCaches(globals);
  globals.colorError = noErr;
  int32 mode = globals.filterRecord->imageMode;
  int32 channels = modeChannels(globals, mode);
  int32 rgbChannels = modeChannels(globals, plugInModeRGBColor);
  globals.toRgbCache = createCache(globals, channels, rgbChannels);
  globals.fromRgbCache = createCache(globals, rgbChannels, channels);
  // Without the host's colour services there is nothing true to prime with.
  if (hostConvertsColors(globals)) {
    primeCache(globals, globals.toRgbCache, mode, plugInModeRGBColor);
    primeCache(globals, globals.fromRgbCache, plugInModeRGBColor, mode);
  }
  unlockColorCache(globals.toRgbCache);
  unlockColorCache(globals.fromRgbCache);
}

void destroyColorCaches(PluginGlobals& globals) {
  destroyColorCache(globals.toRgbCache);
  destroyColorCache(globals.fromRgbCache);
}
