// The detail combination: output = source + the weighted detail (source - blurred).
// Rows whose cursors meet no edge run 24 bytes at a time in 16-bit lanes: 24 is a whole number
// of pixels for 3, 4, 6, 8, 12 and 24 bytes per pixel, so every pixel of such a group lies in
// its three vectors and the mix of a pixel's three differences is gathered with lane shifts
// inside the group. Bytes beyond the third of a pixel keep what the output held. Other rows,
// the last partial group and strengths without an exact multiplier go pixel by pixel through
// a table of corrections. Where the processor has AVX2 (vector_path.h) two groups go at once,
// one in each 128-bit half of the vectors: the lane shifts stay inside a half, so each group is
// computed exactly as alone.
#include "engine/sharpen.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>

#include "engine/combine_detail.h"
#include "engine/vector_path.h"
#include "engine/worker_bands.h"
#include "image/image_plane.h"

HaloStyle haloStyle(int32 personalProfile) {
  if (personalProfile == 3) return HaloStyle{false, 1};
  return HaloStyle{true, personalProfile == 1 ? 2 : 3};
}

int32 detailAmount(const HaloStyle& style, int32 u) {
  int32 amount = u >> 1;
  if (u < 0 && style.darkExtra) amount += u >> style.darkShift;
  return amount;
}

bool makeCorrectionMultiplier(int32 strength, CorrectionMultiplier* result) {
  if (strength < 0) return false;
  // The magnitude is widened as far as 16 bits allow, then the total shift grows until the
  // rounded-up multiplier is exact for every magnitude.
  const int32 widest = 7;  // kLargestAmount << 7 still fits 16 bits
  for (int32 total = 16 - widest; total <= 31; ++total) {
    uint64_t multiplier = (uint64_t(strength) << total) / 100 + 1;
    if (multiplier > 0xFFFFu) return false;
    CorrectionMultiplier candidate{uint16(multiplier), std::max(16 - total, 0),
                                   std::max(total - 16, 0)};
    bool exact = true;
    for (int32 magnitude = 0; magnitude <= kLargestAmount && exact; ++magnitude) {
      exact = scaledMagnitude(candidate, magnitude) == magnitude * strength / 100;
    }
    if (exact) {
      *result = candidate;
      return true;
    }
  }
  return false;
}

