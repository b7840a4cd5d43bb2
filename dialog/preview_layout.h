// The geometry of the preview pane, one axis at a time (the horizontal and vertical rules are
// the same). Everything is in scaled coordinates: document pixels divided by the zoom divisor,
// truncated. The buffer is the part of the scaled image fetched from the host (at most three
// pane lengths); the view is the part of the buffer shown in the pane. Positions are
// inclusive-edge tests; divisions by 2 truncate toward zero. Pure functions, no failure.
#pragma once

#include <cstdint>

#include "hostapi/types.h"

// How many pane lengths of the scaled image are fetched at most.
constexpr int32_t kFetchPanes = 3;

struct AxisLayout {
  int32_t visible;      // length of the view
  int32_t fetch;        // length of the buffer
  int32_t fetchOrigin;  // buffer start in scaled coordinates
  int32_t viewOffset;   // view start inside the buffer
  int32_t destination;  // window position of the view's first pixel
  bool draggable;       // the scaled image is longer than the pane
  bool fetchLimited;    // only kFetchPanes pane lengths are fetched
};

// The centred layout of one axis: scaled image [scaledStart, scaledEnd), pane of paneLength at
// window position paneStart.
AxisLayout layoutAxis(int32_t scaledStart, int32_t scaledEnd, int32_t paneLength,
                      int32_t paneStart);

// The buffer placed around the centre c when it fits the scaled image, else at the end it
// would overlap.
int32_t fetchOriginAround(int32_t centre, int32_t fetch, int32_t scaledStart, int32_t scaledEnd);
// The view placed around the centre c (scaled coordinates) inside the buffer, else at its end.
int32_t viewOffsetAround(int32_t centre, const AxisLayout& axis);

// The part of a drag of `delta` the view can follow inside the buffer: delta itself, or what
// stops the view at the buffer's edge.
int32_t dragWithinBuffer(int32_t delta, const AxisLayout& axis);

// After a drag of `delta` (already limited to the buffer) on a limited buffer: moves the buffer
// with the drag as far as the scaled image allows and the view by the rest, never leaving the
// buffer. Updates fetchOrigin and viewOffset.
void followDrag(int32_t delta, int32_t scaledStart, int32_t scaledEnd, AxisLayout* axis);

// The start zoom divisor: the larger of the two ratios filter length / pane length, rounded to
// nearest with halves up, at least 1, without an upper limit.
int32_t initialPreviewZoom(const Rect& filterRect, int32_t paneWidth, int32_t paneHeight);

// A rectangle's coordinates divided by the zoom divisor, truncating.
Rect scaledRect(const Rect& rect, int32_t zoom);
