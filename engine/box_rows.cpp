// The box blur on planes of step 1, in 16-bit lanes (a window sum never exceeds 255 * 201).
// Horizontal phase: eight rows at a time are transposed into a block whose vector i holds lane
// i of the eight rows, so the running sums along the rows run down the block, eight rows per
// instruction; the result is transposed back into bytes of the destination, which holds it
// until the vertical phase. Vertical phase: strips of 64 lanes run down all rows. In both, every
// pass reads what the previous one produced, exactly as the ping-pong between two scratch planes
// would: every pass covers ks fewer pixels of margin on each side, and its outputs beyond the area
// fold onto the edge pixel the way writes through a clamping cursor do - on the near (left, top)
// side the value computed at the edge itself, on the far side the value computed last, at the
// farthest position. Only the first three channels are summed; further bytes of a pixel ride along
// unchanged until storeRow leaves them as the plane had them.
// Where the processor has AVX2 (vector_path.h) a block holds sixteen rows, one 256-bit vector per
// lane, and a strip's rows go down in 256-bit vectors; the sums and quotients of every lane are
// the ones the 128-bit form computes.
#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/blur_paths.h"
#include "engine/scratch_buffer.h"
#include "engine/vector_path.h"
#include "engine/worker_bands.h"
#include "engine/working_rows.h"

