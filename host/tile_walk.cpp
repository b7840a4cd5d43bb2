#include "host/tile_walk.h"

#include <cstdint>

namespace {

// Hosts fill any part of a request outside the document with white; the walk never asks for
// such pixels, but a host must be told something.
constexpr int16 kWhitePadding = 255;

// The core and request of one span (a row's columns or a column's rows) that starts at `start`
// and may run to `end`: the core is `size` long unless the rest of the span fits in one tile
// with its overlap.
void firstSpan(int32 start, int32 end, int32 size, int32 overlap, int16* requestEnd,
               int16* coreEnd) {
  if (end - start > size + overlap) {
    *requestEnd = int16(start + size + overlap);
    *coreEnd = int16(start + size);
  } else {
    *requestEnd = int16(end);
    *coreEnd = int16(end);
  }
}

// Moves a span one tile on: the next core starts where the last ended and the request starts
// `overlap` before it.
void nextSpan(int32 end, int32 size, int32 overlap, int16* requestStart, int16* coreStart,
              int16* requestEnd, int16* coreEnd) {
  *requestStart = int16(*coreEnd - overlap);
  *coreStart = *coreEnd;
  if (*coreStart + size + overlap >= end) {
    *requestEnd = int16(end);
    *coreEnd = int16(end);
  } else {
    *requestEnd = int16(*requestEnd + size);
    *coreEnd = int16(*coreEnd + size);
  }
}

void requestAllPlanes(FilterRecord* record) {
  record->inLoPlane = 0;
  record->outLoPlane = 0;
  record->inHiPlane = int16(record->planes - 1);
  record->outHiPlane = int16(record->planes - 1);
  record->inputPadding = kWhitePadding;
  record->outputPadding = kWhitePadding;
  record->maskPadding = kWhitePadding;
}

void startRow(FilterRecord* record, FilterParameters* parameters) {
  const Rect& area = record->filterRect;
  Rect& core = parameters->outputPlane.inner;
  record->outRect.left = area.left;
  core.left = area.left;
  firstSpan(area.left, area.right, parameters->tileWidth, parameters->tileOverlap,
            &record->outRect.right, &core.right);
}

void refreshViews(FilterRecord* record, FilterParameters* parameters) {
  record->inRect = record->outRect;
  ImagePlane& input = parameters->inputPlane;
  ImagePlane& output = parameters->outputPlane;
  input.area = record->inRect;
  input.inner = output.inner;
  output.area = record->outRect;
  input.step = 1;
  output.step = 1;
  input.channels = record->inHiPlane + 1;
  output.channels = record->inHiPlane + 1;
}

bool isEmpty(const Rect& rect) { return rect.top >= rect.bottom || rect.left >= rect.right; }

void reportProgress(FilterRecord* record, int32 done, int32 total) {
  if (record->progressProc != nullptr) {
    record->progressProc(done, total);
  }
}

void pointView(ImagePlane* plane, Rect* rect, int16* mode, uint8** data, int32* rowBytes) {
  plane->bounds = rect;
  plane->mode = mode;
  plane->pixelAddress = data;
  plane->rowBytes = rowBytes;
  plane->pixelHandle = nullptr;
}

}  // namespace

// The buffer addresses are copied: in the host's record they may sit on a 4-byte boundary,
// where no pointer to them may be kept. The record's rectangles and 32-bit fields are aligned
// for their types and are viewed in place. The views take the rectangles and planes the host
// delivered, not the ones requested: a host that answered a nonsense request (a negative plane
// count, say) with a sound tile is read as what it handed over.
void pointHostViews(FilterRecord* record, FilterParameters* parameters) {
  parameters->hostInputPixels = static_cast<uint8*>(record->inData);
  parameters->hostOutputPixels = static_cast<uint8*>(record->outData);
  parameters->inputPlane.area = record->inRect;
  parameters->outputPlane.area = record->outRect;
  parameters->inputPlane.channels = record->inHiPlane - record->inLoPlane + 1;
  parameters->outputPlane.channels = record->outHiPlane - record->outLoPlane + 1;
  pointView(&parameters->inputPlane, &record->inRect, &record->imageMode,
            &parameters->hostInputPixels, &record->inRowBytes);
  pointView(&parameters->outputPlane, &record->outRect, &record->imageMode,
            &parameters->hostOutputPixels, &record->outRowBytes);
}

