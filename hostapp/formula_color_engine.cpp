// The formula colour path (see color_engine.h). Only integer arithmetic between RGB, gray and
// CMYK, so the native and the Windows builds agree to the byte.
#include <algorithm>
#include <cmath>

#include "hostapp/color_engine.h"
#include "hostapi/constants.h"

namespace {

struct Rgb {
  int32 red, green, blue;
};

int16 clampComponent(double value) { return int16(std::clamp(std::lround(value), 0L, 255L)); }

double expand(int32 component) {
  double v = component / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double compress(double linear) {
  double v = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
  return v * 255.0;
}

constexpr double kWhite[3] = {0.9642, 1.0, 0.8249};
constexpr double kToXyz[3][3] = {{0.4360747, 0.3850649, 0.1430804},
                                 {0.2225045, 0.7168786, 0.0606169},
                                 {0.0139322, 0.0971045, 0.7141733}};
constexpr double kEpsilon = 216.0 / 24389.0;
constexpr double kKappa = 24389.0 / 27.0;

double labF(double t) { return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16.0) / 116.0; }
double labInverse(double f) {
  double cube = f * f * f;
  return cube > kEpsilon ? cube : (116.0 * f - 16.0) / kKappa;
}

void rgbToLab(const Rgb& rgb, int16 out[4]) {
  double linear[3] = {expand(rgb.red), expand(rgb.green), expand(rgb.blue)};
  double f[3];
  for (int i = 0; i < 3; ++i) {
    double xyz = kToXyz[i][0] * linear[0] + kToXyz[i][1] * linear[1] + kToXyz[i][2] * linear[2];
    f[i] = labF(xyz / kWhite[i]);
  }
  out[0] = clampComponent((116.0 * f[1] - 16.0) * 255.0 / 100.0);
  out[1] = clampComponent(500.0 * (f[0] - f[1]) + 128.0);
  out[2] = clampComponent(200.0 * (f[1] - f[2]) + 128.0);
}

// The inverse of the D50 sRGB matrix, solved once by Cramer's rule.
void xyzToLinear(const double xyz[3], double linear[3]) {
  const double(&m)[3][3] = kToXyz;
  double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  for (int column = 0; column < 3; ++column) {
    double t[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) t[r][c] = c == column ? xyz[r] : m[r][c];
    linear[column] = (t[0][0] * (t[1][1] * t[2][2] - t[1][2] * t[2][1]) -
                      t[0][1] * (t[1][0] * t[2][2] - t[1][2] * t[2][0]) +
                      t[0][2] * (t[1][0] * t[2][1] - t[1][1] * t[2][0])) /
                     det;
  }
}

Rgb labToRgb(const int16 in[4]) {
  double fy = (in[0] * 100.0 / 255.0 + 16.0) / 116.0;
  double fx = fy + (in[1] - 128.0) / 500.0;
  double fz = fy - (in[2] - 128.0) / 200.0;
  double xyz[3] = {labInverse(fx) * kWhite[0], labInverse(fy) * kWhite[1],
                   labInverse(fz) * kWhite[2]};
  double linear[3];
  xyzToLinear(xyz, linear);
  return Rgb{clampComponent(compress(linear[0])), clampComponent(compress(linear[1])),
             clampComponent(compress(linear[2]))};
}

bool toRgb(int16 space, const int16 in[4], Rgb* rgb) {
  switch (space) {
    case plugIncolorServicesRGBSpace:
      *rgb = Rgb{in[0], in[1], in[2]};
      return true;
    case plugIncolorServicesGraySpace:
      *rgb = Rgb{in[0], in[0], in[0]};
      return true;
    case plugIncolorServicesCMYKSpace: {
      int32 k = 255 - in[3];
      *rgb = Rgb{255 - std::min(255, 255 - in[0] + k), 255 - std::min(255, 255 - in[1] + k),
                 255 - std::min(255, 255 - in[2] + k)};
      return true;
    }
    case plugIncolorServicesLabSpace:
      *rgb = labToRgb(in);
      return true;
    default:
      return false;
  }
}

bool fromRgb(int16 space, const Rgb& rgb, int16 out[4]) {
  switch (space) {
    case plugIncolorServicesRGBSpace:
      out[0] = int16(rgb.red), out[1] = int16(rgb.green), out[2] = int16(rgb.blue);
      return true;
    case plugIncolorServicesGraySpace:
      out[0] = int16((299 * rgb.red + 587 * rgb.green + 114 * rgb.blue + 500) / 1000);
      return true;
    case plugIncolorServicesCMYKSpace: {
      int32 c = 255 - rgb.red, m = 255 - rgb.green, y = 255 - rgb.blue;
      int32 k = std::min({c, m, y});
      out[0] = int16(255 - (c - k)), out[1] = int16(255 - (m - k));
      out[2] = int16(255 - (y - k)), out[3] = int16(255 - k);
      return true;
    }
    case plugIncolorServicesLabSpace:
      rgbToLab(rgb, out);
      return true;
    default:
      return false;
  }
}

class FormulaColorEngine : public ColorEngine {
 public:
  bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) override {
    int16 in[4];
    for (int i = 0; i < 4; ++i) in[i] = int16(std::clamp<int>(components[i], 0, 255));
    Rgb rgb{};
    int16 out[4] = {components[0], components[1], components[2], components[3]};
    if (!toRgb(sourceSpace, in, &rgb) || !fromRgb(resultSpace, rgb, out)) return false;
    std::copy(out, out + 4, components);
    return true;
  }
};

}  // namespace

std::unique_ptr<ColorEngine> makeFormulaColorEngine() {
  return std::make_unique<FormulaColorEngine>();
}
