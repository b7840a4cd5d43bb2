// Host pixel transfer: turns a tile in the document's mode into an RGB working plane and the
// sharpened RGB plane back into the document's mode.
// Grayscale goes through plain byte copies; CMYK through the run's colour caches and the host's
// colour services, or, with the run's acceleration on, by copying cyan, magenta and black
// to and from red, green and blue (yellow is left alone); Lab through the caches and the host
// as well. Bytes beyond the mode's channels (extra planes such as transparency) are
// never read into the RGB plane and never written back.
// Both operations need addressable planes (host views or locked own planes) and lock and unlock
// the run's colour caches themselves. A mode that would need the host's colour services on a
// host that offers none is refused (see canTransferMode): the caller then hands the tile on
// unchanged.
#pragma once

#include "hostapi/types.h"
#include "image/pixel_services.h"

struct ImagePlane;

// False when converting `mode` would need colour services the host does not offer.
bool canTransferMode(const PixelServices& services, int32 mode);

// A new own RGB plane (unlocked) with the source's area, inner and step, holding the source's
// pixels as RGB. Null when the plane cannot be allocated or the mode cannot be transferred.
ImagePlane* readPlaneAsRgb(const PixelServices& services, const ImagePlane& source);

// Writes the RGB pixels of `source` into `target` (same geometry, the document's mode, holding
// the unfiltered pixels). `unfiltered` is the RGB plane readPlaneAsRgb made of the target: where
// a pixel of `source` is still what it was there, the target keeps its document colour, so the
// colours the filter did not touch come back exactly, whatever the host's way back from RGB
// gives. False, with the target untouched, when its mode cannot be transferred.
bool writeBackFromRgb(const PixelServices& services, ImagePlane* target, const ImagePlane& source,
                      const ImagePlane& unfiltered);
