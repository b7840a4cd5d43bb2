#include "hostapp/tile_buffers.h"

#include <algorithm>
#include <cstdint>

#include "hostapi/constants.h"

namespace {

bool planesValid(const PixelDocument& document, const TileRequest& request) {
  return request.loPlane >= 0 && request.loPlane <= request.hiPlane &&
         request.hiPlane < document.planes() && request.rate >= 1;
}

// Whether every point the request samples lies in the document.
bool insideDocument(const DocumentDescription& d, const TileRequest& request) {
  const Rect& rect = request.rect;
  int64_t rate = request.rate;
  return rect.top >= 0 && rect.left >= 0 && (rect.bottom - 1) * rate < d.height &&
         (rect.right - 1) * rate < d.width;
}

bool paddingRuleKnown(int16 padding) {
  return (padding >= 0 && padding <= 255) || padding == plugInWantsEdgeReplication ||
         padding == plugInDoesNotWantPadding;
}

// One pixel's planes lo..hi at document position (x, y), or the padding outside the document.
void copyPixel(const PixelDocument& document, const PixelRows& pixels, const TileRequest& request,
               int32 x, int32 y, uint8* target) {
  const DocumentDescription& d = document.description;
  int32 count = request.hiPlane - request.loPlane + 1;
  bool outside = x < 0 || y < 0 || x >= d.width || y >= d.height;
  if (outside && request.padding != plugInWantsEdgeReplication) {
    uint8 fill = request.padding >= 0 ? uint8(request.padding) : 0;
    std::fill(target, target + count, fill);
    return;
  }
  x = std::clamp(x, 0, d.width - 1);
  y = std::clamp(y, 0, d.height - 1);
  const uint8* source =
      pixels.row(y) + size_t(x) * size_t(document.planes()) + size_t(request.loPlane);
  std::copy(source, source + count, target);
}

// Pixels of row y from document column x on, `width` of them, all inside the document: a whole
// pixel run is one copy, a part of each pixel a short one.
void copyRun(const PixelDocument& document, const PixelRows& pixels, const TileRequest& request,
             int32 x, int32 y, int32 width, uint8* target) {
  size_t planes = size_t(document.planes());
  size_t count = size_t(request.hiPlane - request.loPlane + 1);
  const uint8* source = pixels.row(y) + size_t(x) * planes + size_t(request.loPlane);
  if (count == planes) {
    std::copy_n(source, size_t(width) * planes, target);
    return;
  }
  for (int32 i = 0; i < width; ++i, source += planes, target += count) {
    for (size_t plane = 0; plane < count; ++plane) target[plane] = source[plane];
  }
}

// Buffer row j's pixels from column `first` up to `last`, one by one, padding included.
void copyPixels(const PixelDocument& document, const PixelRows& pixels, const TileRequest& request,
                int32 j, int32 first, int32 last, uint8* row) {
  int32 count = request.hiPlane - request.loPlane + 1;
  for (int32 i = first; i < last; ++i) {
    copyPixel(document, pixels, request, (request.rect.left + i) * request.rate,
              (request.rect.top + j) * request.rate, row + size_t(i) * size_t(count));
  }
}

}  // namespace

PixelRows wholeRows(const PixelDocument& document, const std::vector<uint8>& pixels) {
  PixelRows rows;
  rows.base = const_cast<uint8*>(pixels.data());
  rows.rowBytes = document.rowBytes();
  return rows;
}

bool rowsRead(const DocumentDescription& document, const TileRequest& request, int32* top,
              int32* bottom) {
  const Rect& rect = request.rect;
  if (rect.top >= rect.bottom || rect.left >= rect.right || document.height <= 0) return false;
  const int64_t rate = std::max<int32>(request.rate, 1);
  const int64_t first = std::clamp<int64_t>(int64_t(rect.top) * rate, 0, document.height - 1);
  const int64_t last = std::clamp<int64_t>(int64_t(rect.bottom - 1) * rate, 0, document.height - 1);
  *top = int32(first);
  *bottom = int32(last + 1);
  return true;
}

bool fillTileBuffer(const PixelDocument& document, const std::vector<uint8>& pixels,
                    const TileRequest& request, TileBuffer* buffer) {
  return fillTileBuffer(document, wholeRows(document, pixels), request, buffer);
}

