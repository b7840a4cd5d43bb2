// The Gaussian blur on planes of step 1, a row at a time.
// Horizontal pass: each row of the working rectangle is widened into a 16-bit row with the
// kernel's half-width of edge pixels repeated on both sides, convolved, and kept in a ring of
// rows. Vertical pass: each output row combines the ring's rows (or, outside the working
// rectangle, the destination's own rows, which the vertical pass never replaces) through a
// table of row pointers clamped onto the area. Eight samples at a time: the kernel is
// symmetric, so mirrored taps are added first and then multiplied in pairs with pmaddwd; the
// 32-bit sums stay below 2^24, so a float multiply with a checked reciprocal and a truncation
// give the exact quotient. The half-width is a template argument (1..6 on this path). Where the
// processor has AVX2 the same arithmetic runs on sixteen samples at a time (vector_path.h).
#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/blur_paths.h"
#include "engine/scratch_buffer.h"
#include "engine/vector_path.h"
#include "engine/worker_bands.h"
#include "engine/working_rows.h"

namespace {

// The widest kernel of the Gaussian path: below radius 2.5 the weights end at i = 6.
constexpr int32 kRowKernelHalfWidth = 6;

struct Taps {
  int32 halfWidth;
  int32 weights[kRowKernelHalfWidth + 1];
  __m128i pairs[(kRowKernelHalfWidth + 2) / 2];  // (w(2i), w(2i+1)) in every 32-bit lane
  __m128 reciprocal;
  int32 sum;
};

// The float multiplier that turns every sum of 0..255 * S into floor(sum / S) by a multiply
// and a truncation. Rounding is monotonic, so it suffices that each multiple q * S reaches q
// and the sum just below it stays under q; the float nearest 1 / S is raised until it does.
float exactReciprocal(int32 divisor) {
  float reciprocal = float(1.0 / double(divisor));
  auto exact = [divisor](float r) {
    for (int32 q = 1; q <= 256; ++q) {
      if (int32(float(q * divisor) * r) < q || int32(float(q * divisor - 1) * r) >= q) return false;
    }
    return true;
  };
  while (!exact(reciprocal)) reciprocal = std::nextafter(reciprocal, 1.0f);
  return reciprocal;
}

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
  taps->reciprocal = _mm_set1_ps(exactReciprocal(taps->sum));
}

// The quotients of eight samples, given the centre samples and the mirrored pair sums
// folded[0..Half] (folded[0] the centre), as eight 16-bit lanes.
template <int32 Half>
inline __m128i weightedQuotients(const Taps& taps, const __m128i* folded) {
  __m128i low = _mm_setzero_si128();
  __m128i high = _mm_setzero_si128();
  for (int32 i = 0; i <= Half; i += 2) {
    __m128i odd = i + 1 <= Half ? folded[i + 1] : _mm_setzero_si128();
    low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(folded[i], odd), taps.pairs[i / 2]));
    high =
        _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(folded[i], odd), taps.pairs[i / 2]));
  }
  __m128i lowQuotient = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(low), taps.reciprocal));
  __m128i highQuotient = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(high), taps.reciprocal));
  return _mm_packs_epi32(lowQuotient, highQuotient);
}

// Convolves a widened row from lane `from` on: output lane b reads lanes b + t * channels for
// t = 0..2 Half.
template <int32 Half>
void convolveRow(const Taps& taps, const int16* wide, int32 channels, int32 lanes, int32 from,
                 uint8* out) {
  __m128i folded[Half + 1];
  int32 b = from;
  for (; b + 8 <= lanes; b += 8) {
    const int16* centre = wide + b + Half * channels;
    folded[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre));
    for (int32 t = 1; t <= Half; ++t) {
      __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre - t * channels));
      __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre + t * channels));
      folded[t] = _mm_add_epi16(before, after);
    }
    __m128i q = weightedQuotients<Half>(taps, folded);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(q, q));
  }
  for (; b < lanes; ++b) {
    const int16* centre = wide + b + Half * channels;
    int32 sum = taps.weights[0] * centre[0];
    for (int32 t = 1; t <= Half; ++t) {
      sum += taps.weights[t] * (centre[-t * channels] + centre[t * channels]);
    }
    out[b] = uint8(sum / taps.sum);
  }
}

