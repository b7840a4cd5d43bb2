#include "hostapp/gradient_picture.h"

PixelDocument gradientPicture(int32 width, int32 height) {
  PixelDocument document;
  document.description.width = width;
  document.description.height = height;
  document.pixels.resize(document.byteCount());
  for (int32 y = 0; y < height; ++y)
    for (int32 x = 0; x < width; ++x) {
      uint8* p = &document.pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
      p[0] = uint8(x * 255 / width);
      p[1] = uint8(y * 255 / height);
      p[2] = ((x / 24) + (y / 24)) % 2 ? 210 : 50;
    }
  return document;
}
