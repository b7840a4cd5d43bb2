// A generated RGB picture for runs without an input file (the scripted dialog) and for tests:
// gradients under a 24-pixel checkerboard, so sharpening shows at its edges. The document is
// returned with its pixels; its other description fields keep their defaults.
#pragma once

#include "hostapp/pixel_document.h"

PixelDocument gradientPicture(int32 width, int32 height);
