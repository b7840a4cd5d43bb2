// Image plane records, their pixel handles, region copies and the pixel cursor.
#include "image/image_plane.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "memory/handle_memory.h"

namespace {

// An own plane and its four holders live in one allocation; the plane comes first so the
// record's address is the allocation's.
struct OwnPlane {
  ImagePlane plane;
  Rect bounds;
  int16 mode;
  uint8* address;
  int32 rowBytes;
};

int16 clampToInt16(int32 value) {
  if (value < INT16_MIN) return INT16_MIN;
  if (value > INT16_MAX) return INT16_MAX;
  return static_cast<int16>(value);
}

int32 clampInt(int32 value, int32 low, int32 high) {
  return value < low ? low : (value > high ? high : value);
}

// Allocates the record, its holders and a pixel handle of `rowsInHandle` rows; null if any of
// it cannot be had, so no caller ever meets a plane without pixels.
ImagePlane* newOwnPlane(HandleMemory memory, const Rect& area, const Rect& inner, int32 step,
                        int16 mode, int32 channels, int32 rowBytes, int32 rowsInHandle) {
  int64_t bytes = int64_t(rowsInHandle) * rowBytes;
  if (step < 1 || channels < 1 || rowBytes < 0 || bytes < 0 || bytes > INT32_MAX) {
    return nullptr;
  }
  auto* own = new (std::nothrow) OwnPlane{};
  if (own == nullptr) {
    return nullptr;
  }
  Handle pixels = memory.allocate(int32(bytes));
  if (pixels == nullptr) {
    delete own;
    return nullptr;
  }
  own->bounds = area;
  own->mode = mode;
  own->rowBytes = rowBytes;
  own->plane = ImagePlane{&own->bounds,  area,     inner,          step,  &own->mode,
                          &own->address, channels, &own->rowBytes, pixels};
  return &own->plane;
}

}  // namespace

int32 planeColumns(const ImagePlane& plane) {
  return (plane.area.right - plane.area.left) / plane.step;
}

int32 planeRows(const ImagePlane& plane) {
  return (plane.area.bottom - plane.area.top) / plane.step;
}

ImagePlane* createPlane(HandleMemory memory, int32 width, int32 height, int32 channels,
                        int32 border, int32 step, int16 mode, int32 rowBytes) {
  if (width < 0 || height < 0 || step < 1) {
    return nullptr;
  }
  Rect area{0, 0, clampToInt16(height), clampToInt16(width)};
  Rect inner = grownRect(area, area, -border, -border);
  int32 bytesPerRow = rowBytes != 0 ? rowBytes : (width / step) * channels;
  return newOwnPlane(memory, area, inner, step, mode, channels, bytesPerRow, height / step);
}

ImagePlane* copyPlane(HandleMemory memory, const ImagePlane& source) {
  int32 rows = planeRows(source);
  // The copy's rows are as long as its pixels: a host may hand over a tile inside rows of the
  // whole picture, and a copy of those would take the picture's width for every row.
  size_t used = size_t(planeColumns(source)) * size_t(source.channels);
  if (used > size_t(INT32_MAX)) return nullptr;
  ImagePlane* copy = newOwnPlane(memory, source.area, source.inner, source.step, *source.mode,
                                 source.channels, int32(used), rows + 1);
  if (copy == nullptr || !lockPlane(memory, copy)) {
    destroyPlane(memory, copy);
    return nullptr;
  }
  // Only the bytes of each row's pixels are copied: a host buffer need not extend to a full
  // row-bytes stride after its last row.
  for (int32 row = 0; row < rows; ++row) {
    std::memcpy(*copy->pixelAddress + size_t(row) * *copy->rowBytes,
                *source.pixelAddress + size_t(row) * *source.rowBytes, used);
  }
  unlockPlane(memory, copy);
  return copy;
}

bool lockPlane(HandleMemory memory, ImagePlane* plane) {
  if (*plane->pixelAddress == nullptr && plane->pixelHandle != nullptr) {
    *plane->pixelAddress = static_cast<uint8*>(memory.lock(plane->pixelHandle));
  }
  return *plane->pixelAddress != nullptr;
}

void unlockPlane(HandleMemory memory, ImagePlane* plane) {
  if (*plane->pixelAddress != nullptr) {
    memory.unlock(plane->pixelHandle);
    *plane->pixelAddress = nullptr;
  }
}

