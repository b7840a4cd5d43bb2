// The document a host hands to the filter, as far as the FilterRecord describes it: pixel size,
// image mode (8 bits per channel), colour planes plus extra planes such as transparency,
// resolution in 16.16 pixels per inch, and the rectangle to filter (top, left, bottom, right,
// bottom and right exclusive; an empty one means the whole document). Pixels are not part of it.
#pragma once

#include "hostapi/types.h"

struct DocumentDescription {
  int32 width = 0;
  int32 height = 0;
  int16 mode = 3;
  int16 extraPlanes = 0;
  Fixed horizontalResolution = 72 << 16;
  Fixed verticalResolution = 72 << 16;
  Rect filterRect = {0, 0, 0, 0};
};

// Colour planes of an 8-bit mode (gray 1, RGB 3, CMYK 4, Lab 3); 0 for modes a host would not
// offer this filter.
int16 colorPlanesOfMode(int16 mode);

// The rectangle actually filtered: the selection, or the whole document when it is empty.
Rect effectiveFilterRect(const DocumentDescription& document);
