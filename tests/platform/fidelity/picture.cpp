// See picture.h.
#include "picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

bool writePpm(const Picture& picture, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  for (uint32_t c : picture.rgb) {
    const char bytes[3] = {char(c >> 16), char(c >> 8), char(c)};
    out.write(bytes, 3);
  }
  return bool(out);
}

bool readPpm(const std::string& path, Picture& picture) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(in >> magic >> picture.width >> picture.height >> maxValue) || magic != "P6" ||
      maxValue != 255 || picture.width <= 0 || picture.height <= 0)
    return false;
  in.get();
  picture.rgb.assign(size_t(picture.width) * size_t(picture.height), 0);
  for (uint32_t& c : picture.rgb) {
    unsigned char bytes[3];
    if (!in.read(reinterpret_cast<char*>(bytes), 3)) return false;
    c = uint32_t(bytes[0]) << 16 | uint32_t(bytes[1]) << 8 | bytes[2];
  }
  return true;
}

bool writeBoxes(const std::vector<Box>& boxes, const std::string& path) {
  std::ofstream out(path);
  for (const Box& b : boxes)
    out << b.left << " " << b.top << " " << b.right << " " << b.bottom << "\n";
  return bool(out);
}

bool readBoxes(const std::string& path, std::vector<Box>& boxes) {
  std::ifstream in(path);
  Box b;
  boxes.clear();
  while (in >> b.left >> b.top >> b.right >> b.bottom) boxes.push_back(b);
  return !boxes.empty();
}

Box changedBox(const Picture& blank, const Picture& drawn) {
  Box box{drawn.width, drawn.height, 0, 0};
  for (int y = 0; y < drawn.height; ++y)
    for (int x = 0; x < drawn.width; ++x)
      if (blank.at(x, y) != drawn.at(x, y)) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box.right > box.left ? box : Box{};
}

namespace {

bool nearText(const std::vector<Box>& boxes, int x, int y) {
  for (const Box& b : boxes)
    if (x >= b.left - 1 && x < b.right + 1 && y >= b.top - 1 && y < b.bottom + 1) return true;
  return false;
}

std::string describe(const char* what, int index, const Box& a, const Box& b) {
  char line[200];
  std::snprintf(line, sizeof line, "%s %d: native %d,%d-%d,%d, windows %d,%d-%d,%d", what, index,
                a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom);
  return line;
}

}  // namespace

std::vector<std::string> compareScenes(const Picture& a, const std::vector<Box>& aText,
                                       const Picture& b, const std::vector<Box>& bText) {
  std::vector<std::string> differences;
  if (a.width != b.width || a.height != b.height || aText.size() != bText.size())
    return {"the pictures or their text lists differ in size"};
  for (size_t i = 0; i < aText.size(); ++i) {
    const Box &p = aText[i], &q = bText[i];
    if (std::abs(p.left - q.left) > 1 || std::abs(p.top - q.top) > 1 ||
        std::abs(p.right - q.right) > 1 || std::abs(p.bottom - q.bottom) > 1)
      differences.push_back(describe("text box", int(i), p, q));
  }
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      if (a.at(x, y) == b.at(x, y) || nearText(aText, x, y) || nearText(bText, x, y)) continue;
      char line[120];
      std::snprintf(line, sizeof line, "pixel %d,%d: native %06X, windows %06X", x, y,
                    unsigned(a.at(x, y)), unsigned(b.at(x, y)));
      differences.push_back(line);
    }
  return differences;
}
