// Bitmaps and pixel transfers: compatible bitmaps, BitBlt between any two DCs (clipped to the
// source surface, and to the destination surface and its DC's clip) and SetDIBitsToDevice for
// pictures in memory.
#include "platform/dib.h"
#include "platform/stand_in.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace standin;

namespace {

// The colour a raster operation gives for one pixel; -1 for operations not supported.
long long rasterColour(DWORD rop, COLORREF source, COLORREF dest) {
  switch (rop) {
    case SRCCOPY:
      return source;
    case SRCPAINT:
      return source | dest;
    case SRCAND:
      return source & dest;
    case SRCINVERT:
      return (source ^ dest) & 0xFFFFFF;
    case BLACKNESS:
      return RGB(0, 0, 0);
    case WHITENESS:
      return RGB(255, 255, 255);
    default:
      return -1;
  }
}

}  // namespace

extern "C" {

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->surface.resize(std::max(width, 1), std::max(height, 1), RGB(0, 0, 0));
  return reinterpret_cast<HBITMAP>(registerObject(std::move(bitmap)));
}

BOOL BitBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sourceX,
            int sourceY, DWORD rop) {
  DeviceContext* dest = findContext(destHandle);
  DeviceContext* source = findContext(sourceHandle);
  bool needsSource = rop != BLACKNESS && rop != WHITENESS;
  if (!dest || (needsSource && !source) || rasterColour(rop, 0, 0) < 0) return FALSE;
  Surface* to = targetSurface(*dest);
  Surface* from = source ? targetSurface(*source) : nullptr;
  if (!to || (needsSource && !from)) return FALSE;
  // Copy through a snapshot so that overlapping blits within one surface work.
  std::vector<COLORREF> row(size_t(std::max(width, 0)));
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      int sx = sourceX + i, sy = sourceY + j;
      bool have = !needsSource || from->inside(sx, sy);
      row[size_t(i)] = have && needsSource ? from->at(sx, sy) : CLR_INVALID;
    }
    for (int i = 0; i < width; ++i) {
      int dx = x + i, dy = y + j;
      if (!to->inside(dx, dy) || (needsSource && row[size_t(i)] == CLR_INVALID)) continue;
      putPixel(*dest, dx, dy, COLORREF(rasterColour(rop, row[size_t(i)], to->at(dx, dy))));
    }
  }
  return TRUE;
}

int SetDIBitsToDevice(HDC handle, int destX, int destY, DWORD width, DWORD height, int sourceX,
                      int sourceY, UINT startScan, UINT scanLines, const void* bits,
                      const BITMAPINFO* info, UINT colorUse) {
  DeviceContext* dc = findContext(handle);
  if (!dc || !bits || !info || colorUse != DIB_RGB_COLORS || !dibFormatSupported(info->bmiHeader))
    return 0;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  const auto* data = static_cast<const uint8_t*>(bits);
  bool bottomUp = header.biHeight > 0;
  int dibHeight = std::abs(header.biHeight);
  for (int j = 0; j < int(height); ++j) {
    // Bottom-up pictures count sourceY from their bottom row; top-down ones from the top.
    int dibRow = bottomUp ? sourceY + int(height) - 1 - j : sourceY + j;
    int memoryRow = dibRow - int(startScan);
    if (dibRow < 0 || dibRow >= dibHeight || memoryRow < 0 || memoryRow >= int(scanLines)) continue;
    for (int i = 0; i < int(width); ++i) {
      int sx = sourceX + i;
      if (sx < 0 || sx >= header.biWidth) continue;
      putPixel(*dc, destX + i, destY + j, dibPixel(header, info->bmiColors, data, sx, memoryRow));
    }
  }
  return int(scanLines);
}

}  // extern "C"
