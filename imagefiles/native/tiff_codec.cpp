// TIFF through libtiff: 8-bit and 16-bit grayscale (either polarity), RGB, palette (loaded as RGB),
// CMYK (ink amounts in the file, inverted for the document), CIELab (a and b signed in the
// file, offset by 128 in the document) and ICC Lab, strips or tiles, interleaved or planar,
// with extra samples kept as extra channels; 16 bits for grayscale, RGB and CMYK only, kept
// in the raster's deep samples and saved back at 16 bits. Saved with the input's lossless
// compression scheme where libtiff can write it (LZW otherwise, and for JPEG-compressed input,
// which a lossless save should not compress again with losses), the horizontal predictor for
// LZW and Deflate, resolution in pixels per inch and the ICC profile tag.
// A file of several full-size pages is refused: the filter sharpens one picture, and a file
// whose other pages came back untouched, or were dropped, would not be what was asked for.
// Reduced-resolution directories (previews) beside the one page are ignored.
#include "imagefiles/codecs.h"
#include "imagefiles/native/metadata.h"
#include "imagefiles/native/tiff_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

struct TiffLayout {
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
  ImageMode mode = ImageMode::rgb;
  int colorSamples = 1;  // samples per pixel in the file before extras (1 for palette)
};

// What the photometric interpretation makes of the image, or a refusal.
FileStatus interpret(TIFF* tif, TiffLayout& t) {
  uint16_t inkset = INKSET_CMYK;
  switch (t.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
      t.mode = ImageMode::grayscale;
      t.colorSamples = 1;
      break;
    case PHOTOMETRIC_PALETTE:
      t.mode = ImageMode::rgb;
      t.colorSamples = 1;
      break;
    case PHOTOMETRIC_RGB:
      t.mode = ImageMode::rgb;
      t.colorSamples = 3;
      break;
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
      t.mode = ImageMode::lab;
      t.colorSamples = 3;
      break;
    case PHOTOMETRIC_SEPARATED:
      TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkset);
      if (inkset != INKSET_CMYK)
        return FileStatus::runError("unsupported TIFF: inks other than CMYK");
      t.mode = ImageMode::cmyk;
      t.colorSamples = 4;
      break;
    case PHOTOMETRIC_YCBCR: {
      uint16_t compression = COMPRESSION_NONE;
      TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
      if (compression != COMPRESSION_JPEG)
        return FileStatus::runError("unsupported TIFF: YCbCr without JPEG compression");
      TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      t.mode = ImageMode::rgb;
      t.colorSamples = 3;
      break;
    }
    default:
      return FileStatus::runError("unsupported TIFF colour space (photometric " +
                                  std::to_string(t.photometric) + ")");
  }
  if (t.samples < t.colorSamples || t.samples - t.colorSamples > kMaxExtraChannels)
    return FileStatus::runError("unsupported TIFF: " + std::to_string(t.samples) +
                                " samples per pixel for this colour space");
  if (t.photometric == PHOTOMETRIC_PALETTE && t.samples != 1)
    return FileStatus::runError("unsupported TIFF: palette image with extra samples");
  return FileStatus::success();
}

FileStatus readLayout(TIFF* tif, TiffLayout& t) {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &t.width) ||
      !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &t.height))
    return FileStatus::runError("corrupt TIFF: no image size");
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &t.bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &t.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &t.planar);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &t.photometric))
    t.photometric = t.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  if (t.bits != 8 && t.bits != 16)
    return FileStatus::runError("unsupported TIFF: " + std::to_string(t.bits) + " bits per sample");
  FileStatus status = interpret(tif, t);
  if (!status.ok()) return status;
  if (t.bits == 16 && (t.photometric == PHOTOMETRIC_PALETTE || t.mode == ImageMode::lab ||
                       t.photometric == PHOTOMETRIC_YCBCR))
    return FileStatus::runError(std::string("unsupported TIFF: 16-bit ") +
                                (t.mode == ImageMode::lab ? "Lab" : "palette or YCbCr") +
                                " images (16-bit grayscale, RGB and CMYK are read)");
  return checkDimensions(t.width, t.height);
}

// How many times a strip or tile may outgrow its coded bytes under the file's compression:
// deflate 1032 (2 bits for a 258-byte match), LZW under 4096 (one 12-bit code for at most
// 4096 bytes), PackBits 64 (2 bytes for 128), JPEG 2048 (a bit per block, the most
// subsampling), uncompressed 1; formats without such a bound in reach get 65536.
uint64_t maxExpansion(TIFF* tif) {
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  switch (compression) {
    case COMPRESSION_NONE:
      return 1;
    case COMPRESSION_PACKBITS:
      return 64;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return 1032;
    case COMPRESSION_LZW:
      return 4096;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG:
      return 2048;
    default:
      return 65536;
  }
}

