// The box blur on planes of step 1.
// The passes of one direction run on 16-bit copies of a row (horizontal) or of a strip of lanes
// down all rows (vertical), each pass reading what the previous one produced, exactly as the
// ping-pong between two scratch planes would: every pass covers ks fewer pixels of margin on
// each side, and its outputs beyond the area fold onto the edge pixel the way writes through a
// clamping cursor do - on the near (left, top) side the value computed at the edge itself, on
// the far side the value computed last, at the farthest position.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "engine/blur_paths.h"
#include "engine/scratch_buffer.h"
#include "engine/working_rows.h"

namespace {

constexpr int32 kStripLanes = 64;

// Outputs of one pass that lie outside the area, replaced by what the plane would hold there.
// first is the area index of output 0; count outputs, each `width` lanes wide. The far edge
// pixel was overwritten by every later output, so it ends up holding the last one; the near
// edge pixel holds the output computed on it (or, in an area one pixel across, the last one,
// which is why the far side is folded first).
void foldOntoArea(int16* out, int32 first, int32 count, int32 areaCount, size_t width) {
  auto copy = [&](int32 to, int32 from) {
    std::memcpy(out + size_t(to) * width, out + size_t(from) * width, width * sizeof(int16));
  };
  int32 farEdge = areaCount - first;
  if (farEdge < count) {
    for (int32 i = std::max(farEdge - 1, 0); i < count - 1; ++i) copy(i, count - 1);
  }
  int32 nearEdge = -first;
  for (int32 i = 0; i < std::min(nearEdge, count); ++i) copy(i, nearEdge);
}

// Window sums along a row of interleaved pixels: output pixel i sums input pixels i..i+2k.
// The channel count is a template argument so the running sums of a pixel stay in registers.
template <int32 Channels>
void boxAlongRowOf(const BoxPlan& plan, const int16* in, int32 count, int16* out) {
  int32 window = 2 * plan.halfWindow + 1;
  uint32 sums[Channels] = {};
  for (int32 t = 0; t < window; ++t) {
    for (int32 c = 0; c < Channels; ++c) sums[c] += uint16(in[t * Channels + c]);
  }
  const int16* leading = in + window * Channels;
  for (int32 i = 0; i < count; ++i) {
    for (int32 c = 0; c < Channels; ++c) {
      out[i * Channels + c] = int16(divideWindowSum(plan.divisor, sums[c]));
      sums[c] += uint16(leading[i * Channels + c]) - uint16(in[i * Channels + c]);
    }
  }
}

void boxAlongRow(const BoxPlan& plan, const int16* in, int32 channels, int32 count, int16* out) {
  if (channels == 3) return boxAlongRowOf<3>(plan, in, count, out);
  if (channels == 4) return boxAlongRowOf<4>(plan, in, count, out);
  // Other layouts: one channel at a time, each a row of its own with a wider pixel stride.
  int32 window = 2 * plan.halfWindow + 1;
  for (int32 c = 0; c < channels; ++c) {
    uint32 sum = 0;
    for (int32 t = 0; t < window; ++t) sum += uint16(in[t * channels + c]);
    for (int32 i = 0; i < count; ++i) {
      out[i * channels + c] = int16(divideWindowSum(plan.divisor, sum));
      sum += uint16(in[(i + window) * channels + c]) - uint16(in[i * channels + c]);
    }
  }
}

// Window sums down a strip: output row i sums input rows i..i+2k, kStripLanes lanes each.
void boxDownStrip(const BoxPlan& plan, const int16* in, int32 count, int16* out) {
  int32 window = 2 * plan.halfWindow + 1;
  const int32 vectors = kStripLanes / 8;
  __m128i sums[vectors];
  auto row = [&](const int16* base, int32 r, int32 v) {
    return reinterpret_cast<const __m128i*>(base + size_t(r) * kStripLanes) + v;
  };
  for (int32 v = 0; v < vectors; ++v) {
    sums[v] = _mm_setzero_si128();
    for (int32 t = 0; t < window; ++t) sums[v] = _mm_add_epi16(sums[v], _mm_load_si128(row(in, t, v)));
  }
  const __m128i multiplier = _mm_set1_epi16(int16(plan.divisor.multiplier));
  const __m128i shift = _mm_cvtsi32_si128(plan.divisor.shift - 16);
  for (int32 i = 0; i < count; ++i) {
    for (int32 v = 0; v < vectors; ++v) {
      __m128i q = plan.divisor.multiplier == 0
                      ? sums[v]
                      : _mm_srl_epi16(_mm_mulhi_epu16(sums[v], multiplier), shift);
      _mm_store_si128(reinterpret_cast<__m128i*>(out + size_t(i) * kStripLanes) + v, q);
      if (i + 1 < count) {
        sums[v] = _mm_add_epi16(_mm_sub_epi16(sums[v], _mm_load_si128(row(in, i, v))),
                                _mm_load_si128(row(in, i + window, v)));
      }
    }
  }
}

// All horizontal passes of one row; the result for the working columns goes to `result`.
void horizontalPasses(const BoxPlan& plan, const WorkingRows& rows, int32 y, int16* a,
                      int16* b, uint8* result) {
  int32 ks = plan.halfWindowDocument;
  int32 last = plan.horizontalPasses - 1;
  rows.widenRow(y, last * ks + ks, a);
  for (int32 pass = 0; pass <= last; ++pass) {
    int32 extra = (last - pass) * ks;
    int32 count = rows.columns + 2 * extra;
    boxAlongRow(plan, a, rows.channels, count, b);
    foldOntoArea(b, rows.firstColumn - extra, count, rows.areaColumns, size_t(rows.channels));
    std::swap(a, b);
  }
  for (int32 lane = 0; lane < rows.lanes; ++lane) result[lane] = uint8(a[lane]);
}

// All vertical passes of one strip of lanes [first, first + width).
void verticalPasses(const BoxPlan& plan, const WorkingRows& horizontal, const WorkingRows& rows,
                    int32 first, int32 width, int16* a, int16* b, uint8* stripOut) {
  int32 ks = plan.halfWindowDocument;
  int32 reach = 3 * ks;
  int32 total = rows.rows + 2 * reach;
  std::memset(a, 0, sizeof(int16) * size_t(total) * kStripLanes);
  for (int32 r = 0; r < total; ++r) {
    int32 y = std::clamp(rows.firstRow - reach + r, 0, rows.areaRows - 1) - horizontal.firstRow;
    const uint8* from = horizontal.rowAt(y) + first;
    for (int32 lane = 0; lane < width; ++lane) a[size_t(r) * kStripLanes + lane] = from[lane];
  }
  for (int32 pass = 0; pass < 3; ++pass) {
    int32 extra = (2 - pass) * ks;
    int32 count = rows.rows + 2 * extra;
    boxDownStrip(plan, a, count, b);
    foldOntoArea(b, rows.firstRow - extra, count, rows.areaRows, kStripLanes);
    std::swap(a, b);
  }
  for (int32 r = 0; r < rows.rows; ++r) {
    for (int32 lane = 0; lane < width; ++lane) {
      stripOut[size_t(r) * size_t(rows.lanes) + size_t(first + lane)] =
          uint8(a[size_t(r) * kStripLanes + lane]);
    }
  }
}

}  // namespace

