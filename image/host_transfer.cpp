#include "image/host_transfer.h"

#include <type_traits>

#include "hostapi/constants.h"
#include "image/color_cache.h"
#include "image/color_conversion.h"
#include "image/image_plane.h"

namespace {

// How the pixels of a mode reach RGB and back.
enum class TransferRule { gray, channelCopy, hostConversion };

TransferRule transferRule(const RunColors& colors, int32 mode) {
  if (mode == plugInModeGrayScale) return TransferRule::gray;
  if (mode == plugInModeCMYKColor && colors.acceleration != 0) return TransferRule::channelCopy;
  return TransferRule::hostConversion;
}

ColorCache* cacheOfMode(int32 mode, ColorCache* cache) {
  return modeUsesColorCaches(mode) ? cache : nullptr;
}

bool addressable(const ImagePlane& plane) {
  return plane.pixelAddress != nullptr && *plane.pixelAddress != nullptr;
}

// Runs `convert(sourcePixel, targetPixel)`, or `convert(sourcePixel, targetPixel, column)`,
// over the source's rows and columns; each plane advances by its own channels and row bytes.
template <typename Convert>
void walkPixels(const ImagePlane& source, ImagePlane& target, Convert convert) {
  int32 rows = planeRows(source);
  int32 columns = planeColumns(source);
  const uint8* sourceRow = *source.pixelAddress;
  uint8* targetRow = *target.pixelAddress;
  for (int32 row = 0; row < rows; ++row) {
    const uint8* sourcePixel = sourceRow;
    uint8* targetPixel = targetRow;
    for (int32 column = 0; column < columns; ++column) {
      if constexpr (std::is_invocable_v<Convert, const uint8*, uint8*, int32>)
        convert(sourcePixel, targetPixel, column);
      else
        convert(sourcePixel, targetPixel);
      sourcePixel += source.channels;
      targetPixel += target.channels;
    }
    sourceRow += *source.rowBytes;
    targetRow += *target.rowBytes;
  }
}

// The plain byte copies of the modes that need no colour conversion, one direction each.
struct CopyRules {
  void (*gray)(const uint8* source, uint8* target);
  void (*channelCopy)(const uint8* source, uint8* target);
};

const CopyRules toRgbRules = {[](const uint8* s, uint8* t) { t[0] = t[1] = t[2] = s[0]; },
                              [](const uint8* s, uint8* t) {
                                t[0] = s[0];
                                t[1] = s[1];
                                t[2] = s[3];
                              }};

const CopyRules fromRgbRules = {[](const uint8* s, uint8* t) { t[0] = s[0]; },
                                [](const uint8* s, uint8* t) {
                                  t[0] = s[0];
                                  t[1] = s[1];
                                  t[3] = s[2];
                                }};

constexpr int kPrefetchDistance = 16;

// Whether the filter left an RGB pixel as it was.
bool sameRgb(const uint8* a, const uint8* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Converts the pixels of `source` (sourceMode) into `target` (targetMode) through `cache`,
// asking the host only for the colours the cache lacks; with `unfiltered`, only the pixels whose
// RGB differs from it there, leaving the others as they are. A pixel with the colour of the last
// one converted in its row takes that answer without a lookup (skies and shadows are runs of
// one colour), and the cache slot of the colour a few pixels on is fetched while this one is
// converted, so that the waits on a table far larger than the processor's caches overlap.
template <int KeySize, int ValueSize>
void convertThroughCache(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                         int32 targetMode, const ImagePlane& source, ImagePlane& target,
                         const ImagePlane* unfiltered) {
  const ColorCacheProbe probe(cache);
  const int32 rows = planeRows(source);
  const int32 columns = planeColumns(source);
  const size_t sourceStep = size_t(source.channels);
  const size_t targetStep = size_t(target.channels);
  for (int32 row = 0; row < rows; ++row) {
    const uint8* s = *source.pixelAddress + size_t(row) * size_t(*source.rowBytes);
    uint8* t = *target.pixelAddress + size_t(row) * size_t(*target.rowBytes);
    const uint8* before =
        unfiltered ? *unfiltered->pixelAddress + size_t(row) * size_t(*unfiltered->rowBytes)
                   : nullptr;
    bool havePrevious = false;
    uint32 previousKey = 0;
    uint32 previousValue = 0;
    for (int32 column = 0; column < columns; ++column, s += sourceStep, t += targetStep) {
      if (before != nullptr && sameRgb(s, before + size_t(column) * size_t(unfiltered->channels)))
        continue;
      const uint32 key = ColorCacheProbe::pack<KeySize>(s);
      if (!havePrevious || key != previousKey) {
        if (column + kPrefetchDistance < columns)
          probe.prefetch(ColorCacheProbe::pack<KeySize>(s + kPrefetchDistance * sourceStep));
        // A value is read as the four bytes after the key, whatever its size: one load.
        if (const uint8* known = probe.find(key)) {
          __builtin_memcpy(&previousValue, known, 4);
        } else {
          uint8 value[4] = {};
          convertColorAndRemember(services, cache, sourceMode, targetMode, s, value);
          __builtin_memcpy(&previousValue, value, 4);
        }
        previousKey = key;
        havePrevious = true;
      }
      __builtin_memcpy(t, &previousValue, ValueSize);
    }
  }
}

// The same for any key and value sizes, a colour at a time.
void convertThroughCacheSlowly(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                               int32 targetMode, const ImagePlane& source, ImagePlane& target,
                               const ImagePlane* unfiltered) {
  const int32 columns = planeColumns(source);
  const uint8* unfilteredRow = unfiltered ? *unfiltered->pixelAddress : nullptr;
  walkPixels(source, target, [&](const uint8* s, uint8* t, int32 column) {
    if (unfilteredRow != nullptr) {
      const uint8* was = unfilteredRow + size_t(column) * size_t(unfiltered->channels);
      if (column + 1 == columns) unfilteredRow += *unfiltered->rowBytes;
      if (sameRgb(s, was)) return;
    }
    convertColorCached(services, cache, sourceMode, targetMode, s, t);
  });
}

void convertThroughHost(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                        int32 targetMode, const ImagePlane& source, ImagePlane& target,
                        const ImagePlane* unfiltered) {
  const RunColors& colors = *services.colors;
  const int32 keySize = modeChannels(colors, sourceMode);
  const int32 valueSize = modeChannels(colors, targetMode);
  const auto convert = keySize == 4 && valueSize == 3   ? convertThroughCache<4, 3>
                       : keySize == 3 && valueSize == 4 ? convertThroughCache<3, 4>
                       : keySize == 3 && valueSize == 3 ? convertThroughCache<3, 3>
                                                        : convertThroughCacheSlowly;
  convert(services, cache, sourceMode, targetMode, source, target, unfiltered);
}

// Converts every pixel of `source` (sourceMode) into `target` (targetMode); `mode` is the
// document's side of the pair and decides the rule.
void transferPixels(const PixelServices& services, int32 mode, const CopyRules& rules,
                    ColorCache* cache, int32 sourceMode, int32 targetMode, const ImagePlane& source,
                    ImagePlane& target) {
  switch (transferRule(*services.colors, mode)) {
    case TransferRule::gray:
      walkPixels(source, target, rules.gray);
      break;
    case TransferRule::channelCopy:
      walkPixels(source, target, rules.channelCopy);
      break;
    case TransferRule::hostConversion:
      convertThroughHost(services, cache, sourceMode, targetMode, source, target, nullptr);
      break;
  }
}

void lockCaches(const RunColors& colors) {
  lockColorCache(colors.toRgbCache);
  lockColorCache(colors.fromRgbCache);
}

void unlockCaches(const RunColors& colors) {
  unlockColorCache(colors.toRgbCache);
  unlockColorCache(colors.fromRgbCache);
}

}  // namespace

bool canTransferMode(const PixelServices& services, int32 mode) {
  return transferRule(*services.colors, mode) != TransferRule::hostConversion ||
         hostConvertsColors(services);
}

ImagePlane* readPlaneAsRgb(const PixelServices& services, const ImagePlane& source) {
  if (!addressable(source) || !canTransferMode(services, *source.mode)) return nullptr;
  const HandleMemory memory = services.memory;
  const RunColors& colors = *services.colors;
  OwnedPlane target = ownPlane(memory, createPlane(memory, source.area.right - source.area.left,
                                                   source.area.bottom - source.area.top,
                                                   modeChannels(colors, plugInModeRGBColor), 0,
                                                   source.step, plugInModeRGBColor, 0));
  if (target == nullptr) return nullptr;
  *target->bounds = source.area;
  target->area = source.area;
  target->inner = source.inner;
  if (!lockPlane(memory, target.get())) {
    return nullptr;
  }
  int32 mode = *source.mode;
  lockCaches(colors);
  transferPixels(services, mode, toRgbRules, cacheOfMode(mode, colors.toRgbCache), mode,
                 plugInModeRGBColor, source, *target);
  unlockCaches(colors);
  unlockPlane(memory, target.get());
  return target.release();
}

bool writeBackFromRgb(const PixelServices& services, ImagePlane* target, const ImagePlane& source,
                      const ImagePlane& unfiltered) {
  if (!addressable(source) || !addressable(unfiltered) || !addressable(*target) ||
      !canTransferMode(services, *target->mode))
    return false;
  int32 mode = *target->mode;
  const RunColors& colors = *services.colors;
  lockCaches(colors);
  if (transferRule(colors, mode) == TransferRule::hostConversion) {
    // A pixel the filter left as it was keeps the document colour it had: the way back from RGB
    // is not the inverse of the way there (CMYK has many inks for one RGB colour, Lab colours
    // outside RGB's gamut come back inside), and a colour the filter did not touch must not
    // change. Only the pixels it changed go to the host.
    convertThroughHost(services, cacheOfMode(mode, colors.fromRgbCache), plugInModeRGBColor, mode,
                       source, *target, &unfiltered);
  } else {
    transferPixels(services, mode, fromRgbRules, cacheOfMode(mode, colors.fromRgbCache),
                   plugInModeRGBColor, mode, source, *target);
  }
  unlockCaches(colors);
  return true;
}