// Refuses strips or tiles whose decoded size their coded bytes cannot account for, both each
// block (its buffer) and all together (the image), before either is allocated. Byte counts
// past the end of the file count only as far as the file goes.
FileStatus checkCodedBlocks(TIFF* tif, const TiffLayout& t, uint64_t fileBytes) {
  const bool tiled = TIFFIsTiled(tif);
  const uint32_t blocks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  const tmsize_t blockSize = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
  if (blockSize <= 0 || blocks == 0)
    return FileStatus::runError("corrupt TIFF: bad strip or tile layout");
  const uint64_t expansion = maxExpansion(tif);
  uint64_t total = 0, largest = 0;
  for (uint32_t i = 0; i < blocks; ++i) {
    const uint64_t coded = std::min<uint64_t>(TIFFGetStrileByteCount(tif, i), fileBytes);
    largest = std::max(largest, coded);
    total = std::min(total + coded, fileBytes * 2);
  }
  // A block of up to 64 KiB is always allowed: small images often sit in one larger tile.
  FileStatus status = checkCodedSize(uint64_t(blockSize), largest, expansion, 1 << 16);
  if (status.ok())
    status = checkCodedSize(uint64_t(t.width) * t.height * t.samples, total, expansion);
  return status;
}

// Copies one decoded strip or tile (`columns` wide, `rows` high, holding one plane or all
// samples) into the interleaved image `out` at (x, y), clipped to the image. Samples are
// bits / 8 bytes each, in the machine's order (libtiff swaps them).
void placeBlock(const TiffLayout& t, const uint8_t* block, uint32_t columns, uint32_t rows,
                uint32_t x, uint32_t y, int plane, uint8_t* out) {
  const bool planar = t.planar == PLANARCONFIG_SEPARATE;
  const size_t sampleBytes = t.bits / 8;
  const size_t spp = t.samples, blockPixel = (planar ? 1 : spp) * sampleBytes;
  const uint32_t w = std::min(columns, t.width - x), h = std::min(rows, t.height - y);
  for (uint32_t r = 0; r < h; ++r) {
    const uint8_t* src = block + size_t(r) * columns * blockPixel;
    uint8_t* dst = out + (size_t(y + r) * t.width + x) * spp * sampleBytes;
    if (!planar) {
      std::memcpy(dst, src, size_t(w) * spp * sampleBytes);
      continue;
    }
    for (uint32_t c = 0; c < w; ++c)
      std::memcpy(dst + (c * spp + size_t(plane)) * sampleBytes, src + c * sampleBytes,
                  sampleBytes);
  }
}

// Reads every strip or tile into `out`, `samples` interleaved samples per pixel.
FileStatus readSamples(TIFF* tif, const TiffLayout& t, uint8_t* out, TiffStream& stream) {
  const bool tiled = TIFFIsTiled(tif);
  const uint32_t blocks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  const tmsize_t blockSize = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
  uint32_t columns = t.width, rows = 0;
  if (tiled) {
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &columns);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
    rows = std::min(rows, t.height);
  }
  const int planes = t.planar == PLANARCONFIG_SEPARATE ? t.samples : 1;
  const uint64_t perPlane = blocks / uint64_t(planes);
  if (blockSize <= 0 || columns == 0 || rows == 0 ||
      uint64_t(blockSize) < uint64_t(columns) * rows * (planes > 1 ? 1 : t.samples) * (t.bits / 8))
    return FileStatus::runError("corrupt TIFF: bad strip or tile layout");
  const uint64_t across = (t.width + uint64_t(columns) - 1) / columns;
  const uint64_t down = (t.height + uint64_t(rows) - 1) / rows;
  if (perPlane * uint64_t(planes) != blocks || perPlane != (tiled ? across : 1) * down)
    return FileStatus::runError("corrupt TIFF: strips or tiles missing");
  std::vector<uint8_t> block(static_cast<size_t>(blockSize));
  for (uint32_t i = 0; i < blocks; ++i) {
    const tmsize_t got = tiled ? TIFFReadEncodedTile(tif, i, block.data(), blockSize)
                               : TIFFReadEncodedStrip(tif, i, block.data(), blockSize);
    if (got < 0) return FileStatus::runError("corrupt or truncated TIFF: " + stream.error);
    const uint64_t index = i % perPlane;
    const uint64_t x = tiled ? (index % across) * columns : 0;
    const uint64_t y = (tiled ? index / across : index) * rows;
    if (x < t.width && y < t.height)
      placeBlock(t, block.data(), columns, rows, uint32_t(x), uint32_t(y), int(i / perPlane), out);
  }
  return FileStatus::success();
}

