// Reduction of a canvas to an indexed picture for the 4- and 8-bit bitmaps.
//
// 4-bit pictures use the artwork's sixteen colours (theme.h draws only with colours from it,
// so flat areas keep their exact colour and only anti-aliased edges are rounded to the
// nearest entry). 8-bit pictures keep their exact colours when they have at most 256; more
// are reduced by median cut. No dithering: text edges stay clean and the result depends
// only on the pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/artwork/canvas.h"

namespace artwork {

struct IndexedPicture {
  std::vector<Rgb> palette;
  std::vector<uint8_t> indices;  // one per pixel, top row first
};

const std::vector<Rgb>& sixteenColours();

// maxColours is 16 (the fixed table) or 256 (exact or median cut).
IndexedPicture reduceColours(const Canvas& canvas, int maxColours);

}  // namespace artwork
