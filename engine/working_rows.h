// Row access to a plane of step 1 inside a working rectangle, for the row-buffer blurs.
// Rows and columns are counted from the working rectangle's top-left corner; a row index
// outside the area is clamped onto its first or last row, which is how the blurs replicate the
// edge. A "lane" is one byte of a pixel: a row of the working rectangle has columns * channels
// lanes. The plane must be addressable for as long as this view is used.
#pragma once

#include <cstddef>

#include "hostapi/types.h"
#include "image/image_plane.h"

struct WorkingRows {
  WorkingRows(const ImagePlane& plane, const Rect& work);

  // Row y as 16-bit lanes, with `pad` pixels on each side: pixel i of the output is plane
  // column work.left - pad + i, clamped onto the area.
  void widenRow(int32 y, int32 pad, int16* out) const;
  // The row index of y after clamping the document row onto the area.
  int32 clampedRow(int32 y) const;
  // The plane's row y from the working rectangle's left edge.
  uint8* rowAt(int32 y) const { return base + ptrdiff_t(y) * rowBytes; }
  // Writes the first three channels of each pixel of `line` into row y; other bytes stay.
  void storeRow(int32 y, const uint8* line) const;
  // The same for `count` lanes of row y from lane `first` on.
  void storeLanes(int32 y, int32 first, int32 count, const uint8* line) const;

  uint8* base;  // pixel (work.left, work.top)
  int32 rowBytes;
  int32 channels;
  int32 columns;  // of the working rectangle
  int32 rows;
  int32 lanes;        // columns * channels
  int32 firstColumn;  // area column of work.left
  int32 firstRow;     // area row of work.top
  int32 areaColumns;
  int32 areaRows;
};