// Turns the file's samples into the document's encodings, in place.
void toDocument(const TiffLayout& t, Raster& raster) {
  const size_t channels = size_t(raster.channels());
  for (size_t i = 0; i < raster.pixels.size(); i += channels) {
    uint8_t* p = &raster.pixels[i];
    if (t.photometric == PHOTOMETRIC_MINISWHITE) p[0] = uint8_t(255 - p[0]);
    if (t.photometric == PHOTOMETRIC_SEPARATED)
      for (int c = 0; c < 4; ++c) p[c] = uint8_t(255 - p[c]);
    if (t.photometric == PHOTOMETRIC_CIELAB) {
      p[1] ^= 0x80;
      p[2] ^= 0x80;
    }
  }
}

// The same for 16-bit samples (grayscale, RGB and CMYK only), then their 8-bit view.
void deepToDocument(const TiffLayout& t, Raster& raster) {
  const size_t channels = size_t(raster.channels());
  for (size_t i = 0; i < raster.deep.size(); i += channels) {
    uint16_t* p = &raster.deep[i];
    if (t.photometric == PHOTOMETRIC_MINISWHITE) p[0] = uint16_t(65535 - p[0]);
    if (t.photometric == PHOTOMETRIC_SEPARATED)
      for (int c = 0; c < 4; ++c) p[c] = uint16_t(65535 - p[c]);
  }
  narrowDeepSamples(raster);
}

FileStatus expandPalette(TIFF* tif, const std::vector<uint8_t>& indices, Raster& raster) {
  uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
    return FileStatus::runError("corrupt TIFF: palette image without a colour map");
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t v = indices[i];
    raster.pixels[3 * i] = uint8_t(red[v] >> 8);
    raster.pixels[3 * i + 1] = uint8_t(green[v] >> 8);
    raster.pixels[3 * i + 2] = uint8_t(blue[v] >> 8);
  }
  return FileStatus::success();
}

void readMetadata(TIFF* tif, Raster& raster) {
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  const bool hasX = TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) && x > 0 && std::isfinite(x);
  if (!TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) || !(y > 0) || !std::isfinite(y)) y = x;
  // Hundredths of a ppi are as fine as the file's own rationals usually are; the rounding
  // undoes float noise so that 300 ppi reads back as 300.
  const double scale = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
  if (hasX && (unit == RESUNIT_INCH || unit == RESUNIT_CENTIMETER))
    raster.resolution = {true, std::round(x * scale * 100.0) / 100.0,
                         std::round(y * scale * 100.0) / 100.0};
  uint32_t length = 0;
  const uint8_t* profile = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &length, &profile) && profile && length > 0)
    raster.iccProfile.assign(profile, profile + length);
}

// Pages after the first that are full images: not reduced-resolution previews, nor
// directories that hold no image of their own (an EXIF thumbnail's, which libtiff cannot read
// as an image). Complaints about those directories are not the picture's.
int extraPages(TIFF* tif, TiffStream& stream) {
  const std::string before = stream.error;
  int pages = 0;
  const tdir_t directories = TIFFNumberOfDirectories(tif);
  for (tdir_t directory = 1; directory < directories; ++directory) {
    if (!TIFFSetDirectory(tif, directory)) continue;
    uint32_t kind = 0, width = 0, height = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SUBFILETYPE, &kind);
    if (!(kind & FILETYPE_REDUCEDIMAGE) && TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) &&
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height))
      ++pages;
  }
  TIFFSetDirectory(tif, 0);
  stream.error = before;
  return pages;
}

FileStatus decodeWith(TIFF* tif, TiffStream& stream, uint64_t fileBytes, Raster& raster) {
  if (const int more = extraPages(tif, stream))
    return FileStatus::runError("a TIFF of " + std::to_string(more + 1) +
                                " pages: the filter sharpens one picture; split the pages "
                                "first (tiffsplit) and sharpen each");
  TiffLayout t;
  FileStatus status = readLayout(tif, t);
  if (status.ok()) status = checkCodedBlocks(tif, t, fileBytes);
  if (!status.ok()) return status;
  status = allocateRaster(raster, t.width, t.height, t.mode, t.samples - t.colorSamples);
  if (!status.ok()) return status;
  if (t.bits == 16) {
    try {
      raster.deep.assign(raster.pixels.size(), 0);
    } catch (const std::bad_alloc&) {
      return FileStatus::runError("out of memory for a 16-bit image of this size");
    }
    status = readSamples(tif, t, reinterpret_cast<uint8_t*>(raster.deep.data()), stream);
    if (status.ok()) deepToDocument(t, raster);
  } else if (t.photometric != PHOTOMETRIC_PALETTE) {
    status = readSamples(tif, t, raster.pixels.data(), stream);
    if (status.ok()) toDocument(t, raster);
  } else {
    std::vector<uint8_t> indices(size_t(t.width) * t.height);
    status = readSamples(tif, t, indices.data(), stream);
    if (status.ok()) status = expandPalette(tif, indices, raster);
  }
  if (status.ok()) readMetadata(tif, raster);
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  raster.storedAs.tiffCompression = compression;
  if (status.ok() && !stream.error.empty())
    return FileStatus::runError("corrupt or truncated TIFF: " + stream.error);
  return status;
}

}  // namespace

