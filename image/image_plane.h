// Image planes: rectangles of interleaved 8-bit channels in document pixel coordinates.
// A plane either owns its pixels (in a handle, locked only while in use) or views the host's
// current tile buffer: its rectangle, mode and row bytes through pointers into the FilterRecord,
// its buffer address through a holder the module refreshes whenever the host delivers a tile.
// Rectangles are top, left, bottom, right with bottom and right exclusive. Pixel (i, j) stands for
// document position (area.left + i*step, area.top + j*step) and starts at pixelAddress + j*rowBytes
// + i*channels. Ownership: createPlane and copyPlane return an own plane (record, four holders and
// pixel handle) that the caller releases with destroyPlane; they return null when any of it cannot
// be allocated, so an own plane always has pixels behind it. Host views are never locked, unlocked
// or destroyed here. A cursor addresses one pixel and replicates the edge pixels when it is
// positioned or stepped beyond the plane.
#pragma once

#include <memory>

#include "hostapi/types.h"
#include "memory/handle_memory.h"

struct ImagePlane {
  Rect* bounds;          // the owner's rectangle: own holder, or the host's inRect / outRect
  Rect area;             // copy of the plane's rectangle; all addressing uses it
  Rect inner;            // the part of area whose result counts
  int32 step;            // one plane pixel stands for step document pixels each way
  int16* mode;           // image mode: own holder, or the host's imageMode
  uint8** pixelAddress;  // first byte of pixels (null while an own plane is unlocked): own
                         // holder, or the module's copy of the host's inData / outData
  int32 channels;        // bytes per pixel
  int32* rowBytes;       // own holder, or the host's inRowBytes / outRowBytes
  Handle pixelHandle;    // own plane's pixels; null for a host view
};

// Addresses of one pixel and how far the requested position lay outside the area.
struct PixelCursor {
  uint8* channel0;
  uint8* channel1;
  uint8* channel2;
  int32 pixelStride;
  int32 rowStride;
  int32 column;
  int32 columnsLeft;
  int32 row;
  int32 rowsLeft;
  int32 clipTop;
  int32 clipBottom;
  int32 clipLeft;
  int32 clipRight;
};

// Number of plane pixels across and down (the area divided by step, rounded down).
int32 planeColumns(const ImagePlane& plane);
int32 planeRows(const ImagePlane& plane);

// A new own plane with area (0, 0, height, width) and inner inset by border; rowBytes 0 means
// (width / step) * channels. Returned unlocked, pixels undefined; null on failure.
ImagePlane* createPlane(HandleMemory memory, int32 width, int32 height, int32 channels,
                        int32 border, int32 step, int16 mode, int32 rowBytes);

// A new own plane with the source's geometry and pixels (the source must be addressable), its
// rows no longer than its pixels whatever the source's row bytes. Its handle holds one row more
// than the plane has. Returned unlocked; null on failure.
ImagePlane* copyPlane(HandleMemory memory, const ImagePlane& source);

// Locks an own plane's pixels unless already locked; true when the plane has an address.
bool lockPlane(HandleMemory memory, ImagePlane* plane);
void unlockPlane(HandleMemory memory, ImagePlane* plane);
// Unlocks and releases an own plane; null is ignored.
void destroyPlane(HandleMemory memory, ImagePlane* plane);

// An own plane that releases itself (destroyPlane) however its scope is left, an exception
// included, so no pixels stay allocated or locked behind a failure.
class PlaneRelease {
 public:
  explicit PlaneRelease(HandleMemory memory = HandleMemory()) : memory_(memory) {}
  void operator()(ImagePlane* plane) const { destroyPlane(memory_, plane); }

 private:
  HandleMemory memory_;
};
using OwnedPlane = std::unique_ptr<ImagePlane, PlaneRelease>;

inline OwnedPlane ownPlane(HandleMemory memory, ImagePlane* plane) {
  return OwnedPlane(plane, PlaneRelease(memory));
}

// Copies the block of document rectangle `rect` (rows and columns counted with the source's
// step) from (sourceLeft, sourceTop) of the source to (destinationLeft, destinationTop) of the
// destination. Nothing is copied when the channel counts differ. No clipping: the block must lie
// inside both planes, which must be addressable.
void copyRegion(ImagePlane* destination, int32 destinationLeft, int32 destinationTop,
                const ImagePlane& source, int32 sourceLeft, int32 sourceTop, const Rect& rect);

// Grows inner by dx left and right and dy up and down, clamped into area; returns the previous
// inner for the caller to restore.
Rect growInner(ImagePlane* plane, int32 dx, int32 dy);

// The rectangle `rect` grown by dx and dy on each side and clamped into `area`.
Rect grownRect(const Rect& rect, const Rect& area, int32 dx, int32 dy);

// Positions a cursor on document position (x, y). A position outside the plane lands on the
// nearest edge pixel and records the distance in the clip fields. An unlocked plane gives null
// addresses and zero clip fields.
PixelCursor positionCursor(const ImagePlane& plane, int32 x, int32 y);

// One step right (down): moves one plane pixel unless the cursor is still working off a left
// (top) clip or already stands on the last column (row).
void stepRight(PixelCursor* cursor);
void stepDown(PixelCursor* cursor);