namespace {

constexpr int32 kMostBlockRows = 16;
constexpr int32 kStripLanes = 64;
constexpr int32 kBlurredChannels = 3;
// Blocks and strips are independent, so cutting them finer costs nothing but the hand-over.
constexpr int32 kPiecesPerWorker = 4;

// Outputs of one pass that lie outside the area, replaced by what the plane would hold there.
// first is the area index of output 0; count outputs, each `width` 16-bit lanes wide. The far
// edge pixel was overwritten by every later output, so it ends up holding the last one; the
// near edge pixel holds the output computed on it (or, in an area one pixel across, the last
// one, which is why the far side is folded first).
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

// floor(sum / window) in every lane, as the checked multiply-high of the plan's divisor.
struct VectorDivisor {
  __m128i multiplier;
  __m128i shift;
  explicit VectorDivisor(const BoxDivisor& d)
      : multiplier(_mm_set1_epi16(int16(d.multiplier))), shift(_mm_cvtsi32_si128(d.shift - 16)) {}
  __m128i operator()(__m128i sums) const {
    return _mm_srl_epi16(_mm_mulhi_epu16(sums, multiplier), shift);
  }
};

// Transposes eight vectors of eight 16-bit lanes in place.
inline void transpose8(__m128i* r) {
  __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
  __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
  __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
  __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
  __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  r[0] = _mm_unpacklo_epi64(b0, b4);
  r[1] = _mm_unpackhi_epi64(b0, b4);
  r[2] = _mm_unpacklo_epi64(b1, b5);
  r[3] = _mm_unpackhi_epi64(b1, b5);
  r[4] = _mm_unpacklo_epi64(b2, b6);
  r[5] = _mm_unpackhi_epi64(b2, b6);
  r[6] = _mm_unpacklo_epi64(b3, b7);
  r[7] = _mm_unpackhi_epi64(b3, b7);
}

// The rows of one block, each addressed from its area column 0.
struct BlockRows {
  const uint8* row[kMostBlockRows];
};

BlockRows blockRows(const WorkingRows& rows, int32 firstRow) {
  BlockRows block;
  for (int32 r = 0; r < kMostBlockRows; ++r) {
    // A last, partial block repeats its last row; those rows are never stored.
    int32 y = std::min(firstRow + r, rows.rows - 1);
    block.row[r] = rows.rowAt(y) - ptrdiff_t(rows.firstColumn) * rows.channels;
  }
  return block;
}

// Eight bytes of a row from `bytes` on, of which `available` may be read: the last group of a
// row goes through a copy so that nothing past the row's end is read.
inline __m128i eightBytes(const uint8* bytes, int32 available) {
  uint8 tail[8] = {};
  if (available < 8) {
    bytes = static_cast<const uint8*>(std::memcpy(tail, bytes, size_t(available)));
  }
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
}

// Lanes [from, from + 8) of the eight rows, transposed into block[at .. at + 8).
void transposeIn(const BlockRows& rows, int32 from, int32 to, __m128i* at) {
  const __m128i zero = _mm_setzero_si128();
  __m128i v[8];
  for (int32 r = 0; r < 8; ++r)
    v[r] = _mm_unpacklo_epi8(eightBytes(rows.row[r] + from, to - from), zero);
  transpose8(v);
  for (int32 l = 0; l < 8; ++l) at[l] = v[l];
}

// Fills the block with the padded rows: block pixel i is area column first + i, clamped onto
// the area, for `count` pixels. Vector is a block's lane of all its rows.
template <typename Vector, void (*TransposeIn)(const BlockRows&, int32, int32, Vector*)>
void loadBlock(const BlockRows& rows, int32 first, int32 count, int32 channels, int32 areaColumns,
               Vector* block) {
  int32 insideFrom = std::clamp(-first, 0, count);
  int32 insideTo = std::clamp(areaColumns - first, insideFrom, count);
  int32 fromLane = (first + insideFrom) * channels;
  int32 toLane = (first + insideTo) * channels;
  for (int32 lane = fromLane; lane < toLane; lane += 8) {
    TransposeIn(rows, lane, toLane, block + (lane - first * channels));
  }
  auto copyPixel = [&](int32 to, int32 from) {
    std::memcpy(block + size_t(to) * channels, block + size_t(from) * channels,
                sizeof(Vector) * size_t(channels));
  };
  for (int32 i = 0; i < insideFrom; ++i) copyPixel(i, insideFrom);
  for (int32 i = insideTo; i < count; ++i) copyPixel(i, insideTo - 1);
}

// Window sums along the block: output pixel i sums input pixels i..i+2k, channel by channel.
void boxAlongBlock(const BoxPlan& plan, const VectorDivisor& divide, const __m128i* in,
                   int32 channels, int32 count, __m128i* out) {
  int32 window = 2 * plan.halfWindow + 1;
  for (int32 c = 0; c < std::min(channels, kBlurredChannels); ++c) {
    const __m128i* trailing = in + c;
    const __m128i* leading = in + c + size_t(window) * channels;
    __m128i sums = _mm_setzero_si128();
    for (int32 t = 0; t < window; ++t) sums = _mm_add_epi16(sums, trailing[t * channels]);
    __m128i* to = out + c;
    for (int32 i = 0; i < count; ++i) {
      to[size_t(i) * channels] = divide(sums);
      sums = _mm_add_epi16(
          sums, _mm_sub_epi16(leading[size_t(i) * channels], trailing[size_t(i) * channels]));
    }
  }
}

// The low eight bytes into lanes [lane, lane + width) of row y.
inline void storeEightBytes(__m128i bytes, const WorkingRows& plane, int32 y, int32 lane,
                            int32 width) {
  if (plane.channels == 3 && width == 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(plane.rowAt(y) + lane), bytes);
  } else {
    alignas(16) uint8 line[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(line), bytes);
    plane.storeLanes(y, lane, width, line);
  }
}

// The block's lanes transposed back into bytes of `rows` rows of the plane from `firstRow`.
void storeBlock(const __m128i* block, const WorkingRows& plane, int32 firstRow, int32 rows) {
  for (int32 lane = 0; lane < plane.lanes; lane += 8) {
    __m128i v[8];
    for (int32 l = 0; l < 8; ++l) v[l] = block[lane + l];
    transpose8(v);
    int32 width = std::min(8, plane.lanes - lane);
    for (int32 r = 0; r < rows; ++r) {
      storeEightBytes(_mm_packus_epi16(v[r], v[r]), plane, firstRow + r, lane, width);
    }
  }
}