// Combines the 2 Half + 1 rows around an output row, lane by lane from lane `from` on.
template <int32 Half>
void convolveColumn(const Taps& taps, const uint8* const* rows, int32 lanes, int32 from,
                    uint8* out) {
  const uint8* const* centre = rows + Half;
  __m128i folded[Half + 1];
  __m128i zero = _mm_setzero_si128();
  auto load = [&](const uint8* row, int32 b) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b)), zero);
  };
  int32 b = from;
  for (; b + 8 <= lanes; b += 8) {
    folded[0] = load(centre[0], b);
    for (int32 t = 1; t <= Half; ++t) {
      folded[t] = _mm_add_epi16(load(centre[-t], b), load(centre[t], b));
    }
    __m128i q = weightedQuotients<Half>(taps, folded);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(q, q));
  }
  for (; b < lanes; ++b) {
    int32 sum = taps.weights[0] * centre[0][b];
    for (int32 t = 1; t <= Half; ++t) sum += taps.weights[t] * (centre[-t][b] + centre[t][b]);
    out[b] = uint8(sum / taps.sum);
  }
}

// The rows and columns eight lanes at a time, the last few lane by lane.
template <int32 Half>
struct Sse2Lines {
  static void row(const Taps& taps, const int16* wide, int32 channels, int32 lanes, uint8* out) {
    convolveRow<Half>(taps, wide, channels, lanes, 0, out);
  }
  static void column(const Taps& taps, const uint8* const* rows, int32 lanes, uint8* out) {
    convolveColumn<Half>(taps, rows, lanes, 0, out);
  }
};

#if INKJET_ENGINE_AVX2
#pragma GCC push_options
#pragma GCC target("avx2")

// weightedQuotients on sixteen samples. The unpacks and the pack work inside each 128-bit half,
// so the sums of lanes 0..3 and 8..11 land in `low` and come back in order; every lane's sum,
// float product and truncation are the ones the eight-lane form computes.
template <int32 Half>
inline __m256i weightedQuotients16(const __m256i* pairs, __m256 reciprocal, const __m256i* folded) {
  __m256i low = _mm256_setzero_si256();
  __m256i high = _mm256_setzero_si256();
  for (int32 i = 0; i <= Half; i += 2) {
    __m256i odd = i + 1 <= Half ? folded[i + 1] : _mm256_setzero_si256();
    low = _mm256_add_epi32(low,
                           _mm256_madd_epi16(_mm256_unpacklo_epi16(folded[i], odd), pairs[i / 2]));
    high = _mm256_add_epi32(high,
                            _mm256_madd_epi16(_mm256_unpackhi_epi16(folded[i], odd), pairs[i / 2]));
  }
  __m256i lowQuotient = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(low), reciprocal));
  __m256i highQuotient = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(high), reciprocal));
  return _mm256_packs_epi32(lowQuotient, highQuotient);
}

// Sixteen quotients (0..255) as sixteen bytes in order.
inline __m128i quotientBytes(__m256i q) {
  return _mm_packus_epi16(_mm256_castsi256_si128(q), _mm256_extracti128_si256(q, 1));
}

// The taps widened to both halves; made once per row, which costs nothing beside the row.
template <int32 Half>
struct WideTaps {
  explicit WideTaps(const Taps& taps) : reciprocal(_mm256_broadcastss_ps(taps.reciprocal)) {
    for (int32 i = 0; i <= Half; i += 2) {
      pairs[i / 2] = _mm256_broadcastsi128_si256(taps.pairs[i / 2]);
    }
  }
  __m256i pairs[(Half + 2) / 2];
  __m256 reciprocal;
};