namespace {

constexpr int32 kGroupBytes = 24;

// amount(u) * strength / 100 (truncated toward zero) for every detail value u.
struct Corrections {
  int32 byDetail[2 * kLargestDetail + 1];
  int32 operator()(int32 u) const { return byDetail[u + kLargestDetail]; }
};

Corrections corrections(int32 strength, const HaloStyle& style) {
  Corrections table;
  for (int32 u = -kLargestDetail; u <= kLargestDetail; ++u) {
    table.byDetail[u + kLargestDetail] = detailAmount(style, u) * strength / 100;
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

// Lane masks of one group for a pixel stride: channel[c] marks the lanes of channel c (0..2),
// keep the bytes the output keeps.
struct GroupPattern {
  __m128i channel[3][3];
  __m128i keep[2];  // bytes 0..15 and 16..23 of the group
  bool keepsBytes;
};

GroupPattern groupPattern(int32 stride) {
  alignas(16) int16 channel[3][kGroupBytes];
  alignas(16) uint8 keep[2 * 16] = {};
  for (int32 lane = 0; lane < kGroupBytes; ++lane) {
    for (int32 c = 0; c < 3; ++c) channel[c][lane] = lane % stride == c ? -1 : 0;
    keep[lane] = lane % stride >= 3 ? 0xFF : 0;
  }
  GroupPattern pattern{};
  for (int32 c = 0; c < 3; ++c) {
    for (int32 v = 0; v < 3; ++v) {
      pattern.channel[c][v] = _mm_load_si128(reinterpret_cast<const __m128i*>(channel[c] + 8 * v));
    }
  }
  pattern.keep[0] = _mm_load_si128(reinterpret_cast<const __m128i*>(keep));
  pattern.keep[1] = _mm_load_si128(reinterpret_cast<const __m128i*>(keep + 16));
  pattern.keepsBytes = stride > 3;
  return pattern;
}

// Lane j + Offset of the 24 lanes before|here|after, zero beyond the group.
template <int Offset>
inline __m128i shifted(__m128i before, __m128i here, __m128i after) {
  if constexpr (Offset > 0) {
    return _mm_or_si128(_mm_srli_si128(here, 2 * Offset), _mm_slli_si128(after, 16 - 2 * Offset));
  } else {
    return _mm_or_si128(_mm_slli_si128(here, -2 * Offset), _mm_srli_si128(before, 16 + 2 * Offset));
  }
}

struct VectorCorrection {
  __m128i multiplier;
  __m128i preShift;
  __m128i shift;
  __m128i darkShift;
  __m128i darkExtra;
};

VectorCorrection vectorCorrection(const CorrectionMultiplier& m, const HaloStyle& style) {
  return VectorCorrection{_mm_set1_epi16(int16(m.multiplier)), _mm_cvtsi32_si128(m.preShift),
                          _mm_cvtsi32_si128(m.shift), _mm_cvtsi32_si128(style.darkShift),
                          _mm_set1_epi16(style.darkExtra ? -1 : 0)};
}

// The sharpened value of eight lanes from their source values, differences and pixel mixes
// (2 d0 + d1 + d2, before the shift). amount(u) has the sign of u.
inline __m128i sharpenLanes(const VectorCorrection& c, __m128i source, __m128i difference,
                            __m128i mix) {
  __m128i u = _mm_add_epi16(_mm_srai_epi16(mix, 2), difference);
  __m128i sign = _mm_srai_epi16(u, 15);
  __m128i dark = _mm_and_si128(_mm_and_si128(_mm_sra_epi16(u, c.darkShift), sign), c.darkExtra);
  __m128i amount = _mm_add_epi16(_mm_srai_epi16(u, 1), dark);
  __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(amount, sign), sign);
  __m128i scaled =
      _mm_srl_epi16(_mm_mulhi_epu16(_mm_sll_epi16(magnitude, c.preShift), c.multiplier), c.shift);
  return _mm_add_epi16(source, _mm_sub_epi16(_mm_xor_si128(scaled, sign), sign));
}

// The mix of every lane's pixel: the three differences from a red lane on, plus red once more,
// land on the red lanes and are then copied one and two lanes on to green and blue.
inline void pixelMixes(const GroupPattern& p, const __m128i* difference, __m128i* mix) {
  const __m128i zero = _mm_setzero_si128();
  __m128i d[5] = {zero, difference[0], difference[1], difference[2], zero};
  __m128i red[5];
  red[0] = red[4] = zero;
  for (int32 v = 1; v <= 3; ++v) {
    __m128i sum = _mm_add_epi16(_mm_add_epi16(d[v], d[v]), shifted<1>(d[v - 1], d[v], d[v + 1]));
    red[v] = _mm_add_epi16(sum, shifted<2>(d[v - 1], d[v], d[v + 1]));
  }
  for (int32 v = 1; v <= 3; ++v) {
    __m128i own = _mm_and_si128(red[v], p.channel[0][v - 1]);
    __m128i green = _mm_and_si128(shifted<-1>(red[v - 1], red[v], red[v + 1]), p.channel[1][v - 1]);
    __m128i blue = _mm_and_si128(shifted<-2>(red[v - 1], red[v], red[v + 1]), p.channel[2][v - 1]);
    mix[v - 1] = _mm_or_si128(_mm_or_si128(own, green), blue);
  }
}

void combineGroup(const GroupPattern& p, const VectorCorrection& c, const uint8* s, const uint8* t,
                  uint8* o) {
  const __m128i zero = _mm_setzero_si128();
  __m128i s16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  __m128i s8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 16));
  __m128i t16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
  __m128i t8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + 16));
  __m128i source[3] = {_mm_unpacklo_epi8(s16, zero), _mm_unpackhi_epi8(s16, zero),
                       _mm_unpacklo_epi8(s8, zero)};
  __m128i difference[3] = {_mm_sub_epi16(source[0], _mm_unpacklo_epi8(t16, zero)),
                           _mm_sub_epi16(source[1], _mm_unpackhi_epi8(t16, zero)),
                           _mm_sub_epi16(source[2], _mm_unpacklo_epi8(t8, zero))};
  __m128i mix[3];
  pixelMixes(p, difference, mix);
  __m128i result[3];
  for (int32 v = 0; v < 3; ++v) result[v] = sharpenLanes(c, source[v], difference[v], mix[v]);
  __m128i out16 = _mm_packus_epi16(result[0], result[1]);
  __m128i out8 = _mm_packus_epi16(result[2], result[2]);
  if (p.keepsBytes) {
    __m128i old16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o));
    __m128i old8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(o + 16));
    out16 = _mm_or_si128(_mm_and_si128(p.keep[0], old16), _mm_andnot_si128(p.keep[0], out16));
    out8 = _mm_or_si128(_mm_and_si128(p.keep[1], old8), _mm_andnot_si128(p.keep[1], out8));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(o), out16);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), out8);
}