FileStatus decodeTiff(const Bytes& bytes, Raster& raster) {
  TiffStream stream;
  stream.input = &bytes;
  TIFF* tif = openTiff(stream, "r");
  if (!tif) return FileStatus::runError("corrupt or unreadable TIFF: " + stream.error);
  Raster loaded;
  const FileStatus status = decodeWith(tif, stream, bytes.size(), loaded);
  TIFFClose(tif);
  if (status.ok()) raster = std::move(loaded);
  return status;
}

namespace {

uint16_t photometricOf(ImageMode mode) {
  switch (mode) {
    case ImageMode::grayscale:
      return PHOTOMETRIC_MINISBLACK;
    case ImageMode::cmyk:
      return PHOTOMETRIC_SEPARATED;
    case ImageMode::lab:
      return PHOTOMETRIC_CIELAB;
    case ImageMode::rgb:
      break;
  }
  return PHOTOMETRIC_RGB;
}

// The lossless scheme to save with: the requested one where libtiff has it, LZW otherwise.
uint16_t compressionFor(int requested) {
  switch (requested) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_LZMA:
    case COMPRESSION_ZSTD:
      if (TIFFIsCODECConfigured(uint16_t(requested))) return uint16_t(requested);
      break;
    default:
      break;
  }
  return COMPRESSION_LZW;
}

void setFields(TIFF* tif, const Raster& raster, const WriteOptions& options) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(raster.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(raster.height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, raster.deep.empty() ? 8 : 16);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, raster.channels());
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometricOf(raster.mode));
  if (raster.mode == ImageMode::cmyk) TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
  if (raster.extraChannels > 0) {
    uint16_t kinds[kMaxExtraChannels] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(raster.extraChannels), kinds);
  }
  const uint16_t compression = compressionFor(options.tiffCompression);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if (compression != COMPRESSION_NONE && compression != COMPRESSION_PACKBITS)
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  if (raster.resolution.known) {
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, raster.resolution.horizontal);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, raster.resolution.vertical);
  }
  if (!raster.iccProfile.empty())
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, uint32_t(raster.iccProfile.size()),
                 raster.iccProfile.data());
}

// One row in the file's encodings: CMYK as ink amounts, Lab with signed a and b.
void toFile(const Raster& raster, int y, uint8_t* out) {
  std::memcpy(out, raster.row(y), raster.rowBytes());
  const size_t channels = size_t(raster.channels());
  for (size_t i = 0; i < raster.rowBytes(); i += channels) {
    if (raster.mode == ImageMode::cmyk)
      for (int c = 0; c < 4; ++c) out[i + c] = uint8_t(255 - out[i + c]);
    if (raster.mode == ImageMode::lab) {
      out[i + 1] ^= 0x80;
      out[i + 2] ^= 0x80;
    }
  }
}

bool writeDeepRows(TIFF* tif, const Raster& raster) {
  std::vector<uint16_t> row(raster.rowBytes());
  const size_t channels = size_t(raster.channels());
  for (int y = 0; y < raster.height; ++y) {
    widenRow(raster, y, row.data());
    if (raster.mode == ImageMode::cmyk)
      for (size_t i = 0; i < row.size(); i += channels)
        for (int c = 0; c < 4; ++c) row[i + c] = uint16_t(65535 - row[i + c]);
    if (TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) < 0) return false;
  }
  return TIFFWriteDirectory(tif) != 0;
}

// The 8-bit rows, without the directory.
bool writeScanlines(TIFF* tif, const Raster& raster) {
  std::vector<uint8_t> row(raster.rowBytes());
  for (int y = 0; y < raster.height; ++y) {
    toFile(raster, y, row.data());
    if (TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) < 0) return false;
  }
  return true;
}

bool writeRows(TIFF* tif, const Raster& raster) {
  if (!raster.deep.empty()) return writeDeepRows(tif, raster);
  return writeScanlines(tif, raster) && TIFFWriteDirectory(tif) != 0;
}

// A TIFF that carries metadata, written as its rows come. Exiv2 embeds metadata by rewriting a
// whole TIFF, pixels and all, so it is given a stand-in instead: the picture's fields with a
// placeholder for each strip. What it writes puts the strips last, so the file is its bytes up
// to the first strip (the head), then the real strips as libtiff encodes them, and at the end the
// head's strip offsets and byte counts are set to theirs. A stand-in that comes back laid out
// otherwise (anything after the strips, offsets narrower than 32 bits, strip fields of another
// type or count) gives no head, and the picture is encoded in memory and rewritten whole.
struct SplicedHead {
  Bytes bytes;             // the file up to its first strip
  uint64_t offsetsAt = 0;  // where the strip offsets lie in it
  uint64_t countsAt = 0;   // and the strip byte counts
  int offsetBytes = 4;     // the width of each: 2 or 4 bytes a number
  int countBytes = 4;
  uint32_t strips = 0;
  bool bigEndian = false;
};