// Blocks of eight rows in 128-bit vectors.
struct NarrowBlocks {
  using Vector = __m128i;
  static constexpr int32 kRows = 8;
  static void load(const BlockRows& rows, int32 first, int32 count, int32 channels,
                   int32 areaColumns, Vector* block) {
    loadBlock<Vector, transposeIn>(rows, first, count, channels, areaColumns, block);
  }
  static void along(const BoxPlan& plan, const VectorDivisor& divide, const Vector* in,
                    int32 channels, int32 count, Vector* out) {
    boxAlongBlock(plan, divide, in, channels, count, out);
  }
  static void store(const Vector* block, const WorkingRows& plane, int32 firstRow, int32 rows) {
    storeBlock(block, plane, firstRow, rows);
  }
};

// Window sums down a strip: output row i sums input rows i..i+2k, kStripLanes lanes each.
void boxDownStrip(const BoxPlan& plan, const VectorDivisor& divide, const __m128i* in, int32 count,
                  __m128i* out) {
  const int32 vectors = kStripLanes / 8;
  int32 window = 2 * plan.halfWindow + 1;
  __m128i sums[vectors];
  for (int32 v = 0; v < vectors; ++v) {
    sums[v] = _mm_setzero_si128();
    for (int32 t = 0; t < window; ++t) sums[v] = _mm_add_epi16(sums[v], in[t * vectors + v]);
  }
  const __m128i* leading = in + size_t(window) * vectors;
  for (int32 i = 0; i < count; ++i) {
    for (int32 v = 0; v < vectors; ++v) {
      size_t at = size_t(i) * vectors + size_t(v);
      out[at] = divide(sums[v]);
      sums[v] = _mm_add_epi16(sums[v], _mm_sub_epi16(leading[at], in[at]));
    }
  }
}

#if INKJET_ENGINE_AVX2
#pragma GCC push_options
#pragma GCC target("avx2")

// VectorDivisor on sixteen lanes.
struct WideDivisor {
  __m256i multiplier;
  __m128i shift;
  explicit WideDivisor(const VectorDivisor& d)
      : multiplier(_mm256_broadcastsi128_si256(d.multiplier)), shift(d.shift) {}
  __m256i operator()(__m256i sums) const {
    return _mm256_srl_epi16(_mm256_mulhi_epu16(sums, multiplier), shift);
  }
};

// transpose8 in each 128-bit half at once.
inline void transpose8Halves(__m256i* r) {
  __m256i a0 = _mm256_unpacklo_epi16(r[0], r[1]), a1 = _mm256_unpackhi_epi16(r[0], r[1]);
  __m256i a2 = _mm256_unpacklo_epi16(r[2], r[3]), a3 = _mm256_unpackhi_epi16(r[2], r[3]);
  __m256i a4 = _mm256_unpacklo_epi16(r[4], r[5]), a5 = _mm256_unpackhi_epi16(r[4], r[5]);
  __m256i a6 = _mm256_unpacklo_epi16(r[6], r[7]), a7 = _mm256_unpackhi_epi16(r[6], r[7]);
  __m256i b0 = _mm256_unpacklo_epi32(a0, a2), b1 = _mm256_unpackhi_epi32(a0, a2);
  __m256i b2 = _mm256_unpacklo_epi32(a1, a3), b3 = _mm256_unpackhi_epi32(a1, a3);
  __m256i b4 = _mm256_unpacklo_epi32(a4, a6), b5 = _mm256_unpackhi_epi32(a4, a6);
  __m256i b6 = _mm256_unpacklo_epi32(a5, a7), b7 = _mm256_unpackhi_epi32(a5, a7);
  r[0] = _mm256_unpacklo_epi64(b0, b4);
  r[1] = _mm256_unpackhi_epi64(b0, b4);
  r[2] = _mm256_unpacklo_epi64(b1, b5);
  r[3] = _mm256_unpackhi_epi64(b1, b5);
  r[4] = _mm256_unpacklo_epi64(b2, b6);
  r[5] = _mm256_unpackhi_epi64(b2, b6);
  r[6] = _mm256_unpacklo_epi64(b3, b7);
  r[7] = _mm256_unpackhi_epi64(b3, b7);
}

