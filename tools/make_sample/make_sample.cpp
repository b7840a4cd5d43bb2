// make_sample OUTPUT.png [FONT.ttf]
// Draws the print test chart the README sharpens: 2400 x 1600 RGB pixels at 300 ppi, with
// fine text at print sizes, line pairs, a star and a zone plate (where sharpening shows and
// where it rings), smooth ramps (where it must not add noise) and a procedural landscape
// with spheres for photographic detail. Deterministic: the same file on every run.
#include "imagefiles/image_files.h"
#include "tools/make_sample/chart_canvas.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 2400, kHeight = 1600;
constexpr double kPi = 3.14159265358979323846;
const Colour kInk{20, 20, 24};

// Value noise: a hashed lattice, smoothly interpolated; fbm sums octaves of it.
double lattice(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double noise(double x, double y, int seed) {
  const int ix = int(std::floor(x)), iy = int(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double top =
      lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * sx;
  const double bottom =
      lattice(ix, iy + 1, seed) + (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * sx;
  return top + (bottom - top) * sy;
}

double fbm(double x, double y, int octaves, int seed) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i, x *= 2.03, y *= 2.03, amplitude *= 0.5) {
    sum += amplitude * noise(x, y, seed + i);
    total += amplitude;
  }
  return sum / total;
}

Colour mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Colour hsv(double hue, double saturation, double value) {
  const double h = std::fmod(hue, 360.0) / 60.0, c = value * saturation;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1)), m = value - c;
  const double rgb[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
  const double* p = rgb[int(h) % 6];
  return {(p[0] + m) * 255, (p[1] + m) * 255, (p[2] + m) * 255};
}

void siemensStar(ChartCanvas& canvas, double cx, double cy, double radius) {
  canvas.fillShape(int(cx - radius), int(cy - radius), int(cx + radius) + 1, int(cy + radius) + 1,
                   kInk, [&](double x, double y) {
                     const double dx = x - cx, dy = y - cy;
                     if (dx * dx + dy * dy > radius * radius) return false;
                     const double angle = std::atan2(dy, dx) + kPi;
                     return int(angle / (2 * kPi) * 72) % 2 == 0;
                   });
}

void linePairs(ChartCanvas& canvas, int left, int top) {
  for (int i = 0; i < 4; ++i) {
    const int period = 2 * (i + 1), x = left + i * 175;
    for (int k = 0; k < 150; k += period) {
      canvas.fillRect(x + k, top, x + k + period / 2, top + 130, kInk);
      canvas.fillRect(x, top + 150 + k, x + 150, top + 150 + k + period / 2, kInk);
    }
  }
}

void zonePlate(ChartCanvas& canvas, double cx, double cy, double radius) {
  for (int y = int(cy - radius); y < int(cy + radius); ++y)
    for (int x = int(cx - radius); x < int(cx + radius); ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, r2 = dx * dx + dy * dy;
      if (r2 > radius * radius) continue;
      const double level = 127.5 + 127.5 * std::cos(kPi * r2 / (2 * radius));
      canvas.blend(x, y, {level, level, level}, 1.0);
    }
}

void fan(ChartCanvas& canvas, double x0, double y0) {
  for (int i = 0; i < 12; ++i) {
    const double angle = -kPi / 2 + (i - 5.5) * 0.07, width = 0.5 + i * 0.25;
    canvas.line(x0, y0, x0 + 300 * std::cos(angle), y0 + 300 * std::sin(angle), width, kInk);
  }
}

Colour landscapeAt(double x, double y, double left, double top, double w, double h) {
  const double u = (x - left) / w, v = (y - top) / h;
  const double ridge = 0.38 + 0.22 * fbm(u * 3.0, 0.5, 6, 11);
  const double meadow = 0.72 + 0.03 * std::sin(u * 7);
  if (v < ridge) {
    const double sun = std::exp(-(std::pow(u - 0.72, 2) + std::pow(v - 0.18, 2)) * 90);
    const Colour sky = mix({70, 120, 200}, {205, 222, 238}, v / ridge);
    const double cloud = std::max(0.0, fbm(u * 6, v * 14, 5, 3) - 0.55) * 2.2;
    return mix(mix(sky, {255, 246, 214}, sun), {250, 250, 252}, std::min(cloud, 0.85));
  }
  if (v < meadow) {
    const double rock = fbm(u * 40, v * 40, 6, 21), snow = v < ridge + 0.04 ? 0.6 : 0.0;
    const Colour stone = scale(mix({92, 84, 80}, {150, 140, 128}, rock), 0.75 + 0.5 * (meadow - v));
    return mix(stone, {240, 242, 248}, snow * (rock > 0.45 ? 1 : 0.2));
  }
  const double blades = fbm(u * 260, v * 22, 4, 41), patches = fbm(u * 5, v * 5, 3, 51);
  return scale(mix({48, 96, 30}, {150, 170, 60}, patches), 0.55 + 0.7 * blades);
}