// libtiff's own header: the part of its file a spliced TIFF leaves out.
constexpr uint64_t kTiffHeaderBytes = 8;
// The placeholders start past what a 16-bit offset reaches, so that libtiff, and after it
// Exiv2, keep the offsets as 32-bit numbers, as the real strips need. The byte counts take the
// width libtiff gives them for the real strips.
constexpr uint64_t kPlaceholderStart = 65536;
constexpr uint32_t kPlaceholderBytes = 2;

struct TiffReader {
  const Bytes& bytes;
  bool big;
  bool fits(uint64_t at, uint64_t length) const {
    return at <= bytes.size() && length <= bytes.size() - at;
  }
  uint32_t number(uint64_t at, int length) const {
    uint32_t value = 0;
    for (int i = 0; i < length; ++i) {
      const uint32_t byte = bytes[size_t(at) + size_t(big ? i : length - 1 - i)];
      value = (value << 8) | byte;
    }
    return value;
  }
};

// Where the values of IFD0's entry `tag` lie, for an entry of `count` 16- or 32-bit numbers
// (their width in `width`); 0 when it is missing or of another type or count.
uint64_t arrayOf(const TiffReader& file, uint64_t directory, uint32_t tag, uint32_t count,
                 int* width) {
  if (!file.fits(directory, 2)) return 0;
  const uint32_t entries = file.number(directory, 2);
  if (!file.fits(directory + 2, uint64_t(entries) * 12)) return 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t entry = directory + 2 + uint64_t(i) * 12;
    if (file.number(entry, 2) != tag) continue;
    const uint32_t type = file.number(entry + 2, 2);
    if ((type != TIFF_LONG && type != TIFF_SHORT) || file.number(entry + 4, 4) != count) return 0;
    *width = type == TIFF_LONG ? 4 : 2;
    const uint64_t bytes = uint64_t(count) * uint64_t(*width);
    const uint64_t values = bytes <= 4 ? entry + 8 : file.number(entry + 8, 4);
    return file.fits(values, bytes) ? values : 0;
  }
  return 0;
}

// Builds the stand-in, has Exiv2 embed the metadata and keeps the head of what it wrote; false
// when the layout is not one to splice into.
bool makeSplicedHead(const Raster& description, const WriteOptions& options, SplicedHead& head) {
  Bytes standIn(kPlaceholderStart, 0);
  {
    TiffStream stream;
    stream.output = &standIn;
    TIFF* tif = openTiff(stream, "w");
    if (!tif) return false;
    setFields(tif, description, options);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    bool ok = strips >= 1;
    uint8_t placeholder[kPlaceholderBytes] = {};
    for (uint32_t i = 0; ok && i < strips; ++i)
      ok = TIFFWriteRawStrip(tif, i, placeholder, tmsize_t(kPlaceholderBytes)) >= 0;
    ok = ok && TIFFWriteDirectory(tif) != 0;
    TIFFClose(tif);
    if (!ok || !stream.error.empty()) return false;
    head.strips = strips;
  }
  if (!writeFileMetadata(description, standIn).ok()) return false;
  if (standIn.size() < kTiffHeaderBytes || (standIn[0] != 'I' && standIn[0] != 'M')) return false;
  const TiffReader file{standIn, standIn[0] == 'M'};
  if (file.number(2, 2) != 42) return false;
  const uint64_t directory = file.number(4, 4);
  head.offsetsAt = arrayOf(file, directory, TIFFTAG_STRIPOFFSETS, head.strips, &head.offsetBytes);
  head.countsAt = arrayOf(file, directory, TIFFTAG_STRIPBYTECOUNTS, head.strips, &head.countBytes);
  if (head.offsetsAt == 0 || head.countsAt == 0 || head.offsetBytes != 4) return false;
  // The placeholders must be the file's last bytes, in order, with at most a byte of padding
  // after each: then nothing Exiv2 wrote lies past the first of them.
  const uint64_t first = file.number(head.offsetsAt, 4);
  uint64_t end = first;
  for (uint32_t i = 0; i < head.strips; ++i) {
    const uint64_t offset = file.number(head.offsetsAt + 4 * uint64_t(i), 4);
    const uint64_t count =
        file.number(head.countsAt + uint64_t(head.countBytes) * i, head.countBytes);
    if (count != kPlaceholderBytes || offset < end || offset > end + 1) return false;
    end = offset + count;
  }
  if (end > standIn.size() || standIn.size() - end > 1) return false;
  if (head.offsetsAt + 4 * uint64_t(head.strips) > first ||
      head.countsAt + uint64_t(head.countBytes) * head.strips > first)
    return false;
  head.bigEndian = file.big;
  standIn.resize(size_t(first));
  head.bytes.swap(standIn);
  return true;
}

