// LoadBitmapA: the bitmaps the module's resource script embeds are found natively through
// resources/bitmaps.rc, whose lines read NAME BITMAP "bitmaps/file.bmp" (paths relative to the
// script); the script and the files are compiled into the binary (platform/embedded_files.h).
// Names compare without regard to case, as Windows resource names do. Every load decodes the
// file afresh and makes a new bitmap the caller must delete; an unknown name, a missing or
// malformed file gives null.
#include "platform/dib.h"
#include "platform/embedded_files.h"
#include "platform/stand_in.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>

using namespace standin;

namespace {

constexpr std::string_view resourceScript = "resources/bitmaps.rc";

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::toupper(c)); });
  return text;
}

std::string unquote(std::string token) {
  if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
    token = token.substr(1, token.size() - 2);
  std::replace(token.begin(), token.end(), '\\', '/');
  return token;
}

// The file named for `name` in the script, or empty.
std::string bitmapFile(const std::string& name) {
  std::istringstream script{std::string(platform::embeddedFile(resourceScript))};
  std::string line;
  while (std::getline(script, line)) {
    std::istringstream words(line);
    std::string resource, type, token, file;
    if (!(words >> resource >> type) || upper(type) != "BITMAP") continue;
    while (words >> token) file = token;
    if (upper(unquote(resource)) == upper(name) && !file.empty()) {
      std::string dir(resourceScript);
      return dir.substr(0, dir.find_last_of('/') + 1) + unquote(file);
    }
  }
  return {};
}

uint32_t readLe(const uint8_t* data, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | data[at + size_t(i)];
  return value;
}

bool decodeBmp(std::string_view bytes, Surface& out) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
  size_t pixelsAt = readLe(data, 10, 4);
  size_t headerSize = readLe(data, 14, 4);
  if (headerSize < 40 || 14 + headerSize > bytes.size()) return false;
  BITMAPINFOHEADER header{};
  std::memcpy(&header, &data[14], sizeof header);
  if (!dibFormatSupported(header)) return false;
  int width = header.biWidth, height = std::abs(header.biHeight);
  size_t colours =
      header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
  size_t paletteAt = 14 + headerSize;
  if (colours > 256 || paletteAt + colours * 4 > bytes.size()) return false;
  size_t need = dibRowBytes(width, header.biBitCount) * size_t(height);
  if (pixelsAt > bytes.size() || bytes.size() - pixelsAt < need) return false;
  std::vector<RGBQUAD> palette(256, RGBQUAD{0, 0, 0, 0});
  std::memcpy(palette.data(), &data[paletteAt], colours * 4);
  out.resize(width, height, 0);
  for (int y = 0; y < height; ++y) {
    int row = header.biHeight > 0 ? height - 1 - y : y;
    for (int x = 0; x < width; ++x)
      out.set(x, y, dibPixel(header, palette.data(), &data[pixelsAt], x, row));
  }
  return true;
}

}  // namespace

extern "C" HBITMAP LoadBitmapA(HINSTANCE, LPCSTR name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  std::string path = bitmapFile(name);
  if (path.empty()) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  if (!decodeBmp(platform::embeddedFile(path), bitmap->surface)) return nullptr;
  return reinterpret_cast<HBITMAP>(registerObject(std::move(bitmap)));
}
