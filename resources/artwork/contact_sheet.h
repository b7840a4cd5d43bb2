// A contact sheet of the bitmaps for looking at them together: every bitmap decoded back
// from its .bmp bytes (so the sheet shows the colours the file really holds), on a grey
// sheet with its resource name above it; pictures narrower than 100 pixels are shown
// enlarged three times, pixel for pixel. Written as PNG; false with a message on failure.
#pragma once

#include <string>
#include <vector>

#include "resources/artwork/artwork.h"
#include "resources/artwork/text.h"

namespace artwork {

bool writeContactSheet(const std::vector<RenderedBitmap>& bitmaps, const Fonts& fonts,
                       const std::string& pngPath, std::string& error);

}  // namespace artwork
