// The driver's pictures: a window's client area or a bitmap saved as an 8-bit RGB PNG in the
// build's artefacts folder.
#include "platform/driver.h"
#include "platform/stand_in.h"

#include <png.h>

#include <cstdio>

using namespace standin;

namespace {

bool writePng(const Surface& surface, const std::string& path) {
  if (surface.width <= 0 || surface.height <= 0) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info && setjmp(png_jmpbuf(png)) == 0;
  if (ok) {
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(surface.width), png_uint_32(surface.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(surface.width) * 3);
    for (int y = 0; y < surface.height; ++y) {
      for (int x = 0; x < surface.width; ++x) {
        COLORREF c = surface.at(x, y);
        row[size_t(x) * 3] = GetRValue(c);
        row[size_t(x) * 3 + 1] = GetGValue(c);
        row[size_t(x) * 3 + 2] = GetBValue(c);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}

std::string save(const Surface* surface, const std::string& fileName) {
  std::string path = platform::driver::artifactsDirectory() + "/" + fileName;
  return surface && writePng(*surface, path) ? path : std::string();
}

}  // namespace

namespace platform::driver {

std::string artifactsDirectory() { return INKJET_ARTIFACTS_DIR; }

std::string savePng(HWND handle, const std::string& fileName) {
  Window* window = standin::findWindow(handle);
  return save(window ? &window->surface : nullptr, fileName);
}

std::string savePng(HBITMAP handle, const std::string& fileName) {
  Bitmap* bitmap = findAs<Bitmap>(handle, Kind::Bitmap);
  return save(bitmap ? &bitmap->surface : nullptr, fileName);
}

}  // namespace platform::driver