// Lanes [from, from + 8) of the sixteen rows, transposed into block[at .. at + 8): rows 0..7 in
// the low half of each vector, rows 8..15 in the high half. Rows r and r + 8 share a vector,
// so one transposition in both halves does it.
void transposeIn16(const BlockRows& rows, int32 from, int32 to, __m256i* at) {
  __m256i v[8];
  for (int32 r = 0; r < 8; ++r) {
    __m128i pair = _mm_unpacklo_epi64(eightBytes(rows.row[r] + from, to - from),
                                      eightBytes(rows.row[r + 8] + from, to - from));
    v[r] = _mm256_cvtepu8_epi16(pair);
  }
  transpose8Halves(v);
  for (int32 l = 0; l < 8; ++l) at[l] = v[l];
}

// boxAlongBlock on blocks of sixteen rows.
void boxAlongBlock16(const BoxPlan& plan, const VectorDivisor& narrowDivide, const __m256i* in,
                     int32 channels, int32 count, __m256i* out) {
  const WideDivisor divide(narrowDivide);
  int32 window = 2 * plan.halfWindow + 1;
  for (int32 c = 0; c < std::min(channels, kBlurredChannels); ++c) {
    const __m256i* trailing = in + c;
    const __m256i* leading = in + c + size_t(window) * channels;
    __m256i sums = _mm256_setzero_si256();
    for (int32 t = 0; t < window; ++t) sums = _mm256_add_epi16(sums, trailing[t * channels]);
    __m256i* to = out + c;
    for (int32 i = 0; i < count; ++i) {
      to[size_t(i) * channels] = divide(sums);
      sums = _mm256_add_epi16(
          sums, _mm256_sub_epi16(leading[size_t(i) * channels], trailing[size_t(i) * channels]));
    }
  }
}

// storeBlock on blocks of sixteen rows: after the transposition in both halves, vector r holds
// rows r and r + 8.
void storeBlock16(const __m256i* block, const WorkingRows& plane, int32 firstRow, int32 rows) {
  for (int32 lane = 0; lane < plane.lanes; lane += 8) {
    __m256i v[8];
    for (int32 l = 0; l < 8; ++l) v[l] = block[lane + l];
    transpose8Halves(v);
    int32 width = std::min(8, plane.lanes - lane);
    for (int32 r = 0; r < std::min(rows, 8); ++r) {
      __m256i bytes = _mm256_packus_epi16(v[r], v[r]);
      storeEightBytes(_mm256_castsi256_si128(bytes), plane, firstRow + r, lane, width);
      if (r + 8 < rows) {
        storeEightBytes(_mm256_extracti128_si256(bytes, 1), plane, firstRow + r + 8, lane, width);
      }
    }
  }
}

// boxDownStrip in 256-bit vectors. A strip row is the same 64 lanes in order in either width.
void boxDownStrip16(const BoxPlan& plan, const VectorDivisor& narrowDivide, const __m128i* narrowIn,
                    int32 count, __m128i* narrowOut) {
  const WideDivisor divide(narrowDivide);
  const __m256i* in = reinterpret_cast<const __m256i*>(narrowIn);
  __m256i* out = reinterpret_cast<__m256i*>(narrowOut);
  const int32 vectors = kStripLanes / 16;
  int32 window = 2 * plan.halfWindow + 1;
  __m256i sums[vectors];
  for (int32 v = 0; v < vectors; ++v) {
    sums[v] = _mm256_setzero_si256();
    for (int32 t = 0; t < window; ++t) sums[v] = _mm256_add_epi16(sums[v], in[t * vectors + v]);
  }
  const __m256i* leading = in + size_t(window) * vectors;
  for (int32 i = 0; i < count; ++i) {
    for (int32 v = 0; v < vectors; ++v) {
      size_t at = size_t(i) * vectors + size_t(v);
      out[at] = divide(sums[v]);
      sums[v] = _mm256_add_epi16(sums[v], _mm256_sub_epi16(leading[at], in[at]));
    }
  }
}

