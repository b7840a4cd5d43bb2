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

#include "imagefiles/file_status.h"

#include <cstddef>
#include <cstdint>
#include <string>
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

// What a file says about the picture besides its pixels, carried from the input to the output
// in the forms the metadata layer (files/native/metadata.h) reads and writes: the EXIF block as
// a TIFF structure, the IPTC records, the XMP packet. Empty parts are absent. `orientation` is
// the EXIF orientation (1..8; 1 when absent): how the stored pixels turn to be displayed.
// Builds without that layer leave all of it empty.
struct ImageMetadata {
  std::vector<uint8_t> exif;
  std::vector<uint8_t> iptc;
  std::string xmp;
  int orientation = 1;
  // Whether there is an EXIF, IPTC or XMP block: what the metadata layer writes into a file.
  bool hasBlocks() const { return !exif.empty() || !iptc.empty() || !xmp.empty(); }
  // PNG text chunks other than the metadata blocks above (Title, Author, Comment, ...): the
  // keyword, the text as stored (Latin-1 in tEXt and zTXt, UTF-8 in iTXt) and which of those it
  // was; and the PNG modification time (year, month, day, hour, minute, second; year 0 when
  // absent).
  struct PngText {
    std::string key;
    std::string text;
    bool international;  // iTXt
  };
  std::vector<PngText> pngText;
  int pngTime[6] = {};
  // PNG colour chunks, in libpng's fixed-point form (100000 = 1.0): gAMA, cHRM (white x, y,
  // red x, y, green x, y, blue x, y) and the sRGB rendering intent; absent when `has...` is
  // false or the intent is -1.
  bool pngHasGamma = false;
  int pngGamma = 0;
  bool pngHasChromaticities = false;
  int pngChromaticities[8] = {};
  int pngSrgbIntent = -1;

  // Orientations 5..8 turn the picture a quarter: displayed width is the stored height.
  bool swapsSides() const { return orientation >= 5 && orientation <= 8; }
};

// How the file stored the picture, for saving it back the same way: JPEG quality (estimated
// from the quantisation tables, 1..100) and chroma subsampling (444, 422, 420; 0 for
// grayscale), the TIFF compression scheme (libtiff's number). 0 means not known.
struct StorageHints {
  int jpegQuality = 0;
  int jpegSubsampling = 0;
  int tiffCompression = 0;
};

struct Raster {
  int width = 0;
  int height = 0;
  ImageMode mode = ImageMode::rgb;
  int extraChannels = 0;
  std::vector<uint8_t> pixels;
  Resolution resolution;
  std::vector<uint8_t> iccProfile;  // empty: none
  ImageMetadata metadata;
  StorageHints storedAs;
  // The full-depth samples of a 16-bit file, laid out as `pixels` in the document's encodings
  // scaled to 0..65535; empty for 8-bit files. `pixels` then holds their 8-bit view
  // (narrowSample), which is what the filter sharpens; what is saved is the original with the
  // filter's change carried back at full depth (widenSample), so a sample the filter left
  // alone keeps every bit.
  std::vector<uint16_t> deep;

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

// The 8-bit view of a 16-bit sample: round(v / 257).
inline uint8_t narrowSample(uint16_t v) { return uint8_t((unsigned(v) + 128) / 257); }
// The original 16-bit sample plus 257 times the filter's change to its 8-bit view, clamped.
inline uint16_t widenSample(uint16_t original, uint8_t sharpened) {
  const int value = int(original) + 257 * (int(sharpened) - int(narrowSample(original)));
  return uint16_t(value < 0 ? 0 : value > 65535 ? 65535 : value);
}
// Fills `pixels` with the 8-bit view of `deep`.
void narrowDeepSamples(Raster& raster);
// One row of the full-depth result (rowBytes() samples).
void widenRow(const Raster& raster, int y, uint16_t* out);

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
