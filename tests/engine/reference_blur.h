// A slow, literal rendering of the blur operator for the tests: every sample is read and
// written through positioned and stepped cursors, the working rectangles are grown on the
// planes themselves and restored, the box path ping-pongs between two copied planes and
// divides through a 40000-entry table, and the Gaussian vertical pass reads a saved copy of
// the horizontal result. Nothing here is fast; it is the yardstick for the real code.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/blur_kernel.h"
#include "image/image_plane.h"

namespace reference {

inline void accumulate(int32* sums, const PixelCursor& c, int32 weight) {
  sums[0] += weight * *c.channel0;
  sums[1] += weight * *c.channel1;
  sums[2] += weight * *c.channel2;
}

inline void put(const PixelCursor& c, int32 a, int32 b, int32 d) {
  *c.channel0 = uint8(a);
  *c.channel1 = uint8(b);
  *c.channel2 = uint8(d);
}

inline void gaussian(double adjusted, ImagePlane* source, ImagePlane* destination, int32 marginH,
                     int32 marginV, PluginGlobals* globals) {
  GaussianKernel kernel = gaussianKernel(adjusted);
  int32 s = source->step;
  int32 reach = (kernel.halfWidth / s) * s;
  int32 total = kernel.weights[0];
  for (int32 d = s; d <= kernel.halfWidth && kernel.weights[d] != 0; d += s) {
    total += 2 * kernel.weights[d];
  }
  Rect oldSource = growInner(source, marginH, marginV);
  Rect oldDestination = growInner(destination, marginH, marginV);
  Rect w = destination->inner;
  for (int32 y = w.top; y < w.bottom; y += s) {
    PixelCursor out = positionCursor(*destination, w.left, y);
    for (int32 x = w.left; x < w.right; x += s) {
      PixelCursor in = positionCursor(*source, x - reach, y);
      int32 sums[3] = {0, 0, 0};
      for (int32 d = -reach; d <= reach; d += s) {
        accumulate(sums, in, kernel.weights[std::abs(d)]);
        stepRight(&in);
      }
      put(out, sums[0] / total, sums[1] / total, sums[2] / total);
      stepRight(&out);
    }
  }
  ImagePlane* h = copyPlane(handleMemory(globals), *destination);
  lockPlane(handleMemory(globals), h);
  for (int32 x = w.left; x < w.right; x += s) {
    PixelCursor out = positionCursor(*destination, x, w.top);
    for (int32 y = w.top; y < w.bottom; y += s) {
      PixelCursor in = positionCursor(*h, x, y - reach);
      int32 sums[3] = {0, 0, 0};
      for (int32 d = -reach; d <= reach; d += s) {
        accumulate(sums, in, kernel.weights[std::abs(d)]);
        stepDown(&in);
      }
      put(out, sums[0] / total, sums[1] / total, sums[2] / total);
      stepDown(&out);
    }
  }
  destroyPlane(handleMemory(globals), h);
  source->inner = oldSource;
  destination->inner = oldDestination;
}

// One running-sum pass along rows (horizontal) or columns over `r`, e pixels wider each side.
inline void boxPass(const std::vector<uint8>& table, int32 k, int32 ks, int32 e, bool horizontal,
                    const Rect& r, ImagePlane* read, ImagePlane* write) {
  int32 s = read->step;
  auto at = [&](ImagePlane* p, int32 along, int32 line) {
    return horizontal ? positionCursor(*p, along, line) : positionCursor(*p, line, along);
  };
  auto advance = [&](PixelCursor* c) { horizontal ? stepRight(c) : stepDown(c); };
  int32 from = (horizontal ? r.left : r.top) - e;
  int32 to = (horizontal ? r.right : r.bottom) + e;
  int32 lineFrom = horizontal ? r.top : r.left;
  int32 lineTo = horizontal ? r.bottom : r.right;
  for (int32 line = lineFrom; line < lineTo; line += s) {
    int32 sums[3] = {0, 0, 0};
    PixelCursor prime = at(read, from - ks, line);
    for (int32 t = 0; t < 2 * k + 1; ++t) {
      accumulate(sums, prime, 1);
      advance(&prime);
    }
    PixelCursor trailing = at(read, from - ks, line);
    PixelCursor leading = at(read, from + ks, line);
    PixelCursor out = at(write, from, line);
    for (int32 p = from; p < to; p += s) {
      put(out, table[sums[0]], table[sums[1]], table[sums[2]]);
      accumulate(sums, trailing, -1);
      advance(&trailing);
      advance(&leading);
      advance(&out);
      accumulate(sums, leading, 1);
    }
  }
}

inline void box(int32 n, float radius, ImagePlane* source, ImagePlane* destination, int32 marginH,
                int32 marginV, PluginGlobals* globals) {
  int32 s = source->step;
  int32 k = n / s;
  int32 ks = k * s;
  std::vector<uint8> table(40000);
  for (int32 i = 0; i < 40000; ++i) table[i] = uint8(std::min(i / (2 * k + 1), 255));
  ImagePlane* a = copyPlane(handleMemory(globals), *source);
  ImagePlane* b = copyPlane(handleMemory(globals), *destination);
  lockPlane(handleMemory(globals), a);
  lockPlane(handleMemory(globals), b);
  int32 q = (radius - float(n)) < 0.5f ? 1 : 2;
  ImagePlane* planes[4] = {source, destination, a, b};
  Rect old[4];
  for (int i = 0; i < 4; ++i) old[i] = growInner(planes[i], marginH, marginV + 3 * ks);
  ImagePlane* read = a;
  ImagePlane* write = b;
  for (int32 j = 0; j <= q; ++j) {
    boxPass(table, k, ks, (q - j) * ks, true, a->inner, read, write);
    std::swap(read, write);
  }
  for (int i = 0; i < 4; ++i) {
    planes[i]->inner = old[i];
    growInner(planes[i], marginH, marginV);
  }
  for (int32 j = 0; j < 3; ++j) {
    boxPass(table, k, ks, (2 - j) * ks, false, a->inner, read, write);
    std::swap(read, write);
  }
  Rect g = a->inner;
  copyRegion(destination, g.left, g.top, *read, g.left, g.top, g);
  for (int i = 0; i < 4; ++i) planes[i]->inner = old[i];
  destroyPlane(handleMemory(globals), a);
  destroyPlane(handleMemory(globals), b);
}

// The path choice, with the radius floor.
inline void blur(double radius, int32 marginH, int32 marginV, ImagePlane* source,
                 ImagePlane* destination, PluginGlobals* globals) {
  if (radius < 0.2) radius = 0.2;
  if (radius >= 2.5) {
    box(int32(radius), float(radius), source, destination, marginH, marginV, globals);
  } else {
    gaussian(adjustedGaussianRadius(radius), source, destination, marginH, marginV, globals);
  }
}

}  // namespace reference
