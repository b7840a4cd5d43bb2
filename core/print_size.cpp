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
