// Choosing the document resolution that makes the filter see a requested print size. The
// filter derives its print size from pixels and resolution (core/print_size.h); this finds
// a 16.16 resolution at which that function yields exactly the requested whole millimetres,
// and checks it with the same function. Sizes above the filter's 600 mm cap are found all the
// same: the filter caps them itself.
#pragma once

#include "hostapi/types.h"

enum class PrintResolutionStatus { found, tooSmall, tooLarge, notExact };

// The millimetres may have decimals: the filter then sees them through the resolution and
// records the whole part.
// tooSmall: even the finest resolution 16.16 can express prints the pixels larger than asked;
// tooLarge: even the coarsest prints them smaller; notExact: the size lies between the two,
// but the steps of 16.16 are too coarse there for any resolution to print exactly it (a large
// print of few pixels).
PrintResolutionStatus resolutionForPrintSize(int32 pixels, double millimetres, Fixed* resolution);

// The other side of a print when only one is given, following the pixel aspect, truncated.
int32 followingPrintSide(int32 givenMillimetres, int32 givenPixels, int32 otherPixels);

// A resolution in pixels per inch as the host interface carries it (16.16), when it can:
// from 1/65536 up to, not including, 32768 ppi. False, leaving `resolution` alone, otherwise.
bool fixedResolution(double ppi, Fixed* resolution);
