// Row access inside a working rectangle.
#include "engine/working_rows.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

WorkingRows::WorkingRows(const ImagePlane& plane, const Rect& work)
    : rowBytes(*plane.rowBytes),
      channels(plane.channels),
      columns(work.right - work.left),
      rows(work.bottom - work.top),
      lanes((work.right - work.left) * plane.channels),
      firstColumn(work.left - plane.area.left),
      firstRow(work.top - plane.area.top),
      areaColumns(plane.area.right - plane.area.left),
      areaRows(plane.area.bottom - plane.area.top) {
  base = *plane.pixelAddress + ptrdiff_t(firstRow) * rowBytes + ptrdiff_t(firstColumn) * channels;
}

void WorkingRows::widenRow(int32 y, int32 pad, int16* out) const {
  const uint8* row = rowAt(y) - ptrdiff_t(firstColumn) * channels;
  int32 count = columns + 2 * pad;
  int32 start = firstColumn - pad;  // area column of output pixel 0
  // Pixels inside the area are a straight widening copy; only those beyond repeat an edge.
  int32 insideFrom = std::clamp(-start, 0, count);
  int32 insideTo = std::clamp(areaColumns - start, insideFrom, count);
  auto edge = [&](int32 i) {
    const uint8* pixel = row + ptrdiff_t(std::clamp(start + i, 0, areaColumns - 1)) * channels;
    for (int32 c = 0; c < channels; ++c) out[i * channels + c] = pixel[c];
  };
  for (int32 i = 0; i < insideFrom; ++i) edge(i);
  const uint8* inside = row + ptrdiff_t(start + insideFrom) * channels;
  int16* to = out + ptrdiff_t(insideFrom) * channels;
  for (int32 lane = 0; lane < (insideTo - insideFrom) * channels; ++lane) to[lane] = inside[lane];
  for (int32 i = insideTo; i < count; ++i) edge(i);
}

int32 WorkingRows::clampedRow(int32 y) const {
  return std::clamp(firstRow + y, 0, areaRows - 1) - firstRow;
}

void WorkingRows::storeRow(int32 y, const uint8* line) const { storeLanes(y, 0, lanes, line); }

void WorkingRows::storeLanes(int32 y, int32 first, int32 count, const uint8* line) const {
  uint8* row = rowAt(y) + first;
  if (channels == 3) {
    std::memcpy(row, line, size_t(count));
    return;
  }
  int32 b = 0;
  if (channels == 4 && first % 4 == 0) {
    // Keep every fourth byte (transparency and the like) of the plane, take the rest.
    const __m128i keep = _mm_set1_epi32(int32(0xFF000000u));
    for (; b + 16 <= count; b += 16) {
      __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + b));
      __m128i fresh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + b));
      __m128i mixed = _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, fresh));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + b), mixed);
    }
  }
  for (; b < count; ++b) {
    if ((first + b) % channels < 3) row[b] = line[b];
  }
}