// A shaded, speckled ball lit from the upper left, antialiased at its rim.
void sphere(ChartCanvas& canvas, double cx, double cy, double radius, Colour base, int seed) {
  for (int y = int(cy - radius) - 1; y <= int(cy + radius) + 1; ++y)
    for (int x = int(cx - radius) - 1; x <= int(cx + radius) + 1; ++x) {
      int hits = 0;
      for (int s = 0; s < 16; ++s) {
        const double dx = x + (s % 4 + 0.5) / 4 - cx, dy = y + (s / 4 + 0.5) / 4 - cy;
        hits += dx * dx + dy * dy <= radius * radius;
      }
      if (!hits) continue;
      const double nx = (x + 0.5 - cx) / radius, ny = (y + 0.5 - cy) / radius;
      const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
      const double light = std::max(0.0, -0.5 * nx - 0.6 * ny + 0.62 * nz);
      const double shine = std::pow(std::max(0.0, -0.3 * nx - 0.4 * ny + 0.87 * nz), 40);
      const double grain = 0.85 + 0.3 * fbm((x - cx) / 6.0, (y - cy) / 6.0, 4, seed);
      const Colour lit = scale(base, (0.18 + 0.9 * light) * grain);
      canvas.blend(x, y, mix(lit, {255, 255, 255}, shine), hits / 16.0);
    }
}

void landscape(ChartCanvas& canvas, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      canvas.blend(x, y, landscapeAt(x, y, left, top, right - left, bottom - top), 1.0);
  sphere(canvas, left + 170, bottom - 120, 95, {200, 40, 36}, 61);
  sphere(canvas, left + 400, bottom - 90, 70, {230, 190, 60}, 71);
  sphere(canvas, left + 610, bottom - 130, 110, {60, 110, 200}, 81);
}

void ramps(ChartCanvas& canvas, int left, int top, int right) {
  const Colour ends[4] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (int band = 0; band < 4; ++band)
    for (int x = left; x < right; ++x) {
      const double t = double(x - left) / (right - left - 1);
      canvas.fillRect(x, top + band * 55, x + 1, top + band * 55 + 50, scale(ends[band], t));
    }
  for (int y = top + 225; y < top + 345; ++y)
    for (int x = left; x < right; ++x)
      canvas.blend(x, y, hsv(360.0 * (x - left) / (right - left), (top + 345 - y) / 120.0, 1.0),
                   1.0);
}

void patches(ChartCanvas& canvas, int left, int top) {
  const Colour colours[24] = {{115, 82, 68},   {194, 150, 130}, {98, 122, 157},  {87, 108, 67},
                              {133, 128, 177}, {103, 189, 170}, {214, 126, 44},  {80, 91, 166},
                              {193, 90, 99},   {94, 60, 108},   {157, 188, 64},  {224, 163, 46},
                              {56, 61, 150},   {70, 148, 73},   {175, 54, 60},   {231, 199, 31},
                              {187, 86, 149},  {8, 133, 161},   {243, 243, 242}, {200, 200, 200},
                              {160, 160, 160}, {122, 122, 121}, {85, 85, 85},    {52, 52, 52}};
  for (int i = 0; i < 24; ++i) {
    const int x = left + (i % 6) * 150, y = top + (i / 6) * 88;
    canvas.fillRect(x, y, x + 140, y + 80, colours[i]);
  }
}

bool texts(ChartCanvas& canvas, const std::string& font, int left, int top) {
  const char* sample = "Quick brown fox jumps 0123456789 Hamburgefonstiv";
  bool ok = canvas.text(font, "Inkjet print test chart  -  2400 x 1600 pixels at 300 ppi", 60, 95,
                        58, kInk);
  int y = top;
  for (int points : {4, 5, 6, 7, 8, 10, 12}) {
    const int pixels = points * 300 / 72;
    y += pixels + 12;
    ok = ok && canvas.text(font, std::to_string(points) + " pt  " + sample, left, y, pixels, kInk);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_sample OUTPUT.png [FONT.ttf]\n");
    return 2;
  }
  const std::string font =
      argc == 3 ? argv[2] : "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
  Raster chart;
  allocateRaster(chart, kWidth, kHeight, ImageMode::rgb, 0);
  chart.pixels.assign(chart.pixels.size(), 255);
  chart.resolution = {true, 300, 300};
  ChartCanvas canvas(chart);
  siemensStar(canvas, 400, 480, 320);
  linePairs(canvas, 790, 150);
  zonePlate(canvas, 990, 650, 175);
  fan(canvas, 1340, 830);
  landscape(canvas, 1540, 150, 2340, 840);
  ramps(canvas, 60, 870, 2340);
  patches(canvas, 60, 1225);
  if (!texts(canvas, font, 1000, 1215)) {
    std::fprintf(stderr, "make_sample: cannot load the font %s\n", font.c_str());
    return 1;
  }
  const FileStatus status = writeImageFile(argv[1], chart);
  if (!status.ok()) {
    std::fprintf(stderr, "make_sample: %s\n", status.message.c_str());
    return 1;
  }
  return 0;
}
