#include "resources/artwork/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace artwork {

namespace {

constexpr int kSamplesPerAxis = 4;

uint8_t mixChannel(int a, int b, int alphaOfB) {
  return static_cast<uint8_t>((a * (255 - alphaOfB) + b * alphaOfB + 127) / 255);
}

}  // namespace

Rgb mix(Rgb a, Rgb b, int alphaOfB) {
  return {mixChannel(a.r, b.r, alphaOfB), mixChannel(a.g, b.g, alphaOfB),
          mixChannel(a.b, b.b, alphaOfB)};
}

Region polygonRegion(std::vector<Point> corners) {
  return [corners = std::move(corners)](double x, double y) {
    // Even-odd rule: count the edges crossed by a ray to the right.
    bool inside = false;
    for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
      const Point& a = corners[i];
      const Point& b = corners[j];
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
        inside = !inside;
      }
    }
    return inside;
  };
}

Region ellipseRegion(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  };
}

Region roundedRectRegion(double x, double y, double w, double h, double radius) {
  return [=](double px, double py) {
    if (px < x || py < y || px > x + w || py > y + h) return false;
    // Distance to the inner rectangle whose corners are the centres of the rounded corners.
    const double dx = std::max({x + radius - px, 0.0, px - (x + w - radius)});
    const double dy = std::max({y + radius - py, 0.0, py - (y + h - radius)});
    return dx * dx + dy * dy <= radius * radius;
  };
}

Region segmentRegion(Point a, Point b, double thickness) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const double nx = (a.y - b.y) / length * thickness / 2;
  const double ny = (b.x - a.x) / length * thickness / 2;
  return polygonRegion(
      {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
}

Region differenceRegion(Region outer, Region inner) {
  return [outer = std::move(outer), inner = std::move(inner)](double x, double y) {
    return outer(x, y) && !inner(x, y);
  };
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

void Canvas::blend(int x, int y, Rgb colour, int alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Rgb& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
  pixel = alpha >= 255 ? colour : mix(pixel, colour, alpha);
}

void Canvas::fillRect(int x, int y, int w, int h, Rgb colour) {
  for (int row = y; row < y + h; ++row) {
    for (int col = x; col < x + w; ++col) blend(col, row, colour, 255);
  }
}

void Canvas::fillGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
  for (int row = 0; row < h; ++row) {
    const int alpha = h > 1 ? row * 255 / (h - 1) : 0;
    horizontalLine(x, x + w, y + row, mix(top, bottom, alpha));
  }
}

void Canvas::horizontalLine(int x0, int x1, int y, Rgb colour) {
  fillRect(x0, y, x1 - x0, 1, colour);
}

void Canvas::verticalLine(int x, int y0, int y1, Rgb colour) {
  fillRect(x, y0, 1, y1 - y0, colour);
}

void Canvas::frameRect(int x, int y, int w, int h, Rgb colour) {
  horizontalLine(x, x + w, y, colour);
  horizontalLine(x, x + w, y + h - 1, colour);
  verticalLine(x, y + 1, y + h - 1, colour);
  verticalLine(x + w - 1, y + 1, y + h - 1, colour);
}

void Canvas::fill(const Region& region, int x, int y, int w, int h, Rgb colour) {
  constexpr int kSamples = kSamplesPerAxis * kSamplesPerAxis;
  for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row) {
    for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) {
      int covered = 0;
      for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
          covered += region(col + (sx + 0.5) / kSamplesPerAxis, row + (sy + 0.5) / kSamplesPerAxis);
        }
      }
      blend(col, row, colour, covered * 255 / kSamples);
    }
  }
}

}  // namespace artwork