#if INKJET_ENGINE_AVX2
#pragma GCC push_options
#pragma GCC target("avx2")

// The 256-bit forms of shifted, sharpenLanes and pixelMixes: each 128-bit half is a group of its
// own, and the byte shifts never cross between halves.
template <int Offset>
inline __m256i shifted2(__m256i before, __m256i here, __m256i after) {
  if constexpr (Offset > 0) {
    return _mm256_or_si256(_mm256_srli_si256(here, 2 * Offset),
                           _mm256_slli_si256(after, 16 - 2 * Offset));
  } else {
    return _mm256_or_si256(_mm256_slli_si256(here, -2 * Offset),
                           _mm256_srli_si256(before, 16 + 2 * Offset));
  }
}

struct WideCorrection {
  explicit WideCorrection(const VectorCorrection& c)
      : multiplier(_mm256_broadcastsi128_si256(c.multiplier)),
        darkExtra(_mm256_broadcastsi128_si256(c.darkExtra)),
        preShift(c.preShift),
        shift(c.shift),
        darkShift(c.darkShift) {}
  __m256i multiplier;
  __m256i darkExtra;
  __m128i preShift;
  __m128i shift;
  __m128i darkShift;
};

inline __m256i sharpenLanes2(const WideCorrection& c, __m256i source, __m256i difference,
                             __m256i mix) {
  __m256i u = _mm256_add_epi16(_mm256_srai_epi16(mix, 2), difference);
  __m256i sign = _mm256_srai_epi16(u, 15);
  __m256i dark =
      _mm256_and_si256(_mm256_and_si256(_mm256_sra_epi16(u, c.darkShift), sign), c.darkExtra);
  __m256i amount = _mm256_add_epi16(_mm256_srai_epi16(u, 1), dark);
  __m256i magnitude = _mm256_sub_epi16(_mm256_xor_si256(amount, sign), sign);
  __m256i scaled = _mm256_srl_epi16(
      _mm256_mulhi_epu16(_mm256_sll_epi16(magnitude, c.preShift), c.multiplier), c.shift);
  return _mm256_add_epi16(source, _mm256_sub_epi16(_mm256_xor_si256(scaled, sign), sign));
}

struct WidePattern {
  explicit WidePattern(const GroupPattern& p) {
    for (int32 c = 0; c < 3; ++c) {
      for (int32 v = 0; v < 3; ++v) channel[c][v] = _mm256_broadcastsi128_si256(p.channel[c][v]);
    }
    keep[0] = _mm256_broadcastsi128_si256(p.keep[0]);
    keep[1] = _mm256_broadcastsi128_si256(p.keep[1]);
  }
  __m256i channel[3][3];
  __m256i keep[2];
};