// convolveRow's vector loop sixteen lanes at a time; answers the lanes done.
template <int32 Half>
int32 convolveRow16(const Taps& taps, const int16* wide, int32 channels, int32 lanes, uint8* out) {
  const WideTaps<Half> wideTaps(taps);
  __m256i folded[Half + 1];
  int32 b = 0;
  for (; b + 16 <= lanes; b += 16) {
    const int16* centre = wide + b + Half * channels;
    folded[0] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre));
    for (int32 t = 1; t <= Half; ++t) {
      __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre - t * channels));
      __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre + t * channels));
      folded[t] = _mm256_add_epi16(before, after);
    }
    __m256i q = weightedQuotients16<Half>(wideTaps.pairs, wideTaps.reciprocal, folded);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), quotientBytes(q));
  }
  return b;
}

// convolveColumn's vector loop sixteen lanes at a time; answers the lanes done.
template <int32 Half>
int32 convolveColumn16(const Taps& taps, const uint8* const* rows, int32 lanes, uint8* out) {
  const WideTaps<Half> wideTaps(taps);
  const uint8* const* centre = rows + Half;
  __m256i folded[Half + 1];
  int32 b = 0;
  for (; b + 16 <= lanes; b += 16) {
    folded[0] =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(centre[0] + b)));
    for (int32 t = 1; t <= Half; ++t) {
      __m256i before =
          _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(centre[-t] + b)));
      __m256i after =
          _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(centre[t] + b)));
      folded[t] = _mm256_add_epi16(before, after);
    }
    __m256i q = weightedQuotients16<Half>(wideTaps.pairs, wideTaps.reciprocal, folded);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), quotientBytes(q));
  }
  return b;
}

#pragma GCC pop_options

// Sixteen lanes at a time, then the eight-lane loop and the single lanes for the rest.
template <int32 Half>
struct Avx2Lines {
  static void row(const Taps& taps, const int16* wide, int32 channels, int32 lanes, uint8* out) {
    int32 done = convolveRow16<Half>(taps, wide, channels, lanes, out);
    convolveRow<Half>(taps, wide, channels, lanes, done, out);
  }
  static void column(const Taps& taps, const uint8* const* rows, int32 lanes, uint8* out) {
    int32 done = convolveColumn16<Half>(taps, rows, lanes, out);
    convolveColumn<Half>(taps, rows, lanes, done, out);
  }
};
#endif

// The scratch of one worker: the ring, a widened row and an output line.
struct GaussianScratch {
  GaussianScratch(HandleMemory memory, int32 ringRows, int32 stride, size_t wideLanes)
      : ring(memory, size_t(stride) * size_t(ringRows)),
        wide(memory, sizeof(int16) * wideLanes),
        line(memory, size_t(stride)) {}
  bool ok() const { return ring.ok() && wide.ok() && line.ok(); }
  ScratchBuffer ring, wide, line;
};

// Both passes over the output rows [first, last), with the half-width fixed at compile time, so
// the taps stay in registers. The horizontal result lives in a ring of 2 Half + 1 rows, each row
// blurred just before the first output row that reaches it, so the rows are still in the cache
// when they are combined. A band blurs the Half rows on either side of it for itself: a row's
// horizontal blur depends on that source row alone, so every band sees the same values.
template <int32 Half, typename Lines>
void gaussianBand(const Taps& sharedTaps, const WorkingRows& sharedIn, const WorkingRows& sharedOut,
                  int32 stride, const GaussianScratch& scratch, int32 first, int32 last) {
  // The band's own copies, which no pixel store can alias, so they stay in registers.
  const Taps taps = sharedTaps;
  const WorkingRows in = sharedIn;
  const WorkingRows out = sharedOut;
  const int32 ringRows = 2 * Half + 1;
  uint8* ring = scratch.ring.as<uint8>();
  int16* wide = scratch.wide.as<int16>();
  uint8* line = scratch.line.as<uint8>();
  auto ringRow = [&](int32 y) { return ring + size_t(y % ringRows) * stride; };
  int32 blurred = std::max(first - Half, 0);  // rows [.., blurred) have been blurred horizontally
  const uint8* table[ringRows];
  for (int32 y = first; y < last; ++y) {
    for (; blurred < std::min(y + Half + 1, in.rows); ++blurred) {
      in.widenRow(blurred, Half, wide);
      Lines::row(taps, wide, in.channels, in.lanes, ringRow(blurred));
    }
    // Rows outside the working rectangle are the destination's own, which this pass never
    // writes; clamping onto the area keeps every other row within the ring's reach.
    for (int32 t = -Half; t <= Half; ++t) {
      int32 row = out.clampedRow(y + t);
      table[t + Half] = row >= 0 && row < out.rows ? ringRow(row) : out.rowAt(row);
    }
    uint8* target = in.channels == 3 ? out.rowAt(y) : line;
    Lines::column(taps, table, in.lanes, target);
    if (in.channels != 3) out.storeRow(y, target);
  }
}