// Blocks of sixteen rows in 256-bit vectors.
struct WideBlocks {
  using Vector = __m256i;
  static constexpr int32 kRows = 16;
  static void load(const BlockRows& rows, int32 first, int32 count, int32 channels,
                   int32 areaColumns, Vector* block) {
    loadBlock<Vector, transposeIn16>(rows, first, count, channels, areaColumns, block);
  }
  static void along(const BoxPlan& plan, const VectorDivisor& divide, const Vector* in,
                    int32 channels, int32 count, Vector* out) {
    boxAlongBlock16(plan, divide, in, channels, count, out);
  }
  static void store(const Vector* block, const WorkingRows& plane, int32 firstRow, int32 rows) {
    storeBlock16(block, plane, firstRow, rows);
  }
};

#pragma GCC pop_options
#endif

// All horizontal passes of the block of rows from `firstRow` of the source, into the same rows
// of the destination; a and b hold a block each.
template <typename Blocks>
void horizontalPasses(const BoxPlan& plan, const VectorDivisor& divide, const WorkingRows& rows,
                      const WorkingRows& destination, int32 firstRow, typename Blocks::Vector* a,
                      typename Blocks::Vector* b) {
  int32 ks = plan.halfWindowDocument;
  int32 last = plan.horizontalPasses - 1;
  int32 pad = last * ks + ks;
  Blocks::load(blockRows(rows, firstRow), rows.firstColumn - pad, rows.columns + 2 * pad,
               rows.channels, rows.areaColumns, a);
  for (int32 pass = 0; pass <= last; ++pass) {
    int32 extra = (last - pass) * ks;
    int32 count = rows.columns + 2 * extra;
    Blocks::along(plan, divide, a, rows.channels, count, b);
    foldOntoArea(reinterpret_cast<int16*>(b), rows.firstColumn - extra, count, rows.areaColumns,
                 size_t(rows.channels) * Blocks::kRows);
    std::swap(a, b);
  }
  Blocks::store(a, destination, firstRow, std::min(Blocks::kRows, rows.rows - firstRow));
}

// The strip's rows in bytes, into the plane's lanes [first, first + width) of those rows.
void storeStrip(const __m128i* strip, const WorkingRows& rows, int32 first, int32 width) {
  const int32 vectors = kStripLanes / 8;
  for (int32 r = 0; r < rows.rows; ++r) {
    alignas(16) uint8 bytes[kStripLanes];
    bool direct = rows.channels == 3 && width == kStripLanes;
    uint8* to = direct ? rows.rowAt(r) + first : bytes;
    for (int32 v = 0; v < vectors / 2; ++v) {
      const __m128i* pair = strip + r * vectors + 2 * v;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to) + v, _mm_packus_epi16(pair[0], pair[1]));
    }
    if (!direct) rows.storeLanes(r, first, width, bytes);
  }
}

using DownStrip = void (*)(const BoxPlan&, const VectorDivisor&, const __m128i*, int32, __m128i*);

