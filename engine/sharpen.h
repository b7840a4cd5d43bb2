// The sharpening driver: one call sharpens the inner rectangle of `input` into `output` (an
// unsharp mask on a blurred copy) as the job says: the print model's radius and strength, the
// personal profile's halo style and the document's image mode, which both views are set to.
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

#include "core/print_model.h"
#include "hostapi/types.h"
#include "image/pixel_services.h"

struct ImagePlane;
struct SharpenSettings;

constexpr int16 kEngineOutOfMemory = -108;

// What a run sharpens with, worked out once per settings change (the dialog) or per run.
struct SharpenJob {
  PrintModel model;
  int32 personalProfile;
  int32 imageMode;
  int32 threads;  // how many threads one tile may be split across; the bytes are the same
};

// The job for `settings` on a document of the given size and image mode; in the dialog's
// preview (dialogActive non-zero) the operator radius follows the preview's zoom divisor. It
// takes the process's engine thread count (worker_bands.h).
SharpenJob makeSharpenJob(const SharpenSettings& settings, int32 documentWidth,
                          int32 documentHeight, int32 imageMode, int32 dialogActive,
                          int32 previewZoom);

// `services` gives the handle memory, the host's colour services and the run's colour caches.
int16 sharpen(const PixelServices& services, const SharpenJob& job, const ImagePlane& input,
              ImagePlane* output);

// output = source + the weighted detail (source - blurred), over the source's inner rectangle,
// with the strength and halo style of the personal profile (1, 2 or 3; others act as 2). The
// rows may be split across up to `threads` threads; the result is the same for every count.
void combineDetail(const ImagePlane& source, const ImagePlane& blurred, ImagePlane* output,
                   int32 strength, int32 personalProfile, int32 threads = 1);
