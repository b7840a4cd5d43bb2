#include "resources/artwork/palette.h"

#include <algorithm>
#include <map>

#include "resources/artwork/theme.h"

namespace artwork {

namespace {

uint32_t packed(Rgb c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }

Rgb unpacked(uint32_t v) {
  return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

int channel(Rgb c, int which) { return which == 0 ? c.r : which == 1 ? c.g : c.b; }

int distance(Rgb a, Rgb b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

struct ColourCount {
  Rgb colour;
  long count;
};

using Box = std::vector<ColourCount>;

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> widestChannel(const Box& box) {
  int best = 0, bestRange = -1;
  for (int which = 0; which < 3; ++which) {
    auto [lo, hi] =
        std::minmax_element(box.begin(), box.end(), [which](const auto& a, const auto& b) {
          return channel(a.colour, which) < channel(b.colour, which);
        });
    const int range = channel(hi->colour, which) - channel(lo->colour, which);
    if (range > bestRange) best = which, bestRange = range;
  }
  return {best, bestRange};
}

// Splits the box at the median pixel along its widest channel.
std::pair<Box, Box> splitBox(Box box) {
  const int which = widestChannel(box).first;
  std::stable_sort(box.begin(), box.end(), [which](const auto& a, const auto& b) {
    return channel(a.colour, which) < channel(b.colour, which);
  });
  long total = 0;
  for (const auto& c : box) total += c.count;
  long seen = 0;
  size_t cut = 1;
  while (cut < box.size() - 1 && (seen += box[cut - 1].count) < total / 2) ++cut;
  return {Box(box.begin(), box.begin() + cut), Box(box.begin() + cut, box.end())};
}

Rgb meanColour(const Box& box) {
  long sums[3] = {0, 0, 0}, total = 0;
  for (const auto& c : box) {
    for (int which = 0; which < 3; ++which) sums[which] += channel(c.colour, which) * c.count;
    total += c.count;
  }
  auto avg = [&](int which) { return static_cast<uint8_t>((sums[which] + total / 2) / total); };
  return {avg(0), avg(1), avg(2)};
}

std::vector<Rgb> medianCut(const std::map<uint32_t, long>& histogram, size_t maxColours) {
  std::vector<Box> boxes(1);
  for (const auto& [colour, count] : histogram) boxes[0].push_back({unpacked(colour), count});
  while (boxes.size() < maxColours) {
    auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      return (a.size() > 1 ? widestChannel(a).second : -1) <
             (b.size() > 1 ? widestChannel(b).second : -1);
    });
    if (widest->size() < 2) break;
    auto halves = splitBox(std::move(*widest));
    *widest = std::move(halves.first);
    boxes.push_back(std::move(halves.second));
  }
  std::vector<Rgb> palette;
  for (const Box& box : boxes) palette.push_back(meanColour(box));
  return palette;
}

uint8_t nearestIndex(const std::vector<Rgb>& palette, Rgb colour) {
  size_t best = 0;
  for (size_t i = 1; i < palette.size(); ++i) {
    if (distance(palette[i], colour) < distance(palette[best], colour)) best = i;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

const std::vector<Rgb>& sixteenColours() {
  using namespace theme;
  static const std::vector<Rgb> colours = {
      kInk,   kGrey1,    kGrey2,      kGrey3,  kGrey4,     kGrey5,      kGrey6,       kPaper,
      kSlate, kSlateMid, kSlateLight, kAccent, kAccentMid, kAccentSoft, kAccentLight, kRed};
  return colours;
}

IndexedPicture reduceColours(const Canvas& canvas, int maxColours) {
  IndexedPicture picture;
  if (maxColours <= 16) {
    picture.palette = sixteenColours();
  } else {
    std::map<uint32_t, long> histogram;
    for (Rgb c : canvas.pixels()) ++histogram[packed(c)];
    if (histogram.size() <= static_cast<size_t>(maxColours)) {
      for (const auto& entry : histogram) picture.palette.push_back(unpacked(entry.first));
    } else {
      picture.palette = medianCut(histogram, static_cast<size_t>(maxColours));
    }
  }
  std::map<uint32_t, uint8_t> memo;
  picture.indices.reserve(canvas.pixels().size());
  for (Rgb c : canvas.pixels()) {
    auto found = memo.find(packed(c));
    if (found == memo.end())
      found = memo.emplace(packed(c), nearestIndex(picture.palette, c)).first;
    picture.indices.push_back(found->second);
  }
  return picture;
}

}  // namespace artwork