bool boxRows(const BoxPlan& plan, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, PluginGlobals* globals) {
  int32 ks = plan.halfWindowDocument;
  Rect horizontalWork =
      grownRect(source.inner, source.area, horizontalMargin, verticalMargin + 3 * ks);
  Rect verticalWork = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
  WorkingRows in(source, horizontalWork);
  WorkingRows out(*destination, verticalWork);
  if (out.columns <= 0 || out.rows <= 0) return true;
  int32 padded = in.columns + 2 * plan.horizontalPasses * ks;
  size_t rowLanes = size_t(padded + 1) * size_t(in.channels) + 8;
  size_t stripRows = size_t(out.rows + 6 * ks);
  ScratchBuffer rowA(globals, sizeof(int16) * rowLanes);
  ScratchBuffer rowB(globals, sizeof(int16) * rowLanes);
  ScratchBuffer horizontal(globals, size_t(in.rows) * size_t(in.lanes));
  ScratchBuffer stripA(globals, sizeof(int16) * stripRows * kStripLanes + 16);
  ScratchBuffer stripB(globals, sizeof(int16) * stripRows * kStripLanes + 16);
  ScratchBuffer result(globals, size_t(out.rows) * size_t(out.lanes));
  if (!rowA.ok() || !rowB.ok() || !horizontal.ok() || !stripA.ok() || !stripB.ok() ||
      !result.ok()) {
    return false;
  }
  for (int32 y = 0; y < in.rows; ++y) {
    horizontalPasses(plan, in, y, rowA.as<int16>(), rowB.as<int16>(),
                     horizontal.as<uint8>() + size_t(y) * size_t(in.lanes));
  }
  // The horizontal result as rows of its own, addressed like the plane.
  WorkingRows blurred = in;
  blurred.base = horizontal.as<uint8>();
  blurred.rowBytes = in.lanes;
  auto align = [](void* p) {
    return reinterpret_cast<int16*>((reinterpret_cast<uintptr_t>(p) + 15) & ~uintptr_t(15));
  };
  for (int32 first = 0; first < out.lanes; first += kStripLanes) {
    verticalPasses(plan, blurred, out, first, std::min(kStripLanes, out.lanes - first),
                   align(stripA.as<void>()), align(stripB.as<void>()),
                   result.as<uint8>());
  }
  for (int32 y = 0; y < out.rows; ++y) {
    out.storeRow(y, result.as<uint8>() + size_t(y) * size_t(out.lanes));
  }
  return true;
}
