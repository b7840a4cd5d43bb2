// PNG through libpng. Palette and low-depth gray images are expanded to 8 bits (palette to
// RGB), a tRNS chunk becomes an alpha channel, 16-bit images are refused. pHYs in pixels per
// metre carries the resolution, iCCP the profile. libpng reports errors by longjmp: every
// libpng call here runs inside the setjmp of the function that created its structures, and
// the functions that set the jump point hold only plain data, so a jump skips no destructor.
#include "hostapp/files/codecs.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

struct PngSource {
  const Bytes* bytes;
  size_t pos;
};

struct PngErrors {
  char message[200];
};

void onError(png_structp png, png_const_charp text) {
  auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
  std::snprintf(errors->message, sizeof errors->message, "%s", text);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readData(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->bytes->size() - source->pos) png_error(png, "file truncated");
  std::memcpy(out, source->bytes->data() + source->pos, length);
  source->pos += length;
}

void writeData(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  try {
    out->insert(out->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void flushData(png_structp) {}

// Sets up the transformations to 8-bit gray or RGB, with alpha when the image has any.
void chooseLayout(png_structp png, png_infop info, ImageMode& mode, int& extras) {
  const int type = png_get_color_type(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (trns) png_set_tRNS_to_alpha(png);
  png_set_interlace_handling(png);
  mode = (type & PNG_COLOR_MASK_COLOR) ? ImageMode::rgb : ImageMode::grayscale;
  extras = ((type & PNG_COLOR_MASK_ALPHA) || trns) ? 1 : 0;
}

void readMetadata(png_structp png, png_infop info, Raster& raster) {
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x > 0 && y > 0)
    raster.resolution = {true, ppiFromPixelsPerMetre(x), ppiFromPixelsPerMetre(y)};
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 length = 0;
  if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && length > 0)
    raster.iccProfile.assign(profile, profile + length);
}

struct PngLayout {
  png_uint_32 width, height;
  size_t rowBytes;
  size_t codedRowBytes;  // a row as the file stores it, before the filter byte
  int bitDepth;
  ImageMode mode;
  int extras;
};

// The calls that may longjmp keep to these two functions, which hold only plain data.
bool readHeader(png_structp png, png_infop info, PngLayout& layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  layout.bitDepth = png_get_bit_depth(png, info);
  if (layout.bitDepth > 8) return true;
  layout.codedRowBytes = png_get_rowbytes(png, info);
  chooseLayout(png, info, layout.mode, layout.extras);
  png_read_update_info(png, info);
  layout.width = png_get_image_width(png, info);
  layout.height = png_get_image_height(png, info);
  layout.rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool readRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

FileStatus corrupt(const PngErrors& errors) {
  return FileStatus::runError(std::string("corrupt or truncated PNG: ") + errors.message);
}

// Deflate turns at most 2 bits into one 258-byte match: no PNG's samples outgrow its file more
// than 1032 times.
constexpr uint64_t kDeflateExpansion = 1032;

FileStatus decodeWith(png_structp png, png_infop info, PngErrors& errors, size_t fileBytes,
                      Raster& raster) {
  PngLayout layout{};
  if (!readHeader(png, info, layout)) return corrupt(errors);
  if (layout.bitDepth > 8) return FileStatus::runError(kSixteenBitMessage);
  FileStatus status = checkDimensions(layout.width, layout.height);
  if (status.ok())
    status = checkCodedSize(uint64_t(layout.height) * (layout.codedRowBytes + 1), fileBytes,
                            kDeflateExpansion);
  if (!status.ok()) return status;
  status =
      allocateRaster(raster, layout.width, layout.height, layout.mode, layout.extras);
  if (!status.ok()) return status;
  if (layout.rowBytes != raster.rowBytes()) return FileStatus::runError("unexpected PNG layout");
  std::vector<png_bytep> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y) rows[size_t(y)] = raster.row(y);
  if (!readRows(png, rows.data())) return corrupt(errors);
  readMetadata(png, info, raster);
  return FileStatus::success();
}

}  // namespace

FileStatus decodePng(const Bytes& bytes, Raster& raster) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
    return FileStatus::runError("not a PNG image");
  PngErrors errors{};
  PngSource source{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return FileStatus::runError("out of memory");
  }
  png_set_read_fn(png, &source, readData);
  Raster loaded;
  FileStatus status = decodeWith(png, info, errors, bytes.size(), loaded);
  png_destroy_read_struct(&png, &info, nullptr);
  if (status.ok()) raster = std::move(loaded);
  return status;
}

namespace {

bool writeAll(png_structp png, png_infop info, const Raster& raster, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  const int type = (raster.mode == ImageMode::rgb ? PNG_COLOR_MASK_COLOR : 0) |
                   (raster.extraChannels ? PNG_COLOR_MASK_ALPHA : 0);
  png_set_IHDR(png, info, png_uint_32(raster.width), png_uint_32(raster.height), 8, type,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (raster.resolution.known)
    png_set_pHYs(png, info, pixelsPerMetreFromPpi(raster.resolution.horizontal),
                 pixelsPerMetreFromPpi(raster.resolution.vertical), PNG_RESOLUTION_METER);
  if (!raster.iccProfile.empty())
    png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                 raster.iccProfile.data(), png_uint_32(raster.iccProfile.size()));
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

}  // namespace

FileStatus encodePng(const Raster& raster, Bytes& bytes) {
  PngErrors errors{};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return FileStatus::runError("out of memory");
  }
  Bytes out;
  png_set_write_fn(png, &out, writeData, flushData);
  // An embedded profile libpng finds fault with is still the user's profile: keep it as is.
  png_set_benign_errors(png, 1);
  png_set_option(png, PNG_SKIP_sRGB_CHECK_PROFILE, PNG_OPTION_ON);
  std::vector<png_bytep> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y) rows[size_t(y)] = const_cast<png_bytep>(raster.row(y));
  const bool ok = writeAll(png, info, raster, rows.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) return FileStatus::runError(std::string("cannot encode PNG: ") + errors.message);
  bytes.swap(out);
  return FileStatus::success();
}