// Sets the head's strip fields to the strips libtiff wrote through `stream` (each offset moved
// as far as the stream moved that strip), with `patch(at, bytes)` writing into the head at the
// start of the file; false when a value does not fit its field.
template <typename Patch>
bool patchStripFields(TIFF* tif, const SplicedHead& head, const TiffStream& stream,
                      const Patch& patch) {
  uint64_t* offsets = nullptr;
  uint64_t* counts = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets) ||
      !TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) || !offsets || !counts ||
      TIFFNumberOfStrips(tif) != head.strips || stream.stripShifts.size() != head.strips)
    return false;
  std::vector<uint8_t> offsetBytes(size_t(head.strips) * size_t(head.offsetBytes));
  std::vector<uint8_t> countBytes(size_t(head.strips) * size_t(head.countBytes));
  const auto put = [&](uint8_t* at, int width, uint64_t value) {
    if (value >> (8 * width) != 0) return false;
    for (int i = 0; i < width; ++i)
      at[head.bigEndian ? width - 1 - i : i] = uint8_t(value >> (8 * i));
    return true;
  };
  for (uint32_t i = 0; i < head.strips; ++i) {
    if (!put(&offsetBytes[size_t(i) * size_t(head.offsetBytes)], head.offsetBytes,
             offsets[i] + stream.stripShifts[i]) ||
        !put(&countBytes[size_t(i) * size_t(head.countBytes)], head.countBytes, counts[i]))
      return false;
  }
  return patch(head.offsetsAt, offsetBytes) && patch(head.countsAt, countBytes);
}

// Sets `stream`, whose output or writer already holds the head, to take libtiff's strips after
// it; call before openTiff.
void startSplice(TiffStream& stream, const SplicedHead& head) {
  stream.keepFrom = kTiffHeaderBytes;
  stream.shift = head.bytes.size() - kTiffHeaderBytes;
}

// After the last row: the last strip out, padded, the head's strip fields patched, and libtiff's
// own directory, which TIFFClose writes next, left out.
template <typename Patch>
bool finishSplice(TIFF* tif, TiffStream& stream, const SplicedHead& head, const Patch& patch) {
  const bool ok = TIFFFlushData(tif) != 0 && stream.error.empty() && finishPadding(stream) &&
                  patchStripFields(tif, head, stream, patch);
  stream.dropAll = true;
  return ok;
}

// Encodes `raster` spliced into `head`, in memory.
bool encodeSpliced(const Raster& raster, const WriteOptions& options, const SplicedHead& head,
                   Bytes& out) {
  Bytes file = head.bytes;
  TiffStream stream;
  stream.output = &file;
  startSplice(stream, head);
  TIFF* tif = openTiff(stream, "w");
  if (!tif) return false;
  stream.padTif = tif;
  setFields(tif, raster, options);
  const bool ok = writeScanlines(tif, raster) &&
                  finishSplice(tif, stream, head, [&](uint64_t at, const std::vector<uint8_t>& v) {
                    std::memcpy(file.data() + at, v.data(), v.size());
                    return true;
                  });
  TIFFClose(tif);
  if (!ok) return false;
  out.swap(file);
  return true;
}

}  // namespace

FileStatus encodeTiff(const Raster& raster, const WriteOptions& options, Bytes& bytes,
                      bool* metadataEmbedded) {
  if (metadataEmbedded) *metadataEmbedded = false;
  if (metadataEmbedded && raster.metadata.hasBlocks() && raster.deep.empty()) {
    SplicedHead head;
    if (makeSplicedHead(raster, options, head) && encodeSpliced(raster, options, head, bytes)) {
      *metadataEmbedded = true;
      return FileStatus::success();
    }
  }
  Bytes out;
  TiffStream stream;
  stream.output = &out;
  TIFF* tif = openTiff(stream, "w");
  if (!tif) return FileStatus::runError("cannot encode TIFF: " + stream.error);
  setFields(tif, raster, options);
  const bool ok = writeRows(tif, raster);
  TIFFClose(tif);
  if (!ok || !stream.error.empty())
    return FileStatus::runError("cannot encode TIFF: " + stream.error);
  bytes.swap(out);
  return FileStatus::success();
}

namespace {

// Reads 8-bit interleaved strips or tiles one band at a time (a strip's rows, or a row of
// tiles), converting each band to the document's encodings as the whole reader does.
class TiffRowReader : public ImageRowReader {
 public:
  explicit TiffRowReader(std::FILE* file) : file_(file) { stream_.file = file; }
  ~TiffRowReader() override {
    if (tif_) TIFFClose(tif_);
    std::fclose(file_);
  }