// All vertical passes of the strip of lanes [first, first + width), width at most kStripLanes,
// read from the horizontal result and written into the same lanes of the plane. A strip reads
// and writes only its own lanes, so the horizontal result may be the plane itself.
template <DownStrip Down>
void verticalPasses(const BoxPlan& plan, const VectorDivisor& divide, const WorkingRows& horizontal,
                    const WorkingRows& rows, int32 first, int32 width, __m128i* a, __m128i* b) {
  const int32 vectors = kStripLanes / 8;
  const __m128i zero = _mm_setzero_si128();
  int32 ks = plan.halfWindowDocument;
  int32 reach = 3 * ks;
  int32 total = rows.rows + 2 * reach;
  for (int32 r = 0; r < total; ++r) {
    int32 y = std::clamp(rows.firstRow - reach + r, 0, rows.areaRows - 1) - horizontal.firstRow;
    alignas(16) uint8 partial[kStripLanes];
    const uint8* row = horizontal.rowAt(y) + first;
    if (width < kStripLanes) {
      std::memset(partial, 0, sizeof partial);
      row = static_cast<const uint8*>(std::memcpy(partial, row, size_t(width)));
    }
    const __m128i* from = reinterpret_cast<const __m128i*>(row);
    for (int32 v = 0; v < vectors / 2; ++v) {
      __m128i bytes = _mm_loadu_si128(from + v);
      a[r * vectors + 2 * v] = _mm_unpacklo_epi8(bytes, zero);
      a[r * vectors + 2 * v + 1] = _mm_unpackhi_epi8(bytes, zero);
    }
  }
  for (int32 pass = 0; pass < 3; ++pass) {
    int32 extra = (2 - pass) * ks;
    int32 count = rows.rows + 2 * extra;
    Down(plan, divide, a, count, b);
    foldOntoArea(reinterpret_cast<int16*>(b), rows.firstRow - extra, count, rows.areaRows,
                 kStripLanes);
    std::swap(a, b);
  }
  storeStrip(a, rows, first, width);
}

// Room for the widest vector's alignment.
constexpr size_t kVectorAlignment = 32;

template <typename Vector>
Vector* aligned(const ScratchBuffer& buffer) {
  uintptr_t address = reinterpret_cast<uintptr_t>(buffer.as<void>());
  return reinterpret_cast<Vector*>((address + kVectorAlignment - 1) & ~(kVectorAlignment - 1));
}

// Scratch of one worker, all of it allocated before any pixel is written.
struct BoxScratch {
  BoxScratch(HandleMemory memory, size_t blockBytes, size_t stripBytes)
      : blockA(memory, blockBytes + kVectorAlignment),
        blockB(memory, blockBytes + kVectorAlignment),
        stripA(memory, stripBytes + kVectorAlignment),
        stripB(memory, stripBytes + kVectorAlignment) {
    if (!ok()) return;
    // Lanes nobody computes (extra channels, the ends of groups, the sample after a window's
    // last) start as zeros.
    for (const ScratchBuffer* buffer : {&blockA, &blockB}) {
      std::memset(aligned<uint8>(*buffer), 0, blockBytes);
    }
    for (const ScratchBuffer* buffer : {&stripA, &stripB}) {
      std::memset(aligned<uint8>(*buffer), 0, stripBytes);
    }
  }
  bool ok() const { return blockA.ok() && blockB.ok() && stripA.ok() && stripB.ok(); }
  ScratchBuffer blockA, blockB, stripA, stripB;
};

