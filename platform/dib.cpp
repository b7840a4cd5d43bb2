// Pixel reads from device-independent bitmaps.
#include "platform/dib.h"

namespace standin {

size_t dibRowBytes(int width, int bitsPerPixel) {
  return (size_t(width) * size_t(bitsPerPixel) + 31) / 32 * 4;
}

bool dibFormatSupported(const BITMAPINFOHEADER& header) {
  int bits = header.biBitCount;
  bool known = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
  // BI_BITFIELDS (3) with 32 bits is taken as the usual 8-8-8 layout.
  bool plain = header.biCompression == BI_RGB || (header.biCompression == 3 && bits == 32);
  return known && plain && header.biWidth > 0 && header.biHeight != 0 && header.biPlanes == 1;
}

COLORREF dibPixel(const BITMAPINFOHEADER& header, const RGBQUAD* palette, const uint8_t* bits,
                  int x, int row) {
  const uint8_t* line = bits + dibRowBytes(header.biWidth, header.biBitCount) * size_t(row);
  int depth = header.biBitCount;
  if (depth >= 24) {
    const uint8_t* p = line + size_t(x) * size_t(depth / 8);
    return RGB(p[2], p[1], p[0]);
  }
  int perByte = 8 / depth;
  int shift = 8 - depth * (x % perByte + 1);
  int index = (line[x / perByte] >> shift) & ((1 << depth) - 1);
  const RGBQUAD& c = palette[index];
  return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

}  // namespace standin
