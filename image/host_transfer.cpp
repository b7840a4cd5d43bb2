#include "image/host_transfer.h"

#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/color_cache.h"
#include "image/color_conversion.h"
#include "image/image_plane.h"

namespace {

// How the pixels of a mode reach RGB and back.
enum class TransferRule { gray, channelCopy, hostConversion };

TransferRule transferRule(const PluginGlobals& globals, int32 mode) {
  if (mode == plugInModeGrayScale) return TransferRule::gray;
  if (mode == plugInModeCMYKColor && globals.acceleration != 0) return TransferRule::channelCopy;
  return TransferRule::hostConversion;
}

// Only CMYK conversions are remembered; Lab colours go to the host for every pixel.
ColorCache* cacheOfMode(int32 mode, ColorCache* cache) {
  return mode == plugInModeCMYKColor ? cache : nullptr;
}

bool addressable(const ImagePlane& plane) {
  return plane.pixelAddress != nullptr && *plane.pixelAddress != nullptr;
}

// Runs `convert(sourcePixel, targetPixel)` over the source's rows and columns; each plane
// advances by its own channels and row bytes.
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

const CopyRules toRgbRules = {
    [](const uint8* s, uint8* t) { t[0] = t[1] = t[2] = s[0]; },
    [](const uint8* s, uint8* t) {
      t[0] = s[0];
      t[1] = s[1];
      t[2] = s[3];
    }};

const CopyRules fromRgbRules = {
    [](const uint8* s, uint8* t) { t[0] = s[0]; },
    [](const uint8* s, uint8* t) {
      t[0] = s[0];
      t[1] = s[1];
      t[3] = s[2];
    }};

// Converts every pixel of `source` (sourceMode) into `target` (targetMode); `mode` is the
// document's side of the pair and decides the rule.
void transferPixels(PluginGlobals& globals, int32 mode, const CopyRules& rules,
                    ColorCache* cache, int32 sourceMode, int32 targetMode,
                    const ImagePlane& source, ImagePlane& target) {
  switch (transferRule(globals, mode)) {
    case TransferRule::gray:
      walkPixels(source, target, rules.gray);
      break;
    case TransferRule::channelCopy:
      walkPixels(source, target, rules.channelCopy);
      break;
    case TransferRule::hostConversion:
      walkPixels(source, target, [&](const uint8* s, uint8* t) {
        convertColorCached(globals, cache, sourceMode, targetMode, s, t);
      });
      break;
  }
}

void lockCaches(PluginGlobals& globals) {
  lockColorCache(globals.toRgbCache);
  lockColorCache(globals.fromRgbCache);
}

void unlockCaches(PluginGlobals& globals) {
  unlockColorCache(globals.toRgbCache);
  unlockColorCache(globals.fromRgbCache);
}

}  // namespace

bool canTransferMode(const PluginGlobals& globals, int32 mode) {
  return transferRule(globals, mode) != TransferRule::hostConversion ||
         hostConvertsColors(globals);
}

ImagePlane* readPlaneAsRgb(PluginGlobals* globals, const ImagePlane& source) {
  if (!addressable(source) || !canTransferMode(*globals, *source.mode)) return nullptr;
  OwnedPlane target = ownPlane(
      globals, createPlane(globals, source.area.right - source.area.left,
                           source.area.bottom - source.area.top,
                           modeChannels(*globals, plugInModeRGBColor), 0, source.step,
                           plugInModeRGBColor, 0));
  if (target == nullptr) return nullptr;
  *target->bounds = source.area;
  target->area = source.area;
  target->inner = source.inner;
  if (!lockPlane(globals, target.get())) {
    return nullptr;
  }
  int32 mode = *source.mode;
  lockCaches(*globals);
  transferPixels(*globals, mode, toRgbRules, cacheOfMode(mode, globals->toRgbCache), mode,
                 plugInModeRGBColor, source, *target);
  unlockCaches(*globals);
  unlockPlane(globals, target.get());
  return target.release();
}

bool writeBackFromRgb(PluginGlobals* globals, ImagePlane* target, const ImagePlane& source) {
  if (!addressable(source) || !addressable(*target) || !canTransferMode(*globals, *target->mode))
    return false;
  int32 mode = *target->mode;
  lockCaches(*globals);
  transferPixels(*globals, mode, fromRgbRules, cacheOfMode(mode, globals->fromRgbCache),
                 plugInModeRGBColor, mode, source, *target);
  unlockCaches(*globals);
  return true;
}
