// Helpers of the resource tests: the committed files under resources/, read whole.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/artwork/bitmap_file.h"

namespace resources_test {

inline std::string resourcesDir() { return std::string(INKJET_SOURCE_DIR) + "/resources"; }

inline std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string readText(const std::string& path) {
  const auto bytes = readBytes(path);
  return {bytes.begin(), bytes.end()};
}

// NAME -> file (relative to resources/) from the lines NAME BITMAP "file" of bitmaps.rc.
inline std::map<std::string, std::string> bitmapScriptEntries() {
  std::map<std::string, std::string> entries;
  std::istringstream lines(readText(resourcesDir() + "/bitmaps.rc"));
  std::string name, type, file;
  while (lines >> name >> type >> file) {
    if (type == "BITMAP" && file.size() > 2) entries[name] = file.substr(1, file.size() - 2);
  }
  return entries;
}

// Decodes the committed bitmap of a resource name; an empty picture when that fails.
inline artwork::DecodedBitmap committedBitmap(const std::string& name) {
  artwork::DecodedBitmap picture;
  std::string error;
  const auto entries = bitmapScriptEntries();
  const auto found = entries.find(name);
  if (found == entries.end() ||
      !artwork::decodeBitmap(readBytes(resourcesDir() + "/" + found->second), picture, error)) {
    return {};
  }
  return picture;
}

inline int luminance(artwork::Rgb c) { return (c.r * 299 + c.g * 587 + c.b * 114) / 1000; }

inline artwork::Rgb pixelAt(const artwork::DecodedBitmap& b, int x, int y) {
  return b.pixels[static_cast<size_t>(y) * b.width + x];
}

}  // namespace resources_test
