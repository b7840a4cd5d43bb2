// The drawing surface of the artwork: a 24-bit RGB picture in memory, top row first, and the
// few shapes the artwork is made of.
//
// Rectangles are (x, y, width, height) with the right and bottom edges exclusive, as in the
// dialogs. Shapes are anti-aliased by 4 x 4 supersampling: a pixel takes the colour in the
// share of its sixteen sample points that fall inside the shape. Drawing outside the canvas
// is clipped, never an error. Everything is integer arithmetic on the coverage counts, so a
// drawing gives the same bytes on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace artwork {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Point {
  double x = 0, y = 0;
};

// A region of the plane: true for the points inside. Coordinates are continuous, pixel (x, y)
// covers the square x..x+1, y..y+1.
using Region = std::function<bool(double x, double y)>;

Region polygonRegion(std::vector<Point> corners);
Region ellipseRegion(double cx, double cy, double rx, double ry);
Region roundedRectRegion(double x, double y, double w, double h, double radius);
// The band of width `thickness` around the segment a-b, with square ends.
Region segmentRegion(Point a, Point b, double thickness);
Region differenceRegion(Region outer, Region inner);

class Canvas {
 public:
  Canvas(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const std::vector<Rgb>& pixels() const { return pixels_; }

  // Mixes `colour` into one pixel with weight alpha / 255.
  void blend(int x, int y, Rgb colour, int alpha);
  void fillRect(int x, int y, int w, int h, Rgb colour);
  // Vertical gradient from `top` on the first row to `bottom` on the last.
  void fillGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
  void horizontalLine(int x0, int x1, int y, Rgb colour);  // x1 exclusive
  void verticalLine(int x, int y0, int y1, Rgb colour);    // y1 exclusive
  void frameRect(int x, int y, int w, int h, Rgb colour);  // 1-pixel outline inside the rectangle
  // Fills the region within the bounding rectangle (x, y, w, h).
  void fill(const Region& region, int x, int y, int w, int h, Rgb colour);

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

Rgb mix(Rgb a, Rgb b, int alphaOfB);

}  // namespace artwork