  // Opens the file; `streams` false for what is read whole: several pages (refused there),
  // 16-bit samples, palette images, planes stored apart, and anything the whole reader refuses.
  FileStatus open(bool* streams, std::string* whyNot) {
    *streams = false;
    stream_.fileSize = sizeOf(file_);
    tif_ = openTiff(stream_, "r");
    if (!tif_ || extraPages(tif_, stream_) > 0 || !readLayout(tif_, layout_).ok() ||
        !checkCodedBlocks(tif_, layout_, stream_.fileSize).ok()) {
      *whyNot = "a TIFF read whole";
      return FileStatus::success();
    }
    if (layout_.bits != 8 || layout_.photometric == PHOTOMETRIC_PALETTE ||
        layout_.planar != PLANARCONFIG_CONTIG) {
      *whyNot = "a TIFF of 16-bit samples, a palette or separate planes";
      return FileStatus::success();
    }
    tiled_ = TIFFIsTiled(tif_);
    blockSize_ = tiled_ ? TIFFTileSize(tif_) : TIFFStripSize(tif_);
    columns_ = layout_.width;
    if (tiled_) {
      TIFFGetField(tif_, TIFFTAG_TILEWIDTH, &columns_);
      TIFFGetField(tif_, TIFFTAG_TILELENGTH, &bandRows_);
    } else {
      TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &bandRows_);
      bandRows_ = std::min(bandRows_, layout_.height);
    }
    const uint32_t blocks = tiled_ ? TIFFNumberOfTiles(tif_) : TIFFNumberOfStrips(tif_);
    across_ = tiled_ && columns_ > 0 ? (layout_.width + columns_ - 1) / columns_ : 1;
    const uint64_t down =
        bandRows_ > 0 ? (layout_.height + uint64_t(bandRows_) - 1) / bandRows_ : 0;
    if (blockSize_ <= 0 || columns_ == 0 || bandRows_ == 0 ||
        uint64_t(blockSize_) < uint64_t(columns_) * bandRows_ * layout_.samples ||
        uint64_t(blocks) != across_ * down) {
      *whyNot = "a TIFF read whole";
      return FileStatus::success();
    }
    FileStatus status = describeRaster(description_, layout_.width, layout_.height, layout_.mode,
                                       layout_.samples - layout_.colorSamples);
    if (!status.ok()) return status;
    readMetadata(tif_, description_);
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif_, TIFFTAG_COMPRESSION, &compression);
    description_.storedAs.tiffCompression = compression;
    if (!stream_.error.empty()) {
      *whyNot = "a TIFF read whole";
      return FileStatus::success();
    }
    band_.resize(size_t(bandRows_) * description_.rowBytes());
    block_.resize(size_t(blockSize_));
    *streams = true;
    return FileStatus::success();
  }

  FileStatus readRows(uint8_t* rows, int count) override {
    const size_t rowBytes = description_.rowBytes();
    while (count > 0) {
      if (used_ == held_) {
        FileStatus status = readBand();
        if (!status.ok()) return status;
      }
      const int take = std::min<int>(count, int(held_ - used_));
      std::memcpy(rows, band_.data() + size_t(used_) * rowBytes, size_t(take) * rowBytes);
      rows += size_t(take) * rowBytes;
      used_ += uint32_t(take);
      count -= take;
    }
    return FileStatus::success();
  }

 private:
  FileStatus readBand() {
    const uint32_t y = nextBand_ * bandRows_;
    if (y >= layout_.height) return FileStatus::runError("corrupt TIFF: read past the last row");
    held_ = std::min(bandRows_, layout_.height - y);
    for (uint32_t i = 0; i < across_; ++i) {
      const uint32_t index = nextBand_ * across_ + i;
      const tmsize_t got = tiled_ ? TIFFReadEncodedTile(tif_, index, block_.data(), blockSize_)
                                  : TIFFReadEncodedStrip(tif_, index, block_.data(), blockSize_);
      if (got < 0 || !stream_.error.empty())
        return FileStatus::runError("corrupt or truncated TIFF: " + stream_.error);
      // The band is a picture of held_ rows whose first row is the band's.
      TiffLayout band = layout_;
      band.height = held_;
      placeBlock(band, block_.data(), columns_, bandRows_, i * columns_, 0, 0, band_.data());
    }
    Raster converted;
    converted.width = description_.width;
    converted.height = int(held_);
    converted.mode = description_.mode;
    converted.extraChannels = description_.extraChannels;
    converted.pixels.swap(band_);
    converted.pixels.resize(size_t(held_) * description_.rowBytes());
    toDocument(layout_, converted);
    band_.swap(converted.pixels);
    band_.resize(size_t(bandRows_) * description_.rowBytes());
    ++nextBand_;
    used_ = 0;
    return FileStatus::success();
  }

  std::FILE* file_;
  TiffStream stream_;
  TIFF* tif_ = nullptr;
  TiffLayout layout_;
  bool tiled_ = false;
  tmsize_t blockSize_ = 0;
  uint32_t columns_ = 0;
  uint32_t bandRows_ = 0;
  uint32_t across_ = 1;
  uint32_t nextBand_ = 0;
  uint32_t held_ = 0;
  uint32_t used_ = 0;
  std::vector<uint8_t> band_;
  std::vector<uint8_t> block_;
};

