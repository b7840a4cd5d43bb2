#include "core/print_size.h"

float printMillimetres(int32 pixels, Fixed resolution) {
  double pixelsPerInch = double(resolution) / 65536.0;
  return float(double(pixels) * 10.0 / pixelsPerInch * 2.54);
}

int32 printSizeField(float millimetres) {
  if (!(millimetres >= 0.0f) || millimetres > float(kMaxPrintMillimetres)) {
    return kMaxPrintMillimetres;
  }
  return int32(millimetres);
}

int32 eyeDistanceTier(float widthMillimetres, float heightMillimetres) {
  if (widthMillimetres > 1000.0f || heightMillimetres > 1000.0f) return 5;
  if (widthMillimetres > 800.0f || heightMillimetres > 800.0f) return 4;
  if (widthMillimetres > 600.0f || heightMillimetres > 600.0f) return 3;
  return 0;
}