void destroyPlane(HandleMemory memory, ImagePlane* plane) {
  if (plane == nullptr) {
    return;
  }
  unlockPlane(memory, plane);
  memory.dispose(plane->pixelHandle);
  delete reinterpret_cast<OwnPlane*>(plane);
}

void copyRegion(ImagePlane* destination, int32 destinationLeft, int32 destinationTop,
                const ImagePlane& source, int32 sourceLeft, int32 sourceTop, const Rect& rect) {
  if (destination->channels != source.channels) {
    return;
  }
  int32 rows = (rect.bottom - rect.top) / source.step;
  int32 columns = (rect.right - rect.left) / source.step;
  if (rows <= 0 || columns <= 0) {
    return;
  }
  int32 sourceColumn = (sourceLeft - source.area.left) / source.step;
  int32 sourceRow = (sourceTop - source.area.top) / source.step;
  int32 destinationColumn = (destinationLeft - destination->area.left) / destination->step;
  int32 destinationRow = (destinationTop - destination->area.top) / destination->step;
  size_t bytes = size_t(columns) * size_t(source.channels);
  for (int32 row = 0; row < rows; ++row) {
    const uint8* from = *source.pixelAddress + ptrdiff_t(sourceRow + row) * *source.rowBytes +
                        ptrdiff_t(sourceColumn) * source.channels;
    uint8* to = *destination->pixelAddress +
                ptrdiff_t(destinationRow + row) * *destination->rowBytes +
                ptrdiff_t(destinationColumn) * destination->channels;
    std::memmove(to, from, bytes);
  }
}

Rect grownRect(const Rect& rect, const Rect& area, int32 dx, int32 dy) {
  Rect grown;
  grown.top = int16(clampInt(rect.top - dy, area.top, area.bottom));
  grown.left = int16(clampInt(rect.left - dx, area.left, area.right));
  grown.bottom = int16(clampInt(rect.bottom + dy, area.top, area.bottom));
  grown.right = int16(clampInt(rect.right + dx, area.left, area.right));
  return grown;
}

Rect growInner(ImagePlane* plane, int32 dx, int32 dy) {
  Rect previous = plane->inner;
  plane->inner = grownRect(previous, plane->area, dx, dy);
  return previous;
}

PixelCursor positionCursor(const ImagePlane& plane, int32 x, int32 y) {
  PixelCursor cursor{};
  uint8* base = *plane.pixelAddress;
  if (base == nullptr) {
    return cursor;
  }
  int32 columns = planeColumns(plane);
  int32 rows = planeRows(plane);
  int32 column = (x - plane.area.left) / plane.step;
  int32 row = (y - plane.area.top) / plane.step;
  // Clamp in plane pixels: with a step above 1 the plane has fewer pixels than its area has
  // document positions, and clamping against the area would address past the last pixel.
  if (column < 0) cursor.clipLeft = -column;
  if (column >= columns) cursor.clipRight = column - columns + 1;
  if (row < 0) cursor.clipTop = -row;
  if (row >= rows) cursor.clipBottom = row - rows + 1;
  column = clampInt(column, 0, columns - 1);
  row = clampInt(row, 0, rows - 1);
  cursor.channel0 = base + ptrdiff_t(row) * *plane.rowBytes + ptrdiff_t(column) * plane.channels;
  cursor.channel1 = cursor.channel0 + 1;
  cursor.channel2 = cursor.channel0 + 2;
  cursor.pixelStride = plane.channels;
  cursor.rowStride = *plane.rowBytes;
  cursor.column = column;
  cursor.columnsLeft = columns - column;
  cursor.row = row;
  cursor.rowsLeft = rows - row;
  return cursor;
}

namespace {

void moveCursor(PixelCursor* cursor, int32* left, int32* clip, int32* index, int32 stride) {
  if (*left <= 1) {
    return;
  }
  if (*clip != 0) {
    --*clip;
    return;
  }
  cursor->channel0 += stride;
  cursor->channel1 += stride;
  cursor->channel2 += stride;
  ++*index;
  --*left;
}

}  // namespace

void stepRight(PixelCursor* cursor) {
  moveCursor(cursor, &cursor->columnsLeft, &cursor->clipLeft, &cursor->column, cursor->pixelStride);
}

void stepDown(PixelCursor* cursor) {
  moveCursor(cursor, &cursor->rowsLeft, &cursor->clipTop, &cursor->row, cursor->rowStride);
}
