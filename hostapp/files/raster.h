// An image as the host application loads it from a file and saves it back.
//
// Pixels are 8 bits per channel, interleaved, rows top to bottom with no padding: a pixel is
// the mode's colour channels followed by its extra channels (transparency). The raster owns
// its pixels. Channel encodings are the document's, whatever the file used:
//   grayscale: 0 black .. 255 white;
//   RGB: 0..255 per channel;
//   CMYK: 255 no ink .. 0 full ink (the host's inverted form, as Adobe JPEGs store it);
//   Lab: L 0..255 for 0..100, a and b offset by 128 (128 is neutral).
// Extra channels are unassociated alpha: 0 transparent .. 255 opaque.
// Resolution is in pixels per inch, horizontal and vertical, or absent (PNM has none).
#pragma once

#include "hostapp/files/file_status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The host interface's image mode numbers.
enum class ImageMode : int { grayscale = 1, rgb = 3, cmyk = 4, lab = 9 };

// The largest width or height a document can have: the host interface keeps coordinates
// in signed 16 bits.
constexpr int kMaxDocumentSide = 32767;
constexpr int kMaxExtraChannels = 4;

struct Resolution {
  bool known = false;
  double horizontal = 0;  // pixels per inch
  double vertical = 0;
};

struct Raster {
  int width = 0;
  int height = 0;
  ImageMode mode = ImageMode::rgb;
  int extraChannels = 0;
  std::vector<uint8_t> pixels;
  Resolution resolution;
  std::vector<uint8_t> iccProfile;  // empty: none

  int colorChannels() const;
  int channels() const { return colorChannels() + extraChannels; }
  size_t rowBytes() const { return size_t(width) * size_t(channels()); }
  uint8_t* row(int y) { return pixels.data() + size_t(y) * rowBytes(); }
  const uint8_t* row(int y) const { return pixels.data() + size_t(y) * rowBytes(); }
};

// Formats that count pixels per metre: a ppi read from them is rounded to hundredths, which
// still maps back to the same whole count per metre, so 300 ppi survives a save and a load.
double ppiFromPixelsPerMetre(double pixelsPerMetre);
uint32_t pixelsPerMetreFromPpi(double ppi);

int colorChannelsOf(ImageMode mode);
const char* modeName(ImageMode mode);  // "grayscale", "RGB", "CMYK", "Lab"

// What one image may cost the reader. An image within the document limits can still ask for
// gigabytes, and most of them are damaged or hostile files: a photograph of 268 million pixels
// (16384 x 16384) is already far beyond any camera, so that is where a file is refused unless
// the user raises the limit. The limit applies to every format; 0 means none.
struct ReadLimits {
  uint64_t maxPixels = uint64_t(16384) * 16384;
};
constexpr ReadLimits kDefaultReadLimits{};
// The process's limits; the command line sets them once before reading.
ReadLimits& readLimits();

// Refuses an empty image, one over kMaxDocumentSide either way, or one over the pixel limit.
FileStatus checkDimensions(int64_t width, int64_t height);

// Refuses an image whose declared size its file cannot hold: `decodedBytes` of samples can
// come from `sourceBytes` of coded data only if the coding expands at most `maxExpansion`
// times (deflate at most 1032 times, for example). Readers call it before allocating, so a
// damaged size field in a small file fails at once instead of reserving gigabytes first.
// `slack` covers headers and rounding for small images.
FileStatus checkCodedSize(uint64_t decodedBytes, uint64_t sourceBytes, uint64_t maxExpansion,
                          uint64_t slack = 1 << 20);

// Sizes `raster` (keeping its resolution and profile) and allocates its pixels, zeroed.
// Refuses an empty image, a side over kMaxDocumentSide or more than kMaxExtraChannels extra
// channels before allocating anything; an allocation the machine cannot satisfy is a run
// error too. On failure `raster` is left unchanged.
FileStatus allocateRaster(Raster& raster, int64_t width, int64_t height, ImageMode mode,
                          int extraChannels);

// The same checks and sizing without allocating: the caller supplies the pixels, exactly
// height * rowBytes() of them. On failure `raster` is left unchanged.
FileStatus describeRaster(Raster& raster, int64_t width, int64_t height, ImageMode mode,
                          int extraChannels);