// Writes strips as the rows come, into the file being written, with the same calls as the
// whole-picture encoder and so the same bytes. A picture that carries metadata is spliced into
// the head Exiv2 makes of a stand-in (makeSplicedHead); when no head can be made, it is encoded
// into memory (its coded size, not its pixels) and Exiv2 rewrites it whole, as the whole-picture
// encoder then does too.
class TiffRowWriter : public ImageRowWriter {
 public:
  TiffRowWriter(const std::string& path, const Raster& description)
      : path_(path), description_(description) {
    description_.pixels.clear();
  }
  ~TiffRowWriter() override {
    if (tif_) TIFFClose(tif_);
  }

  FileStatus start(const WriteOptions& options) {
    const bool metadata = description_.metadata.hasBlocks();
    spliced_ = metadata && makeSplicedHead(description_, options, head_);
    toMemory_ = metadata && !spliced_;
    if (toMemory_) {
      stream_.output = &encoded_;
      // Room for the whole file at once (pixels, profile, the directory's other fields) spares
      // the copies of a buffer that grows by doubling: one step past the room copies the whole
      // picture. Pages never written are never touched, so a compressed picture costs no more
      // for it. Without the room the buffer simply grows.
      const size_t fields = description_.iccProfile.size() + (64 << 10);
      try {
        encoded_.reserve(size_t(description_.height) * description_.rowBytes() + fields);
      } catch (const std::bad_alloc&) {
      }
    } else {
      FileStatus status = file_.open(path_);
      if (status.ok() && spliced_) status = file_.write({head_.bytes.data(), head_.bytes.size()});
      if (!status.ok()) return status;
      stream_.writer = &file_;
      if (spliced_) {
        startSplice(stream_, head_);
        Bytes().swap(head_.bytes);
      }
    }
    tif_ = openTiff(stream_, "w");
    if (!tif_) return FileStatus::runError("cannot encode TIFF: " + stream_.error);
    if (spliced_) stream_.padTif = tif_;
    setFields(tif_, description_, options);
    row_.resize(description_.rowBytes());
    return FileStatus::success();
  }

  FileStatus writeRows(const uint8_t* rows, int count) override {
    Raster one;
    one.width = description_.width;
    one.height = 1;
    one.mode = description_.mode;
    one.extraChannels = description_.extraChannels;
    for (int i = 0; i < count; ++i, ++next_) {
      one.pixels.assign(rows + size_t(i) * row_.size(), rows + size_t(i + 1) * row_.size());
      toFile(one, 0, row_.data());
      if (TIFFWriteScanline(tif_, row_.data(), uint32_t(next_), 0) < 0) return failure();
    }
    return FileStatus::success();
  }

  FileStatus finish() override {
    const bool ok =
        spliced_ ? finishSplice(tif_, stream_, head_,
                                [&](uint64_t at, const std::vector<uint8_t>& bytes) {
                                  return file_.writeAt(at, {bytes.data(), bytes.size()}).ok();
                                })
                 : TIFFWriteDirectory(tif_) != 0;
    TIFFClose(tif_);
    tif_ = nullptr;
    if (!ok || !stream_.error.empty()) return failure();
    if (!toMemory_) return file_.commit();
    return saveWithMetadata(description_, encoded_, path_);
  }

 private:
  FileStatus failure() const {
    return FileStatus::runError("cannot encode TIFF: " + stream_.error);
  }

  std::string path_;
  Raster description_;
  bool spliced_ = false;
  SplicedHead head_;
  bool toMemory_ = false;
  AtomicFileWriter file_;
  Bytes encoded_;
  TiffStream stream_;
  TIFF* tif_ = nullptr;
  std::vector<uint8_t> row_;
  int next_ = 0;
};

}  // namespace

FileStatus openTiffRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                             std::string* whyNot) {
  std::string problem;
  std::FILE* file = openRegularFile(path, problem);
  if (!file) return FileStatus::runError(problem);
  auto rows = std::make_unique<TiffRowReader>(file);
  bool streams = false;
  FileStatus status = rows->open(&streams, whyNot);
  if (status.ok() && streams) reader = std::move(rows);
  return status;
}

FileStatus openTiffRowWriter(const std::string& path, const Raster& description,
                             const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer,
                             std::string* whyNot) {
  if (!description.deep.empty()) {
    *whyNot = "16-bit samples are written whole";
    return FileStatus::success();
  }
  auto rows = std::make_unique<TiffRowWriter>(path, description);
  FileStatus status = rows->start(options);
  if (status.ok()) writer = std::move(rows);
  return status;
}
