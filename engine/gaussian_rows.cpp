// The Gaussian blur on planes of step 1, a row at a time.
// Horizontal pass: each row of the working rectangle is widened into a 16-bit row with the
// kernel's half-width of edge pixels repeated on both sides, convolved, and kept in a scratch
// block. Vertical pass: each output row combines the scratch rows (or, outside the working
// rectangle, the destination's own rows, which the vertical pass never replaces) through a
// table of row pointers clamped onto the area. Eight samples at a time: the kernel is
// symmetric, so mirrored taps are added first and then multiplied in pairs with pmaddwd; the
// 32-bit sums stay below 2^24, so a float division gives the exact quotient.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "engine/blur_paths.h"
#include "engine/scratch_buffer.h"
#include "engine/working_rows.h"

namespace {

struct Taps {
  int32 halfWidth;
  int32 weights[kMaxKernelHalfWidth + 1];
  __m128i pairs[(kMaxKernelHalfWidth + 2) / 2];  // (w(2i), w(2i+1)) in every 32-bit lane
  __m128 divisor;
  int32 sum;
};

void prepareTaps(const GaussianKernel& kernel, Taps* taps) {
  taps->halfWidth = kernel.halfWidth;
  taps->sum = kernel.weights[0];
  for (int32 i = 0; i <= kernel.halfWidth; ++i) {
    taps->weights[i] = kernel.weights[i];
    if (i > 0) taps->sum += 2 * kernel.weights[i];
  }
  for (int32 i = 0; i <= kernel.halfWidth; i += 2) {
    int32 odd = i + 1 <= kernel.halfWidth ? kernel.weights[i + 1] : 0;
    taps->pairs[i / 2] = _mm_set1_epi32(int32(uint32(kernel.weights[i]) | (uint32(odd) << 16)));
  }
  taps->divisor = _mm_set1_ps(float(taps->sum));
}

// The quotients of eight samples, given the centre samples and the mirrored pair sums
// folded[0..K] (folded[0] the centre), as eight 16-bit lanes.
__m128i weightedQuotients(const Taps& taps, const __m128i* folded) {
  __m128i low = _mm_setzero_si128();
  __m128i high = _mm_setzero_si128();
  for (int32 i = 0; i <= taps.halfWidth; i += 2) {
    __m128i odd = i + 1 <= taps.halfWidth ? folded[i + 1] : _mm_setzero_si128();
    low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(folded[i], odd), taps.pairs[i / 2]));
    high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(folded[i], odd), taps.pairs[i / 2]));
  }
  __m128i lowQuotient = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(low), taps.divisor));
  __m128i highQuotient = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(high), taps.divisor));
  return _mm_packs_epi32(lowQuotient, highQuotient);
}

// Convolves a widened row: output lane b reads lanes b + t * channels for t = 0..2K.
void convolveRow(const Taps& taps, const int16* wide, int32 channels, int32 lanes, uint8* out) {
  int32 half = taps.halfWidth;
  __m128i folded[kMaxKernelHalfWidth + 1];
  int32 b = 0;
  for (; b + 8 <= lanes; b += 8) {
    const int16* centre = wide + b + half * channels;
    folded[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre));
    for (int32 t = 1; t <= half; ++t) {
      __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre - t * channels));
      __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre + t * channels));
      folded[t] = _mm_add_epi16(before, after);
    }
    __m128i q = weightedQuotients(taps, folded);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(q, q));
  }
  for (; b < lanes; ++b) {
    const int16* centre = wide + b + half * channels;
    int32 sum = taps.weights[0] * centre[0];
    for (int32 t = 1; t <= half; ++t) {
      sum += taps.weights[t] * (centre[-t * channels] + centre[t * channels]);
    }
    out[b] = uint8(sum / taps.sum);
  }
}

// Combines the 2K + 1 rows around an output row, lane by lane.
void convolveColumn(const Taps& taps, const uint8* const* rows, int32 lanes, uint8* out) {
  int32 half = taps.halfWidth;
  const uint8* const* centre = rows + half;
  __m128i folded[kMaxKernelHalfWidth + 1];
  __m128i zero = _mm_setzero_si128();
  auto load = [&](const uint8* row, int32 b) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b)), zero);
  };
  int32 b = 0;
  for (; b + 8 <= lanes; b += 8) {
    folded[0] = load(centre[0], b);
    for (int32 t = 1; t <= half; ++t) {
      folded[t] = _mm_add_epi16(load(centre[-t], b), load(centre[t], b));
    }
    __m128i q = weightedQuotients(taps, folded);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(q, q));
  }
  for (; b < lanes; ++b) {
    int32 sum = taps.weights[0] * centre[0][b];
    for (int32 t = 1; t <= half; ++t) sum += taps.weights[t] * (centre[-t][b] + centre[t][b]);
    out[b] = uint8(sum / taps.sum);
  }
}

}  // namespace

bool gaussianRows(const GaussianKernel& kernel, const ImagePlane& source,
                  ImagePlane* destination, int32 horizontalMargin, int32 verticalMargin,
                  PluginGlobals* globals) {
  Rect work = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
  WorkingRows in(source, work);
  WorkingRows out(*destination, work);
  if (in.columns <= 0 || in.rows <= 0) return true;
  auto* taps = static_cast<Taps*>(_mm_malloc(sizeof(Taps), 16));
  if (taps == nullptr) return false;
  prepareTaps(kernel, taps);
  int32 half = taps->halfWidth;
  int32 stride = (in.lanes + 15) & ~15;
  ScratchBuffer blurred(globals, size_t(stride) * size_t(in.rows));
  ScratchBuffer wide(globals, sizeof(int16) * size_t(in.lanes + 2 * half * in.channels + 8));
  ScratchBuffer line(globals, size_t(stride));
  ScratchBuffer rowTable(globals, sizeof(uint8*) * size_t(2 * half + 1));
  bool ok = blurred.ok() && wide.ok() && line.ok() && rowTable.ok();
  for (int32 y = 0; ok && y < in.rows; ++y) {
    in.widenRow(y, half, wide.as<int16>());
    convolveRow(*taps, wide.as<int16>(), in.channels, in.lanes, blurred.as<uint8>() + size_t(y) * stride);
  }
  const uint8** table = rowTable.as<const uint8*>();
  for (int32 y = 0; ok && y < in.rows; ++y) {
    for (int32 t = -half; t <= half; ++t) {
      int32 row = out.clampedRow(y + t);
      table[t + half] = row >= 0 && row < out.rows ? blurred.as<uint8>() + size_t(row) * stride
                                                  : out.rowAt(row);
    }
    convolveColumn(*taps, table, in.lanes, line.as<uint8>());
    out.storeRow(y, line.as<uint8>());
  }
  _mm_free(taps);
  return ok;
}