void requestFirstTile(FilterRecord* record, FilterParameters* parameters) {
  reportProgress(record, 1, 100);
  requestAllPlanes(record);
  const Rect& area = record->filterRect;
  Rect& core = parameters->outputPlane.inner;
  record->outRect.top = area.top;
  core.top = area.top;
  firstSpan(area.top, area.bottom, parameters->tileHeight, parameters->tileOverlap,
            &record->outRect.bottom, &core.bottom);
  startRow(record, parameters);
  refreshViews(record, parameters);
  record->maskRect = Rect{0, 0, 0, 0};
  record->inputRate = 0;
  record->maskRate = 0;
  reportTileProgress(record, *parameters);
}

bool requestNextTile(FilterRecord* record, FilterParameters* parameters) {
  const Rect& area = record->filterRect;
  Rect& core = parameters->outputPlane.inner;
  Rect& request = record->outRect;
  if (request.right < area.right) {
    nextSpan(area.right, parameters->tileWidth, parameters->tileOverlap, &request.left, &core.left,
             &request.right, &core.right);
  } else if (request.bottom >= area.bottom) {
    return false;
  } else {
    startRow(record, parameters);
    nextSpan(area.bottom, parameters->tileHeight, parameters->tileOverlap, &request.top, &core.top,
             &request.bottom, &core.bottom);
  }
  requestAllPlanes(record);
  refreshViews(record, parameters);
  return true;
}

namespace {

bool holds(const Rect& outer, const Rect& inner) {
  return !isEmpty(inner) && outer.top <= inner.top && outer.left <= inner.left &&
         outer.bottom >= inner.bottom && outer.right >= inner.right;
}

bool rowsCovered(const Rect& rect, int32 rowBytes, int32 channels) {
  return int64_t(rowBytes) >= int64_t(rect.right - rect.left) * channels;
}

}  // namespace

bool deliveredTileUsable(const FilterRecord& record, const FilterParameters& parameters,
                         int32 modeChannels) {
  const Rect& core = parameters.outputPlane.inner;
  const int32 channels = record.inHiPlane + 1;
  return record.inData != nullptr && record.outData != nullptr && holds(record.inRect, core) &&
         holds(record.outRect, core) && record.inLoPlane == 0 && record.outLoPlane == 0 &&
         record.outHiPlane == record.inHiPlane && modeChannels > 0 && channels >= modeChannels &&
         rowsCovered(record.inRect, record.inRowBytes, channels) &&
         rowsCovered(record.outRect, record.outRowBytes, channels);
}

void clearRequests(FilterRecord* record) {
  record->inRect = Rect{0, 0, 0, 0};
  record->outRect = Rect{0, 0, 0, 0};
  record->maskRect = Rect{0, 0, 0, 0};
  record->inLoPlane = 0;
  record->inHiPlane = 0;
  record->outLoPlane = 0;
  record->outHiPlane = 0;
}

bool hasRequest(const FilterRecord& record) {
  return !isEmpty(record.inRect) || !isEmpty(record.outRect) || !isEmpty(record.maskRect);
}

// Counted from the filter area's own corner, so that a selection away from the document's
// origin also ends at done == total.
void progressOfCore(const Rect& filterArea, const Rect& core, int32* done, int32* total) {
  int32 width = filterArea.right - filterArea.left;
  int32 height = filterArea.bottom - filterArea.top;
  *total = width * height;
  *done = (core.top - filterArea.top) * width +
          (core.bottom - core.top) * (core.right - filterArea.left);
}

void reportTileProgress(FilterRecord* record, const FilterParameters& parameters) {
  int32 done = 0;
  int32 total = 0;
  progressOfCore(record->filterRect, parameters.outputPlane.inner, &done, &total);
  reportProgress(record, done, total);
}
