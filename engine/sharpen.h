// The sharpening driver: one call sharpens the inner rectangle of parameters->inputPlane into
// parameters->outputPlane (an unsharp mask on a blurred copy) after evaluating the print model.
// The two planes may describe the same buffer: every output sample depends only on the input
// and blurred samples at its own position. Both must be addressable for the call. Only the first
// three channels of each pixel are written (for a document that is not RGB: its mode's channels,
// after the round trip through an RGB working plane), and only inside outputPlane's share of the
// inner rectangle; the planes' rectangles come back unchanged. A document whose colours the host
// cannot convert gets the inner rectangle back as it came.
// Result: 0; -108 when memory for a working plane cannot be had; or the host's error when its
// colour services failed on the tile (see color_conversion.h). On an error nothing has been
// written.
#pragma once

#include "hostapi/types.h"

struct FilterParameters;
struct ImagePlane;
struct PluginGlobals;

constexpr int16 kEngineOutOfMemory = -108;

int16 runEngine(PluginGlobals* globals, FilterParameters* parameters);

// output = source + the weighted detail (source - blurred), over the source's inner rectangle,
// with the strength and halo style of the personal profile (1, 2 or 3; others act as 2).
void combineDetail(const ImagePlane& source, const ImagePlane& blurred, ImagePlane* output,
                   int32 strength, int32 personalProfile);
