#include "resources/artwork/contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

#include "resources/artwork/bitmap_file.h"

namespace artwork {

namespace {

constexpr int kSheetWidth = 1400;
constexpr int kGap = 14;
constexpr int kCaption = 16;
constexpr Rgb kSheetGrey{150, 150, 150};

int scaleOf(const DecodedBitmap& b) { return b.width < 100 ? 3 : 1; }

struct Placed {
  const RenderedBitmap* source;
  DecodedBitmap picture;
  int x, y;
};

// Rows of pictures left to right; returns the sheet height.
int place(std::vector<Placed>& placed) {
  int x = kGap, y = kGap, rowHeight = 0;
  for (Placed& p : placed) {
    const int s = scaleOf(p.picture);
    const int w = std::max(p.picture.width * s, 120), h = p.picture.height * s + kCaption;
    if (x + w > kSheetWidth - kGap) x = kGap, y += rowHeight + kGap, rowHeight = 0;
    p.x = x;
    p.y = y;
    x += w + kGap;
    rowHeight = std::max(rowHeight, h);
  }
  return y + rowHeight + kGap;
}

bool writePng(const Canvas& canvas, const std::string& path, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    error = "PNG encoding failed for " + path;
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width()),
               static_cast<png_uint_32>(canvas.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < canvas.height(); ++y) {
    // Rgb is three packed bytes, the layout PNG_COLOR_TYPE_RGB expects.
    auto* row = reinterpret_cast<png_bytep>(
        const_cast<Rgb*>(&canvas.pixels()[static_cast<size_t>(y) * canvas.width()]));
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 || (error = "cannot finish " + path, false);
}

}  // namespace

bool writeContactSheet(const std::vector<RenderedBitmap>& bitmaps, const Fonts& fonts,
                       const std::string& pngPath, std::string& error) {
  static_assert(sizeof(Rgb) == 3, "rows are handed to libpng as packed RGB");
  std::vector<Placed> placed;
  for (const RenderedBitmap& b : bitmaps) {
    Placed p{&b, {}, 0, 0};
    if (!decodeBitmap(b.bytes, p.picture, error)) {
      error = b.name + ": " + error;
      return false;
    }
    placed.push_back(std::move(p));
  }
  Canvas sheet(kSheetWidth, place(placed), kSheetGrey);
  for (const Placed& p : placed) {
    fonts.draw(sheet, p.x, p.y + 11, p.source->name, {Weight::Regular, 11, {20, 20, 20}});
    const int s = scaleOf(p.picture);
    for (int y = 0; y < p.picture.height * s; ++y) {
      for (int x = 0; x < p.picture.width * s; ++x) {
        sheet.blend(p.x + x, p.y + kCaption + y,
                    p.picture.pixels[static_cast<size_t>(y / s) * p.picture.width + x / s], 255);
      }
    }
  }
  return writePng(sheet, pngPath, error);
}

}  // namespace artwork