inline void pixelMixes2(const WidePattern& p, const __m256i* difference, __m256i* mix) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i d[5] = {zero, difference[0], difference[1], difference[2], zero};
  __m256i red[5];
  red[0] = red[4] = zero;
  for (int32 v = 1; v <= 3; ++v) {
    __m256i sum =
        _mm256_add_epi16(_mm256_add_epi16(d[v], d[v]), shifted2<1>(d[v - 1], d[v], d[v + 1]));
    red[v] = _mm256_add_epi16(sum, shifted2<2>(d[v - 1], d[v], d[v + 1]));
  }
  for (int32 v = 1; v <= 3; ++v) {
    __m256i own = _mm256_and_si256(red[v], p.channel[0][v - 1]);
    __m256i green =
        _mm256_and_si256(shifted2<-1>(red[v - 1], red[v], red[v + 1]), p.channel[1][v - 1]);
    __m256i blue =
        _mm256_and_si256(shifted2<-2>(red[v - 1], red[v], red[v + 1]), p.channel[2][v - 1]);
    mix[v - 1] = _mm256_or_si256(_mm256_or_si256(own, green), blue);
  }
}

// Bytes [at, at + 16) in the low half and [at + 24, at + 40) in the high half: the same place
// in two neighbouring groups.
inline __m256i twoGroups16(const uint8* at) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + kGroupBytes)), 1);
}

// The same with eight bytes of each group.
inline __m256i twoGroups8(const uint8* at) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at))),
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at + kGroupBytes)), 1);
}

// combineGroup over `pairs` pairs of neighbouring groups from s, t and o on.
void combineGroupPairs(const GroupPattern& narrowPattern, const VectorCorrection& narrowCorrection,
                       const uint8* s, const uint8* t, uint8* o, int32 pairs) {
  const WidePattern p(narrowPattern);
  const WideCorrection c(narrowCorrection);
  const bool keepsBytes = narrowPattern.keepsBytes;
  const __m256i zero = _mm256_setzero_si256();
  for (int32 pair = 0; pair < pairs; ++pair) {
    __m256i s16 = twoGroups16(s);
    __m256i s8 = twoGroups8(s + 16);
    __m256i t16 = twoGroups16(t);
    __m256i t8 = twoGroups8(t + 16);
    __m256i source[3] = {_mm256_unpacklo_epi8(s16, zero), _mm256_unpackhi_epi8(s16, zero),
                         _mm256_unpacklo_epi8(s8, zero)};
    __m256i difference[3] = {_mm256_sub_epi16(source[0], _mm256_unpacklo_epi8(t16, zero)),
                             _mm256_sub_epi16(source[1], _mm256_unpackhi_epi8(t16, zero)),
                             _mm256_sub_epi16(source[2], _mm256_unpacklo_epi8(t8, zero))};
    __m256i mix[3];
    pixelMixes2(p, difference, mix);
    __m256i result[3];
    for (int32 v = 0; v < 3; ++v) result[v] = sharpenLanes2(c, source[v], difference[v], mix[v]);
    __m256i out16 = _mm256_packus_epi16(result[0], result[1]);
    __m256i out8 = _mm256_packus_epi16(result[2], result[2]);
    if (keepsBytes) {
      __m256i old16 = twoGroups16(o);
      __m256i old8 = twoGroups8(o + 16);
      out16 = _mm256_or_si256(_mm256_and_si256(p.keep[0], old16),
                              _mm256_andnot_si256(p.keep[0], out16));
      out8 =
          _mm256_or_si256(_mm256_and_si256(p.keep[1], old8), _mm256_andnot_si256(p.keep[1], out8));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(out16));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm256_castsi256_si128(out8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + kGroupBytes),
                     _mm256_extracti128_si256(out16, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o + kGroupBytes + 16),
                     _mm256_extracti128_si256(out8, 1));
    s += 2 * kGroupBytes;
    t += 2 * kGroupBytes;
    o += 2 * kGroupBytes;
  }
}

