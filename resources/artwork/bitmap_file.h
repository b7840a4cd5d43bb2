// Device-independent bitmap files (.bmp) as Windows resources and LoadBitmapA expect them:
// BITMAPFILEHEADER, BITMAPINFOHEADER, a colour table for 4 and 8 bits per pixel, then the
// rows bottom-up, uncompressed, each padded to a multiple of four bytes.
//
// encodeBitmap() writes a 24-bit file from the canvas, or an indexed one from the canvas
// reduced to a palette (palette.h). decodeBitmap() reads such files back into top-row-first
// RGB; it accepts only what encodeBitmap() writes (uncompressed 4, 8 or 24 bits, one plane,
// bottom-up) and answers false with a reason for anything else, including files whose sizes
// do not add up or whose pixels name colours beyond the table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/artwork/canvas.h"

namespace artwork {

// bitsPerPixel is 4, 8 or 24.
std::vector<uint8_t> encodeBitmap(const Canvas& canvas, int bitsPerPixel);

struct DecodedBitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int paletteSize = 0;
  std::vector<Rgb> pixels;  // top row first
};

bool decodeBitmap(const std::vector<uint8_t>& file, DecodedBitmap& out, std::string& error);

}  // namespace artwork
