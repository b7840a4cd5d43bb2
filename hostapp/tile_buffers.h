// The host's tile buffers: the pixels of one requested rectangle handed to the filter in
// inData / outData, and the way back for outData. A buffer holds planes lo..hi interleaved,
// rows `rowBytes` apart; with a sampling rate r above 1 it holds every r-th pixel of every r-th
// row of the rectangle (a preview request). Pixels of the rectangle outside the document are
// filled by the padding rule: 0..255 a fill value, -1 the nearest edge pixel, -2 left as 0,
// -3 (or anything else) refuses the request.
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
  int32 rate;  // 1 for full resolution
};

// False, with the buffer emptied, when the planes are not the document's or the rectangle
// leaves the document under a padding rule that refuses it. An empty rectangle gives an empty
// buffer and true.
bool fillTileBuffer(const PixelDocument& document, const std::vector<uint8>& pixels,
                    const TileRequest& request, TileBuffer* buffer);

// Copies a full-rate buffer back into `pixels`, only where the rectangle meets `area` (the
// filter area, inside the document).
void writeTileBuffer(const PixelDocument& document, const TileRequest& request,
                     const TileBuffer& buffer, const Rect& area, std::vector<uint8>* pixels);
