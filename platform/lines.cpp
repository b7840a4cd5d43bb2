// Lines with GDI's rules: LineTo draws from the current position up to, but not including, the
// end point, and moves the current position there. Cosmetic one-pixel pens step with
// Bresenham's algorithm; where the ideal line passes exactly between two pixels, the octant
// decides which one is taken, the way GDI breaks such ties. Wider pens draw a square of the
// pen's width around each pixel of that path; the null pen draws nothing.
#include "platform/stand_in.h"

#include <cstdlib>

using namespace standin;

namespace {

// Octants 1..8, counted clockwise from the positive x axis with y pointing down.
int octant(int dx, int dy) {
  if (dy > 0) {
    if (dx > 0) return dx > dy ? 1 : 2;
    return -dx > dy ? 4 : 3;
  }
  if (dx < 0) return -dx > -dy ? 5 : 6;
  return dx > -dy ? 8 : 7;
}

// Ties step toward the minor axis in octants 3, 5, 6 and 8.
int tieBias(int dx, int dy) {
  int o = octant(dx, dy);
  return (o == 3 || o == 5 || o == 6 || o == 8) ? 1 : 0;
}

void plot(DeviceContext& dc, int x, int y, int width, COLORREF color) {
  if (width <= 1) {
    putPixel(dc, x, y, color);
    return;
  }
  int half = width / 2;
  for (int j = 0; j < width; ++j) fillSpan(dc, y - half + j, x - half, x - half + width, color);
}

void drawLine(DeviceContext& dc, int x0, int y0, int x1, int y1, int width, COLORREF color) {
  int dx = x1 - x0, dy = y1 - y0;
  if (dx == 0 && dy == 0) return;
  int x = x0, y = y0;
  bool xMajor = std::abs(dx) > std::abs(dy);
  int* major = xMajor ? &x : &y;
  int* minor = xMajor ? &y : &x;
  int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
  int minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
  int majorLength = std::abs(xMajor ? dx : dy), minorLength = std::abs(xMajor ? dy : dx);
  int bias = tieBias(dx, dy);
  int err = 2 * minorLength - majorLength;
  for (int i = 0; i < majorLength; ++i, *major += majorStep) {
    plot(dc, x, y, width, color);
    if (err + bias > 0) {
      *minor += minorStep;
      err += 2 * (minorLength - majorLength);
    } else {
      err += 2 * minorLength;
    }
  }
}

}  // namespace

extern "C" {

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
  DeviceContext* dc = findContext(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
  DeviceContext* dc = findContext(handle);
  if (!dc) return FALSE;
  const Pen& pen = *dc->pen;
  if (pen.style != PS_NULL)
    drawLine(*dc, dc->position.x, dc->position.y, x, y, pen.width, pen.color);
  dc->position = POINT{x, y};
  return TRUE;
}

}  // extern "C"