// Both phases with blocks of Blocks and strips going down through Down; false when no worker's
// scratch can be had.
template <typename Blocks, DownStrip Down>
bool boxPhases(const BoxPlan& plan, const WorkingRows& in, const WorkingRows& staging,
               const WorkingRows& out, HandleMemory memory, int32 threads) {
  using Vector = typename Blocks::Vector;
  int32 ks = plan.halfWindowDocument;
  // Room for the widest pass plus a pixel, and for the last group of eight lanes.
  int32 padded = in.columns + 2 * plan.horizontalPasses * ks + 1;
  size_t blockBytes = (size_t(padded) * size_t(in.channels) + 8) * sizeof(Vector);
  size_t stripBytes = size_t(out.rows + 6 * ks + 1) * kStripLanes * sizeof(int16);
  const int32 blocks = (in.rows + Blocks::kRows - 1) / Blocks::kRows;
  const int32 strips = (out.lanes + kStripLanes - 1) / kStripLanes;
  std::vector<std::unique_ptr<BoxScratch>> scratch;
  for (int32 worker = 0; worker < bandWorkers(threads, std::max(blocks, strips)); ++worker) {
    auto buffers = std::make_unique<BoxScratch>(memory, blockBytes, stripBytes);
    if (!buffers->ok()) break;
    scratch.push_back(std::move(buffers));
  }
  if (scratch.empty()) return false;
  const int32 workers = int32(scratch.size());
  VectorDivisor divide(plan.divisor);
  // Each band works on its own copies of the plan, the divisor and the row views, which no pixel
  // store can alias, so they stay in registers.
  inBands(std::min(workers, blocks), blocks, kPiecesPerWorker, [&](int32 worker, Band band) {
    const BoxPlan ownPlan = plan;
    const VectorDivisor ownDivide = divide;
    const WorkingRows ownIn = in;
    const WorkingRows ownStaging = staging;
    const BoxScratch& own = *scratch[size_t(worker)];
    Vector* a = aligned<Vector>(own.blockA);
    Vector* b = aligned<Vector>(own.blockB);
    for (int32 block = band.first; block < band.last; ++block) {
      horizontalPasses<Blocks>(ownPlan, ownDivide, ownIn, ownStaging, block * Blocks::kRows, a, b);
    }
  });
  inBands(std::min(workers, strips), strips, kPiecesPerWorker, [&](int32 worker, Band band) {
    const BoxPlan ownPlan = plan;
    const VectorDivisor ownDivide = divide;
    const WorkingRows ownStaging = staging;
    const WorkingRows ownOut = out;
    const BoxScratch& own = *scratch[size_t(worker)];
    for (int32 s = band.first; s < band.last; ++s) {
      int32 first = s * kStripLanes;
      verticalPasses<Down>(ownPlan, ownDivide, ownStaging, ownOut, first,
                           std::min(kStripLanes, out.lanes - first), aligned<__m128i>(own.stripA),
                           aligned<__m128i>(own.stripB));
    }
  });
  return true;
}

}  // namespace

// The horizontal result is kept in the destination itself, over the horizontal working rows;
// the vertical phase turns the inner part of it into the final result in place, and the rows
// only the horizontal phase needed get the source's pixels back (the destination's contract
// says it held a copy of the source).
// Each phase is split across the workers the way it already runs in independent pieces: the
// horizontal phase by blocks of rows, the vertical phase by strips of lanes, which read
// and write only their own bytes of each row. The second phase starts once the first is done.
bool boxRows(const BoxPlan& plan, const ImagePlane& source, ImagePlane* destination,
             int32 horizontalMargin, int32 verticalMargin, HandleMemory memory, int32 threads) {
  if (plan.divisor.multiplier == 0) {
    return boxCursors(plan, source, destination, horizontalMargin, verticalMargin, memory);
  }
  int32 ks = plan.halfWindowDocument;
  Rect horizontalWork =
      grownRect(source.inner, source.area, horizontalMargin, verticalMargin + 3 * ks);
  Rect verticalWork = grownRect(source.inner, source.area, horizontalMargin, verticalMargin);
  WorkingRows in(source, horizontalWork);
  WorkingRows staging(*destination, horizontalWork);
  WorkingRows out(*destination, verticalWork);
  if (out.columns <= 0 || out.rows <= 0) return true;
#if INKJET_ENGINE_AVX2
  const bool done =
      vectorPath() == VectorPath::kAvx2
          ? boxPhases<WideBlocks, boxDownStrip16>(plan, in, staging, out, memory, threads)
          : boxPhases<NarrowBlocks, boxDownStrip>(plan, in, staging, out, memory, threads);
#else
  const bool done = boxPhases<NarrowBlocks, boxDownStrip>(plan, in, staging, out, memory, threads);
#endif
  if (!done) return false;
  int32 top = out.firstRow - staging.firstRow;
  for (int32 y = 0; y < staging.rows; ++y) {
    if (y < top || y >= top + out.rows) staging.storeRow(y, in.rowAt(y));
  }
  return true;
}
