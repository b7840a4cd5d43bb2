// Reading pixels of device-independent bitmaps (the layout of BMP files and of the bits the
// host hands to SetDIBitsToDevice): uncompressed 1, 4, 8, 24 or 32 bits per pixel, rows padded
// to 4 bytes, palette entries as RGBQUAD. Row numbers are memory rows: for a bottom-up DIB
// (positive height) row 0 is the bottom of the picture.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace standin {

size_t dibRowBytes(int width, int bitsPerPixel);
bool dibFormatSupported(const BITMAPINFOHEADER& header);
// The colour of pixel x in memory row `row` of `bits`; `palette` is used for 8 bits and less.
COLORREF dibPixel(const BITMAPINFOHEADER& header, const RGBQUAD* palette, const uint8_t* bits,
                  int x, int row);

}  // namespace standin
