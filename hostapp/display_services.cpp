#include "hostapp/display_services.h"

#include <algorithm>
#include <memory>

#include "hostapi/constants.h"
#include "hostapp/color_services.h"
#include "platform/win32.h"

namespace {

size_t dibRowBytes(int32 width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

// The colour-services space of a map's mode and how many samples a pixel has in it; false for
// a mode this host cannot show.
bool colorSpaceOf(int32 imageMode, int16* space, int* samples) {
  switch (imageMode) {
    case plugInModeGrayScale:
      *space = plugIncolorServicesGraySpace, *samples = 1;
      return true;
    case plugInModeRGBColor:
      *space = plugIncolorServicesRGBSpace, *samples = 3;
      return true;
    case plugInModeCMYKColor:
      *space = plugIncolorServicesCMYKSpace, *samples = 4;
      return true;
    case plugInModeLabColor:
      *space = plugIncolorServicesLabSpace, *samples = 3;
      return true;
    default:
      return false;
  }
}

bool mapUsable(const PSPixelMap& map) {
  int16 space = 0;
  int samples = 0;
  return map.baseAddr != nullptr && map.rowBytes != 0 &&
         colorSpaceOf(map.imageMode, &space, &samples);
}

// Turns the samples of one pixel into screen RGB. Neighbouring pixels of a preview often
// share a colour, so the last conversion is kept.
class ScreenColors {
 public:
  ScreenColors(int32 imageMode, ColorEngine* colors)
      : colors_(colors), formula_(makeFormulaColorEngine()) {
    colorSpaceOf(imageMode, &space_, &samples_);
  }
  int samples() const { return samples_; }

  void toRgb(const uint8* samples, uint8 rgb[3]) {
    if (space_ == plugIncolorServicesGraySpace) {
      rgb[0] = rgb[1] = rgb[2] = samples[0];
      return;
    }
    if (space_ == plugIncolorServicesRGBSpace) {
      std::copy(samples, samples + 3, rgb);
      return;
    }
    if (!known_ || !std::equal(samples, samples + samples_, last_)) convert(samples);
    std::copy(lastRgb_, lastRgb_ + 3, rgb);
  }

 private:
  void convert(const uint8* samples) {
    std::copy(samples, samples + samples_, last_);
    int16 components[4] = {0, 0, 0, 0};
    std::copy(samples, samples + samples_, components);
    int16 converted[4] = {components[0], components[1], components[2], components[3]};
    if (colors_ == nullptr || !colors_->convert(space_, plugIncolorServicesRGBSpace, converted)) {
      std::copy(components, components + 4, converted);
      formula_->convert(space_, plugIncolorServicesRGBSpace, converted);
    }
    for (int i = 0; i < 3; ++i) lastRgb_[i] = uint8(std::clamp<int>(converted[i], 0, 255));
    known_ = true;
  }

  ColorEngine* colors_;
  std::unique_ptr<ColorEngine> formula_;
  int16 space_ = plugIncolorServicesRGBSpace;
  int samples_ = 3;
  bool known_ = false;
  uint8 last_[4] = {};
  uint8 lastRgb_[3] = {};
};

// The mask weight of one pixel: 255 shows it, 0 shows white.
uint8 maskWeight(const PSPixelMask* mask, const VRect& bounds, int32 row, int32 col) {
  if (mask == nullptr || mask->maskData == nullptr) return 255;
  const auto* data = static_cast<const uint8*>(mask->maskData);
  uint8 value = data[(row - bounds.top) * mask->rowBytes + (col - bounds.left) * mask->colBytes];
  return mask->maskDescription == kInvertPSMask ? uint8(255 - value) : value;
}

uint8 overWhite(uint8 sample, uint8 weight) {
  return uint8((sample * weight + 255 * (255 - weight) + 127) / 255);
}

// One pixel of the map as blue, green, red.
void readPixel(const PSPixelMap& map, const PSPixelMask* mask, int32 row, int32 col,
               ScreenColors* screen, uint8* bgr) {
  const auto* pixel = static_cast<const uint8*>(map.baseAddr) +
                      (row - map.bounds.top) * map.rowBytes +
                      (col - map.bounds.left) * map.colBytes;
  uint8 samples[4];
  for (int plane = 0; plane < screen->samples(); ++plane)
    samples[plane] = pixel[plane * map.planeBytes];
  uint8 rgb[3];
  screen->toRgb(samples, rgb);
  uint8 weight = maskWeight(mask, map.bounds, row, col);
  for (int i = 0; i < 3; ++i) bgr[2 - i] = overWhite(rgb[i], weight);
}

}  // namespace

bool convertPixelMap(const PSPixelMap& map, const VRect& source, DisplayBitmap* bitmap,
                     ColorEngine* colors) {
  *bitmap = DisplayBitmap();
  if (!mapUsable(map)) return false;
  ScreenColors screen(map.imageMode, colors);
  VRect area{std::max(source.top, map.bounds.top), std::max(source.left, map.bounds.left),
             std::min(source.bottom, map.bounds.bottom), std::min(source.right, map.bounds.right)};
  if (area.top >= area.bottom || area.left >= area.right) return true;
  const PSPixelMask* mask = map.version >= 1 ? map.masks : nullptr;
  bitmap->width = area.right - area.left;
  bitmap->height = area.bottom - area.top;
  size_t rowBytes = dibRowBytes(bitmap->width);
  bitmap->bits.assign(rowBytes * size_t(bitmap->height), 0);
  for (int32 row = area.top; row < area.bottom; ++row) {
    // Bottom-up: the map's top row is the DIB's last.
    uint8* target = bitmap->bits.data() + size_t(area.bottom - 1 - row) * rowBytes;
    for (int32 col = area.left; col < area.right; ++col)
      readPixel(map, mask, row, col, &screen, target + size_t(col - area.left) * 3);
  }
  return true;
}

OSErr HOSTAPI_CALL displayPixelMap(const PSPixelMap* source, const VRect* srcRect, int32 dstRow,
                                   int32 dstCol, void* platformContext) {
  if (source == nullptr || srcRect == nullptr || platformContext == nullptr) {
    return filterBadParameters;
  }
  DisplayBitmap bitmap;
  if (!convertPixelMap(*source, *srcRect, &bitmap, ColorServices::activeEngine())) {
    return filterBadParameters;
  }
  if (bitmap.bits.empty()) return noErr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = bitmap.width;
  info.bmiHeader.biHeight = bitmap.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  // The clipped source may start right of or below srcRect's corner; it is drawn where it lies.
  int32 x = dstCol + std::max(0, source->bounds.left - srcRect->left);
  int32 y = dstRow + std::max(0, source->bounds.top - srcRect->top);
  SetDIBitsToDevice(static_cast<HDC>(platformContext), x, y, DWORD(bitmap.width),
                    DWORD(bitmap.height), 0, 0, 0, UINT(bitmap.height), bitmap.bits.data(), &info,
                    DIB_RGB_COLORS);
  return noErr;
}
