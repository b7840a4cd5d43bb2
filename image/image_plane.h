// Image planes: rectangles of interleaved 8-bit channels in document pixel coordinates.
// A plane either owns its pixels (in a handle, locked only while in use) or views the host's
// current tile buffer through pointers into the FilterRecord, so the same view stays valid while
// the host moves from tile to tile. Rectangles are top, left, bottom, right with bottom and right
// exclusive. Pixel (i, j) stands for document position (area.left + i*step, area.top + j*step)
// and starts at pixelAddress + j*rowBytes + i*channels.
#pragma once

#include "hostapi/types.h"

struct PluginGlobals;

struct ImagePlane {
  Rect* bounds;            // the owner's rectangle: own holder, or the host's inRect / outRect
  Rect area;               // copy of the plane's rectangle; all addressing uses it
  Rect inner;              // the part of area whose result counts
  int32 step;              // one plane pixel stands for step document pixels each way
  int16* mode;             // image mode: own holder, or the host's imageMode
  uint8** pixelAddress;    // first byte of pixels (null while an own plane is unlocked)
  int32 channels;          // bytes per pixel
  int32* rowBytes;         // own holder, or the host's inRowBytes / outRowBytes
  Handle pixelHandle;      // own plane's pixels; null for a host view
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
