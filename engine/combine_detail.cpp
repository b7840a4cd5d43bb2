// The detail combination: output = source + the weighted detail (source - blurred).
#include "engine/sharpen.h"

#include <algorithm>

#include "image/image_plane.h"

namespace {

constexpr int32 kLargestDetail = 510;  // |shared + d| never exceeds 255 + 255

// amount(u) * strength / 100 (truncated toward zero) for every detail value u; dark halos
// (u < 0) get the extra quarter or eighth of the profile.
struct Corrections {
  int32 byDetail[2 * kLargestDetail + 1];
  int32 operator()(int32 u) const { return byDetail[u + kLargestDetail]; }
};

Corrections corrections(int32 strength, int32 personalProfile) {
  Corrections table;
  for (int32 u = -kLargestDetail; u <= kLargestDetail; ++u) {
    int32 amount = u >> 1;
    if (u < 0 && personalProfile == 1) amount += u >> 2;
    if (u < 0 && personalProfile != 1 && personalProfile != 3) amount += u >> 3;
    table.byDetail[u + kLargestDetail] = amount * strength / 100;
  }
  return table;
}

inline void combinePixel(const Corrections& table, const uint8* s, const uint8* t, uint8* o) {
  int32 d0 = s[0] - t[0];
  int32 d1 = s[1] - t[1];
  int32 d2 = s[2] - t[2];
  int32 shared = (2 * d0 + d1 + d2) >> 2;
  int32 s0 = s[0], s1 = s[1], s2 = s[2];
  o[0] = uint8(std::clamp(s0 + table(shared + d0), 0, 255));
  o[1] = uint8(std::clamp(s1 + table(shared + d1), 0, 255));
  o[2] = uint8(std::clamp(s2 + table(shared + d2), 0, 255));
}

bool runsFreely(const PixelCursor& cursor, int32 count) {
  return cursor.clipLeft == 0 && cursor.columnsLeft >= count;
}

// One row of `count` samples; with no edge in reach the cursors reduce to plain pointers.
void combineRow(const Corrections& table, PixelCursor s, PixelCursor t, PixelCursor o,
                int32 count) {
  if (runsFreely(s, count) && runsFreely(t, count) && runsFreely(o, count)) {
    for (int32 i = 0; i < count; ++i) {
      combinePixel(table, s.channel0 + i * s.pixelStride, t.channel0 + i * t.pixelStride,
                   o.channel0 + i * o.pixelStride);
    }
    return;
  }
  for (int32 i = 0; i < count; ++i) {
    combinePixel(table, s.channel0, t.channel0, o.channel0);
    stepRight(&s);
    stepRight(&t);
    stepRight(&o);
  }
}

}  // namespace

void combineDetail(const ImagePlane& source, const ImagePlane& blurred, ImagePlane* output,
                   int32 strength, int32 personalProfile) {
  Corrections table = corrections(strength, personalProfile);
  const Rect& inner = source.inner;
  int32 step = source.step;
  int32 count = (inner.right - inner.left + step - 1) / step;
  for (int32 y = inner.top; y < inner.bottom; y += step) {
    combineRow(table, positionCursor(source, inner.left, y),
               positionCursor(blurred, inner.left, y), positionCursor(*output, inner.left, y),
               count);
  }
}

