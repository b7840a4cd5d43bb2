// The host's tile buffers: the pixels of one requested rectangle handed to the filter in
// inData / outData (or the selection mask in maskData), and the way back for outData. A buffer
// holds planes lo..hi interleaved, rows `rowBytes` apart, one pixel per pixel of the rectangle.
// The rectangle is in coordinates reduced by the sampling rate r, as the host interface defines
// them: buffer pixel (i, j) of rect is document pixel ((left + i) * r, (top + j) * r). This host
// samples by picking that one pixel (point sampling at whole multiples of the rate, no
// averaging), so a preview at 1:r reads only the pixels it shows. Sampled points outside the
// document are filled by the padding rule: 0..255 a fill value, -1 the nearest edge pixel, -2
// left as 0, -3 (or anything else) refuses the request.
// The buffers own their bytes; the caller points the FilterRecord at them.
#pragma once

#include <vector>

#include "hostapp/pixel_document.h"

struct TileBuffer {
  std::vector<uint8> bytes;
  int32 rowBytes = 0;
};

struct TileRequest {
  Rect rect;
  int16 loPlane;
  int16 hiPlane;
  int16 padding;
  int32 rate;  // 1 for full resolution; rect is in coordinates divided by it
};

// A document's rows as the host holds them: all of them one after the other, or (a streamed
// run) a window of consecutive rows from `firstRow` on. The caller makes sure the rows a request
// reads are in the window.
struct PixelRows {
  uint8* base = nullptr;
  size_t rowBytes = 0;
  int32 firstRow = 0;
  uint8* row(int32 y) const { return base + size_t(y - firstRow) * rowBytes; }
};

// All rows of `pixels`, a whole document's.
PixelRows wholeRows(const PixelDocument& document, const std::vector<uint8>& pixels);

// The document rows [top, bottom) a request reads, edge replication included; false for an
// empty rectangle or one that reads no row of the document.
bool rowsRead(const DocumentDescription& document, const TileRequest& request, int32* top,
              int32* bottom);

// False, with the buffer emptied, when the planes are not the document's or the rectangle
// leaves the document under a padding rule that refuses it. An empty rectangle gives an empty
// buffer and true.
bool fillTileBuffer(const PixelDocument& document, const std::vector<uint8>& pixels,
                    const TileRequest& request, TileBuffer* buffer);

// Copies a full-rate buffer back into `pixels`, only where the rectangle meets `area` (the
// filter area, inside the document). A sampled buffer (rate above 1) is a preview and never
// goes back.
void writeTileBuffer(const PixelDocument& document, const TileRequest& request,
                     const TileBuffer& buffer, const Rect& area, std::vector<uint8>* pixels);

// The same on rows held as PixelRows.
bool fillTileBuffer(const PixelDocument& document, const PixelRows& pixels,
                    const TileRequest& request, TileBuffer* buffer);
void writeTileBuffer(const PixelDocument& document, const TileRequest& request,
                     const TileBuffer& buffer, const Rect& area, const PixelRows& pixels);

// Where a request's pixels already lie in `pixels` as the filter would have them in a buffer:
// whole pixels (every plane) at full rate, from inside `area` and the document. The host can
// then hand the filter that memory, with `pixels.rowBytes` between rows, instead of a copy;
// a result written there needs no copying back when `area` is the filter area. Null for any
// other request (padding, a part of the planes, a sampled preview), which takes a buffer.
uint8* pixelsInPlace(const PixelDocument& document, const PixelRows& pixels,
                     const TileRequest& request, const Rect& area);
