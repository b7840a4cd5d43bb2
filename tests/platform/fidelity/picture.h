// Pictures of the comparison scene as both sides see them, in plain C++ so that the native
// test and the Windows program share it: RGB pixels (0xRRGGBB, top row first), PPM files, text
// boxes (left, top, right, bottom; right and bottom exclusive) and the comparison itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // empty when right <= left
};

bool writePpm(const Picture& picture, const std::string& path);
bool readPpm(const std::string& path, Picture& picture);
bool writeBoxes(const std::vector<Box>& boxes, const std::string& path);
bool readBoxes(const std::string& path, std::vector<Box>& boxes);

// The bounding box of the pixels where `drawn` differs from `blank` (same size).
Box changedBox(const Picture& blank, const Picture& drawn);

// Compares two pictures of the scene: every pixel outside the text boxes of either side
// (widened by one pixel) must be equal, and each text box must match the other side's within
// one pixel on every edge. Returns a description of each difference; empty when they agree.
std::vector<std::string> compareScenes(const Picture& a, const std::vector<Box>& aText,
                                       const Picture& b, const std::vector<Box>& bText);
