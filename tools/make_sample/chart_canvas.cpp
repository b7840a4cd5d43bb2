// Drawing primitives of the test chart.
#include "tools/make_sample/chart_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

void ChartCanvas::blend(int x, int y, Colour colour, double coverage) {
  if (x < 0 || y < 0 || x >= raster_.width || y >= raster_.height || coverage <= 0) return;
  coverage = std::min(coverage, 1.0);
  uint8_t* p = raster_.row(y) + size_t(x) * 3;
  const double values[3] = {colour.r, colour.g, colour.b};
  for (int c = 0; c < 3; ++c)
    p[c] = uint8_t(std::lround(p[c] + (std::clamp(values[c], 0.0, 255.0) - p[c]) * coverage));
}

void ChartCanvas::fillRect(int left, int top, int right, int bottom, Colour colour) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) blend(x, y, colour, 1.0);
}

void ChartCanvas::line(double x0, double y0, double x1, double y1, double width, Colour colour) {
  const double dx = x1 - x0, dy = y1 - y0, length = std::hypot(dx, dy);
  if (length == 0) return;
  const double half = width / 2;
  const int left = int(std::floor(std::min(x0, x1) - half)) - 1;
  const int right = int(std::ceil(std::max(x0, x1) + half)) + 1;
  const int top = int(std::floor(std::min(y0, y1) - half)) - 1;
  const int bottom = int(std::ceil(std::max(y0, y1) + half)) + 1;
  fillShape(left, top, right, bottom, colour, [&](double x, double y) {
    const double along = ((x - x0) * dx + (y - y0) * dy) / length;
    const double across = std::fabs((x - x0) * dy - (y - y0) * dx) / length;
    return along >= 0 && along <= length && across <= half;
  });
}

bool ChartCanvas::text(const std::string& fontFile, const std::string& text, int x, int y,
                       int pixels, Colour colour) {
  FT_Library library;
  if (FT_Init_FreeType(&library)) return false;
  FT_Face face;
  if (FT_New_Face(library, fontFile.c_str(), 0, &face)) {
    FT_Done_FreeType(library);
    return false;
  }
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
  int penX = x;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column)
        blend(penX + glyph->bitmap_left + int(column), y - glyph->bitmap_top + int(row), colour,
              bitmap.buffer[row * unsigned(bitmap.pitch) + column] / 255.0);
    penX += int(glyph->advance.x >> 6);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}
