// A document with its pixels, as this host keeps it during a filter run: the description the
// FilterRecord is filled from, and the pixels as rows top to bottom of interleaved 8-bit planes
// (the mode's colour planes, then the extra planes such as transparency), no row padding.
// The document owns its pixels; a run keeps the unfiltered source apart from the result.
#pragma once

#include <cstddef>
#include <vector>

#include "hostapp/document.h"

struct PixelDocument {
  DocumentDescription description;
  std::vector<uint8> pixels;

  int32 planes() const { return colorPlanesOfMode(description.mode) + description.extraPlanes; }
  size_t rowBytes() const { return size_t(description.width) * size_t(planes()); }
  size_t byteCount() const { return rowBytes() * size_t(description.height); }
};