#pragma GCC pop_options
#endif

// Everything one call of combineDetail needs, prepared once.
struct Combination {
  Corrections table;
  int32 groupStride;  // pixel stride of the vector loop; 0 when rows go pixel by pixel
  GroupPattern pattern;
  VectorCorrection correction;
  bool pairs;  // two groups at a time (AVX2)
};

bool runsFreely(const PixelCursor& cursor, int32 count) {
  return cursor.clipLeft == 0 && cursor.columnsLeft >= count;
}

bool groupsFit(int32 stride) { return stride >= 3 && kGroupBytes % stride == 0; }

// One row of `count` samples; with no edge in reach the cursors reduce to plain pointers.
void combineRow(const Combination& combination, PixelCursor s, PixelCursor t, PixelCursor o,
                int32 count) {
  if (runsFreely(s, count) && runsFreely(t, count) && runsFreely(o, count)) {
    int32 stride = combination.groupStride;
    int32 i = 0;
    if (stride != 0 && s.pixelStride == stride && t.pixelStride == stride &&
        o.pixelStride == stride) {
      int32 perGroup = kGroupBytes / stride;
#if INKJET_ENGINE_AVX2
      if (combination.pairs) {
        int32 pairs = count / (2 * perGroup);
        combineGroupPairs(combination.pattern, combination.correction, s.channel0, t.channel0,
                          o.channel0, pairs);
        i = pairs * 2 * perGroup;
      }
#endif
      for (; i + perGroup <= count; i += perGroup) {
        combineGroup(combination.pattern, combination.correction, s.channel0 + i * stride,
                     t.channel0 + i * stride, o.channel0 + i * stride);
      }
    }
    for (; i < count; ++i) {
      combinePixel(combination.table, s.channel0 + i * s.pixelStride,
                   t.channel0 + i * t.pixelStride, o.channel0 + i * o.pixelStride);
    }
    return;
  }
  for (int32 i = 0; i < count; ++i) {
    combinePixel(combination.table, s.channel0, t.channel0, o.channel0);
    stepRight(&s);
    stepRight(&t);
    stepRight(&o);
  }
}

}  // namespace

void combineDetail(const ImagePlane& source, const ImagePlane& blurred, ImagePlane* output,
                   int32 strength, int32 personalProfile, int32 threads) {
  HaloStyle style = haloStyle(personalProfile);
  Combination combination{corrections(strength, style), 0, {}, {}, false};
  CorrectionMultiplier multiplier{};
  if (makeCorrectionMultiplier(strength, &multiplier) && groupsFit(source.channels)) {
    combination.groupStride = source.channels;
    combination.pattern = groupPattern(source.channels);
    combination.correction = vectorCorrection(multiplier, style);
    combination.pairs = vectorPath() == VectorPath::kAvx2;
  }
  const Rect& inner = source.inner;
  int32 step = source.step;
  int32 count = (inner.right - inner.left + step - 1) / step;
  // Each row is written from its own position only, so the rows split freely across workers.
  int32 rows = (inner.bottom - inner.top + step - 1) / step;
  if (rows <= 0) return;
  inBands(bandWorkers(threads, rows), rows, 4, [&](int32, Band band) {
    // The band's own copy, which no pixel store can alias, so its fields stay in registers.
    const Combination own = combination;
    for (int32 row = band.first; row < band.last; ++row) {
      int32 y = inner.top + row * step;
      combineRow(own, positionCursor(source, inner.left, y), positionCursor(blurred, inner.left, y),
                 positionCursor(*output, inner.left, y), count);
    }
  });
}
