#include "hostapp/display_services.h"

#include <algorithm>

#include "hostapi/constants.h"
#include "platform/win32.h"

namespace {

size_t dibRowBytes(int32 width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

bool mapUsable(const PSPixelMap& map) {
  bool modeShown = map.imageMode == plugInModeGrayScale || map.imageMode == plugInModeRGBColor;
  return map.baseAddr != nullptr && map.rowBytes != 0 && modeShown;
}

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
               uint8* bgr) {
  const auto* pixel = static_cast<const uint8*>(map.baseAddr) +
                      (row - map.bounds.top) * map.rowBytes + (col - map.bounds.left) * map.colBytes;
  uint8 weight = maskWeight(mask, map.bounds, row, col);
  bool gray = map.imageMode == plugInModeGrayScale;
  for (int plane = 0; plane < 3; ++plane) {
    uint8 sample = pixel[gray ? 0 : plane * map.planeBytes];
    bgr[2 - plane] = overWhite(sample, weight);
  }
}

}  // namespace

bool convertPixelMap(const PSPixelMap& map, const VRect& source, DisplayBitmap* bitmap) {
  *bitmap = DisplayBitmap();
  if (!mapUsable(map)) return false;
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
      readPixel(map, mask, row, col, target + size_t(col - area.left) * 3);
  }
  return true;
}

OSErr HOSTAPI_CALL displayPixelMap(const PSPixelMap* source, const VRect* srcRect, int32 dstRow,
                                   int32 dstCol, void* platformContext) {
  if (source == nullptr || srcRect == nullptr || platformContext == nullptr) {
    return filterBadParameters;
  }
  DisplayBitmap bitmap;
  if (!convertPixelMap(*source, *srcRect, &bitmap)) return filterBadParameters;
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
                    DWORD(bitmap.height), 0, 0, 0, UINT(bitmap.height), bitmap.bits.data(),
                    &info, DIB_RGB_COLORS);
  return noErr;
}
