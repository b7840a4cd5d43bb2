// The tile walk: how the module asks the host for the document, one tile at a time.
// A tile's core (at most tileWidth x tileHeight pixels) lives in outputPlane.inner between
// calls; the request in the host's outRect (inRect always equal) extends tileOverlap pixels
// beyond the core on every side where the filter area continues, so the sharpening of a core
// sees its neighbourhood. Cores run in rows left to right, rows top to bottom, and every pixel
// of the filter area lies in exactly one core. Rectangles are top, left, bottom, right with
// bottom and right exclusive, in document coordinates.
// The functions write only the FilterRecord's request fields and the two host views of
// FilterParameters; progress goes through the host's progressProc when it offers one.
#pragma once

#include "host/filter_parameters.h"
#include "hostapi/filter_record.h"

// Points the two host views at the record's tile buffers (rectangle, mode, data, row bytes).
// The rectangles, mode and row bytes are viewed in the record; the buffer addresses are taken
// as they are now, so this is called again whenever the host may have delivered new buffers.
void pointHostViews(FilterRecord* record, FilterParameters* parameters);

// Requests the first tile of the filter area and reports the first progress.
void requestFirstTile(FilterRecord* record, FilterParameters* parameters);

// Requests the tile after the current one; false, with nothing changed, after the last tile.
bool requestNextTile(FilterRecord* record, FilterParameters* parameters);

// Whether the tile the host delivered can be worked on without touching memory outside its
// buffers: both rectangles hold the current core, the input and output carry the same planes
// from plane 0 and at least the `modeChannels` colour channels of the document's mode, and
// each buffer's row bytes cover a row of its rectangle. A host that delivers anything else is
// not trusted with a guess.
bool deliveredTileUsable(const FilterRecord& record, const FilterParameters& parameters,
                         int32 modeChannels);

// Empties every request: the host stops calling Continue.
void clearRequests(FilterRecord* record);

// True while the host has a rectangle of pixels to deliver.
bool hasRequest(const FilterRecord& record);

// Progress after the tile whose core is `core`: the pixels of the filter area in cores up to
// and including it, out of all of them.
void progressOfCore(const Rect& filterArea, const Rect& core, int32* done, int32* total);

// Reports the progress of the current core to the host.
void reportTileProgress(FilterRecord* record, const FilterParameters& parameters);