void writeTileBuffer(const PixelDocument& document, const TileRequest& request,
                     const TileBuffer& buffer, const Rect& area, std::vector<uint8>* pixels) {
  writeTileBuffer(document, request, buffer, area, wholeRows(document, *pixels));
}

bool fillTileBuffer(const PixelDocument& document, const PixelRows& pixels,
                    const TileRequest& request, TileBuffer* buffer) {
  buffer->bytes.clear();
  buffer->rowBytes = 0;
  const Rect& rect = request.rect;
  if (rect.top >= rect.bottom || rect.left >= rect.right) return true;
  if (!planesValid(document, request)) return false;
  if (!insideDocument(document.description, request) && !paddingRuleKnown(request.padding)) {
    return false;
  }
  int32 count = request.hiPlane - request.loPlane + 1;
  int32 columns = rect.right - rect.left;
  int32 rows = rect.bottom - rect.top;
  buffer->rowBytes = columns * count;
  buffer->bytes.assign(size_t(buffer->rowBytes) * size_t(rows), 0);
  const DocumentDescription& d = document.description;
  for (int32 j = 0; j < rows; ++j) {
    uint8* row = buffer->bytes.data() + size_t(j) * size_t(buffer->rowBytes);
    // At full rate the part of a row inside the document is one run; only padding and
    // sampled requests go pixel by pixel.
    int32 y = rect.top + j;
    int32 runBegin = 0;
    int32 runEnd = 0;
    if (request.rate == 1 && y >= 0 && y < d.height) {
      runBegin = std::clamp<int32>(-rect.left, 0, columns);
      runEnd = std::clamp<int32>(d.width - rect.left, runBegin, columns);
      copyRun(document, pixels, request, rect.left + runBegin, y, runEnd - runBegin,
              row + size_t(runBegin) * size_t(count));
    }
    copyPixels(document, pixels, request, j, 0, runBegin, row);
    copyPixels(document, pixels, request, j, runEnd, columns, row);
  }
  return true;
}

void writeTileBuffer(const PixelDocument& document, const TileRequest& request,
                     const TileBuffer& buffer, const Rect& area, const PixelRows& pixels) {
  const Rect& rect = request.rect;
  int32 top = std::max<int32>(rect.top, area.top);
  int32 bottom = std::min<int32>(rect.bottom, area.bottom);
  int32 left = std::max<int32>(rect.left, area.left);
  int32 right = std::min<int32>(rect.right, area.right);
  if (request.rate != 1 || buffer.bytes.empty() || top >= bottom || left >= right) return;
  size_t count = size_t(request.hiPlane - request.loPlane + 1);
  size_t planes = size_t(document.planes());
  for (int32 y = top; y < bottom; ++y) {
    const uint8* source = buffer.bytes.data() + size_t(y - rect.top) * size_t(buffer.rowBytes) +
                          size_t(left - rect.left) * count;
    uint8* target = pixels.row(y) + size_t(left) * planes + size_t(request.loPlane);
    if (count == planes) {
      std::copy_n(source, size_t(right - left) * planes, target);
      continue;
    }
    for (int32 x = left; x < right; ++x, source += count, target += planes) {
      for (size_t plane = 0; plane < count; ++plane) target[plane] = source[plane];
    }
  }
}

uint8* pixelsInPlace(const PixelDocument& document, const PixelRows& pixels,
                     const TileRequest& request, const Rect& area) {
  const Rect& rect = request.rect;
  const DocumentDescription& d = document.description;
  const bool wholePixels = request.rate == 1 && request.loPlane == 0 &&
                           request.hiPlane == document.planes() - 1 && pixels.base != nullptr &&
                           pixels.rowBytes <= size_t(INT32_MAX);
  const bool inside = rect.top < rect.bottom && rect.left < rect.right &&
                      rect.top >= std::max<int32>(area.top, 0) &&
                      rect.left >= std::max<int32>(area.left, 0) &&
                      rect.bottom <= std::min<int32>(area.bottom, d.height) &&
                      rect.right <= std::min<int32>(area.right, d.width);
  if (!wholePixels || !inside) return nullptr;
  return pixels.row(rect.top) + size_t(rect.left) * size_t(document.planes());
}