// The rows in bands, one per worker; every worker's scratch is had before any pixel is
// written, and a worker whose scratch cannot be had leaves its share to the others.
template <int32 Half, template <int32> class Lines>
bool gaussianPasses(const Taps& taps, const WorkingRows& in, const WorkingRows& out,
                    HandleMemory memory, int32 threads) {
  const int32 ringRows = 2 * Half + 1;
  int32 stride = (in.lanes + 15) & ~15;
  size_t wideLanes = size_t(in.lanes + 2 * Half * in.channels + 8);
  std::vector<std::unique_ptr<GaussianScratch>> scratch;
  for (int32 worker = 0; worker < bandWorkers(threads, out.rows); ++worker) {
    auto buffers = std::make_unique<GaussianScratch>(memory, ringRows, stride, wideLanes);
    if (!buffers->ok()) break;
    scratch.push_back(std::move(buffers));
  }
  if (scratch.empty()) return false;
  const int32 workers = int32(scratch.size());
  // Each band blurs 2 Half rows more than its own, so the rows are cut only a little finer than
  // one band per worker.
  inBands(workers, out.rows, 2, [&](int32 worker, Band band) {
    gaussianBand<Half, Lines<Half>>(taps, in, out, stride, *scratch[size_t(worker)], band.first,
                                    band.last);
  });
  return true;
}

template <template <int32> class Lines>
bool gaussianPasses(const Taps& taps, const WorkingRows& in, const WorkingRows& out,
                    HandleMemory memory, int32 threads) {
  switch (taps.halfWidth) {
    case 1:
      return gaussianPasses<1, Lines>(taps, in, out, memory, threads);
    case 2:
      return gaussianPasses<2, Lines>(taps, in, out, memory, threads);
    case 3:
      return gaussianPasses<3, Lines>(taps, in, out, memory, threads);
    case 4:
      return gaussianPasses<4, Lines>(taps, in, out, memory, threads);
    case 5:
      return gaussianPasses<5, Lines>(taps, in, out, memory, threads);
    default:
      return gaussianPasses<6, Lines>(taps, in, out, memory, threads);
  }
}

}  // namespace

bool gaussianRows(const GaussianKernel& kernel, const ImagePlane& source, ImagePlane* destination,
                  int32 horizontalMargin, int32 verticalMargin, HandleMemory memory,
                  int32 threads) {
  if (kernel.halfWidth > kRowKernelHalfWidth || kernel.halfWidth < 1) {
    return gaussianCursors(kernel, source, destination, horizontalMargin, verticalMargin, memory);
  }
  Rect work = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
  WorkingRows in(source, work);
  WorkingRows out(*destination, work);
  if (in.columns <= 0 || in.rows <= 0) return true;
  Taps taps;
  prepareTaps(kernel, &taps);
#if INKJET_ENGINE_AVX2
  if (vectorPath() == VectorPath::kAvx2) {
    return gaussianPasses<Avx2Lines>(taps, in, out, memory, threads);
  }
#endif
  return gaussianPasses<Sse2Lines>(taps, in, out, memory, threads);
}
