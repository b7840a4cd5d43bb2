// Regions as rows of spans. A polygon region holds pixel (x, y) when the point (x, y) lies
// inside the polygon, with left and top edges inside and right and bottom edges outside, so
// that polygons sharing an edge never share a pixel; ALTERNATE (even-odd) and WINDING
// (non-zero) decide for self-overlapping outlines. Rectangle regions exclude their right and
// bottom edges.
#include "platform/stand_in.h"

#include <algorithm>
#include <cmath>

using namespace standin;

namespace {

struct Crossing {
  double x;
  int direction;
};

std::vector<Crossing> crossings(const POINT* points, int count, int y) {
  std::vector<Crossing> found;
  for (int i = 0; i < count; ++i) {
    POINT a = points[i], b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    int direction = b.y > a.y ? 1 : -1;
    if (a.y > b.y) std::swap(a, b);
    if (y < a.y || y >= b.y) continue;
    double x = a.x + double(y - a.y) * double(b.x - a.x) / double(b.y - a.y);
    found.push_back({x, direction});
  }
  std::sort(found.begin(), found.end(),
            [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
  return found;
}

void addRow(Region& region, const POINT* points, int count, int y, int fillMode) {
  std::vector<Crossing> row = crossings(points, count, y);
  int winding = 0;
  for (size_t i = 0; i + 1 < row.size(); ++i) {
    winding += fillMode == WINDING ? row[i].direction : 1;
    bool inside = fillMode == WINDING ? winding != 0 : (winding % 2) != 0;
    int left = int(std::ceil(row[i].x)), right = int(std::ceil(row[i + 1].x));
    if (inside && right > left) region.spans.push_back({y, left, right});
  }
}

HRGN registerRegion(std::unique_ptr<Region> region) {
  return reinterpret_cast<HRGN>(registerObject(std::move(region)));
}

}  // namespace

extern "C" {

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 0 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  auto region = std::make_unique<Region>();
  if (count >= 3) {
    auto [low, high] = std::minmax_element(
        points, points + count, [](const POINT& a, const POINT& b) { return a.y < b.y; });
    for (int y = low->y; y < high->y; ++y) addRow(*region, points, count, y, fillMode);
  }
  return registerRegion(std::move(region));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto region = std::make_unique<Region>();
  // Windows orders the corners itself.
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  for (int y = top; y < bottom && left < right; ++y) region->spans.push_back({y, left, right});
  return registerRegion(std::move(region));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL FillRgn(HDC handle, HRGN regionHandle, HBRUSH brushHandle) {
  DeviceContext* dc = findContext(handle);
  Region* region = findAs<Region>(regionHandle, Kind::Region);
  Brush* brush = findAs<Brush>(brushHandle, Kind::Brush);
  if (!dc || !region || !brush) return FALSE;
  if (brush->style == BS_NULL) return TRUE;
  for (const Span& s : region->spans) fillSpan(*dc, s.y, s.left, s.right, brush->color);
  return TRUE;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
  DeviceContext* dc = findContext(handle);
  Brush* brush = findAs<Brush>(brushHandle, Kind::Brush);
  if (!dc || !rect || !brush) return 0;
  if (brush->style != BS_NULL) fillRect(*dc, *rect, brush->color);
  return 1;
}

}  // extern "C"
