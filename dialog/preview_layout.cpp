#include "dialog/preview_layout.h"

#include <algorithm>

namespace {

bool within(int32_t p, int32_t start, int32_t end) { return start <= p && p <= end; }

}  // namespace

AxisLayout layoutAxis(int32_t scaledStart, int32_t scaledEnd, int32_t paneLength,
                      int32_t paneStart) {
  AxisLayout a{};
  int32_t scaled = scaledEnd - scaledStart;
  a.fetchOrigin = scaledStart;
  if (scaled > paneLength) {
    a.visible = paneLength;
    a.destination = paneStart;
    a.draggable = true;
    a.fetch = scaled;
    if (scaled > kFetchPanes * paneLength) {
      a.fetchLimited = true;
      a.fetch = kFetchPanes * paneLength;
      a.fetchOrigin = (scaled - a.fetch) / 2 + scaledStart;
    }
    a.viewOffset = (a.fetch - paneLength) / 2;
  } else {
    a.visible = a.fetch = scaled;
    a.viewOffset = 0;
    a.destination = (paneLength - scaled) / 2 + paneStart;
  }
  return a;
}

int32_t fetchOriginAround(int32_t centre, int32_t fetch, int32_t scaledStart, int32_t scaledEnd) {
  int32_t first = centre - fetch / 2;
  int32_t last = centre + fetch / 2;
  if (within(first, scaledStart, scaledEnd) && within(last, scaledStart, scaledEnd)) return first;
  if (within(first, scaledStart, scaledEnd)) return scaledEnd - fetch;
  return scaledStart;
}

int32_t viewOffsetAround(int32_t centre, const AxisLayout& axis) {
  int32_t d = centre - axis.fetchOrigin;
  int32_t first = d - axis.visible / 2;
  int32_t last = d + axis.visible / 2;
  if (within(first, 0, axis.fetch) && within(last, 0, axis.fetch)) return first;
  if (within(first, 0, axis.fetch)) return axis.fetch - axis.visible;
  return 0;
}

int32_t dragWithinBuffer(int32_t delta, const AxisLayout& axis) {
  int32_t first = axis.viewOffset - delta;
  int32_t last = first + axis.visible;
  if (within(first, 0, axis.fetch) && within(last, 0, axis.fetch)) return delta;
  if (within(first, 0, axis.fetch)) return axis.viewOffset - axis.fetch + axis.visible;
  return axis.viewOffset;
}

void followDrag(int32_t delta, int32_t scaledStart, int32_t scaledEnd, AxisLayout* axis) {
  int32_t wanted = axis->fetchOrigin - delta;
  int32_t origin = std::max(scaledStart, std::min(wanted, scaledEnd - axis->fetch));
  int32_t view = axis->viewOffset + (wanted - origin);
  axis->fetchOrigin = origin;
  axis->viewOffset = std::max(0, std::min(view, axis->fetch - axis->visible));
}

int32_t initialPreviewZoom(const Rect& filterRect, int32_t paneWidth, int32_t paneHeight) {
  double across = double(filterRect.right - filterRect.left) / double(paneWidth);
  double down = double(filterRect.bottom - filterRect.top) / double(paneHeight);
  double r = std::max(across, down);
  int32_t n = int32_t(r);
  int32_t zoom = r - n < 0.5 ? n : n + 1;
  return zoom <= 0 ? 1 : zoom;
}

Rect scaledRect(const Rect& rect, int32_t zoom) {
  return Rect{int16(rect.top / zoom), int16(rect.left / zoom), int16(rect.bottom / zoom),
              int16(rect.right / zoom)};
}
