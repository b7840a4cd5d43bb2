// A drawing surface for the test chart: an RGB raster with antialiased primitives.
//
// The canvas draws into the Raster it is given (RGB, no extra channels), which the caller
// owns. Coordinates are pixels, x to the right and y down, pixel centres at +0.5; shapes
// are antialiased by supersampling their coverage. Text comes from a TrueType font through
// FreeType; a font that cannot be loaded makes text() return false and draws nothing.
#pragma once

#include "imagefiles/raster.h"

#include <string>

struct Colour {
  double r, g, b;  // 0..255
};

class ChartCanvas {
 public:
  explicit ChartCanvas(Raster& raster) : raster_(raster) {}

  void blend(int x, int y, Colour colour, double coverage);
  void fillRect(int left, int top, int right, int bottom, Colour colour);
  // Any shape given by an inside test, sampled 4 x 4 per pixel over the bounding box.
  template <typename Inside>
  void fillShape(int left, int top, int right, int bottom, Colour colour, Inside inside) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
        if (hits) blend(x, y, colour, hits / 16.0);
      }
  }
  void line(double x0, double y0, double x1, double y1, double width, Colour colour);
  // Draws `text` with its baseline starting at (x, y), `pixels` high (the em size).
  bool text(const std::string& fontFile, const std::string& text, int x, int y, int pixels,
            Colour colour);

 private:
  Raster& raster_;
};
