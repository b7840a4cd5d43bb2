// PNG through libpng. Palette and low-depth gray images are expanded to 8 bits (palette to
// RGB), a tRNS chunk becomes an alpha channel; 16-bit images are kept in the raster's deep
// samples and saved back at 16 bits. Gamma, chromaticities, the sRGB intent, text chunks and
// the modification time are kept (the
// EXIF, IPTC and XMP ones belong to the metadata layer, which writes them itself). pHYs in pixels
// per metre carries the resolution, iCCP the profile. libpng reports errors by longjmp: every
// libpng call here runs inside the setjmp of the function that created its structures, and
// the functions that set the jump point hold only plain data, so a jump skips no destructor.
#include "imagefiles/codecs.h"
#include "imagefiles/native/metadata.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

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
  png_textp text = nullptr;
  const int count = png_get_text(png, info, &text, nullptr);
  for (int i = 0; i < count; ++i) {
    const std::string key = text[i].key;
    if (key.rfind("Raw profile type ", 0) == 0 || key == "XML:com.adobe.xmp") continue;
    const bool international = text[i].compression >= PNG_ITXT_COMPRESSION_NONE;
    const size_t length = international ? text[i].itxt_length : text[i].text_length;
    raster.metadata.pngText.push_back({key, std::string(text[i].text, length), international});
  }
  ImageMetadata& m = raster.metadata;
  png_fixed_point gamma = 0;
  if (png_get_gAMA_fixed(png, info, &gamma)) {
    m.pngHasGamma = true;
    m.pngGamma = int(gamma);
  }
  png_fixed_point c[8] = {};
  if (png_get_cHRM_fixed(png, info, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7])) {
    m.pngHasChromaticities = true;
    std::copy(c, c + 8, m.pngChromaticities);
  }
  int intent = 0;
  if (png_get_sRGB(png, info, &intent)) m.pngSrgbIntent = intent;
  png_timep time = nullptr;
  if (png_get_tIME(png, info, &time) && time) {
    const int fields[6] = {time->year, time->month,  time->day,
                           time->hour, time->minute, time->second};
    std::copy(fields, fields + 6, raster.metadata.pngTime);
  }
}

// Each text goes back in the kind of chunk it came from; long Latin-1 text is compressed.
// The chunks point into `metadata`, which must outlive them.
std::vector<png_text> textChunks(const ImageMetadata& metadata) {
  std::vector<png_text> chunks(metadata.pngText.size());
  for (size_t i = 0; i < chunks.size(); ++i) {
    const ImageMetadata::PngText& entry = metadata.pngText[i];
    png_text& chunk = chunks[i];
    std::memset(&chunk, 0, sizeof chunk);
    chunk.key = const_cast<png_charp>(entry.key.c_str());
    chunk.text = const_cast<png_charp>(entry.text.c_str());
    if (entry.international) {
      chunk.compression = PNG_ITXT_COMPRESSION_NONE;
      chunk.itxt_length = entry.text.size();
    } else {
      chunk.compression =
          entry.text.size() > 1024 ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
      chunk.text_length = entry.text.size();
    }
  }
  return chunks;
}

// What the file says besides the pixels, in libpng's forms, made before any libpng call that
// may jump.
struct PngExtras {
  png_textp text;
  int textCount;
  png_time time;
  bool hasTime;
};

PngExtras extrasOf(const ImageMetadata& metadata, std::vector<png_text>& chunks) {
  chunks = textChunks(metadata);
  PngExtras extras{chunks.data(), int(chunks.size()), png_time{}, metadata.pngTime[0] != 0};
  extras.time.year = png_uint_16(metadata.pngTime[0]);
  extras.time.month = png_byte(metadata.pngTime[1]);
  extras.time.day = png_byte(metadata.pngTime[2]);
  extras.time.hour = png_byte(metadata.pngTime[3]);
  extras.time.minute = png_byte(metadata.pngTime[4]);
  extras.time.second = png_byte(metadata.pngTime[5]);
  return extras;
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
  layout.codedRowBytes = png_get_rowbytes(png, info);
  chooseLayout(png, info, layout.mode, layout.extras);
  if (layout.bitDepth == 16) png_set_swap(png);  // PNG stores the high byte first
  png_read_update_info(png, info);
  layout.width = png_get_image_width(png, info);
  layout.height = png_get_image_height(png, info);
  layout.rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);  // text and time may follow the pixels
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
  FileStatus status = checkDimensions(layout.width, layout.height);
  if (status.ok())
    status = checkCodedSize(uint64_t(layout.height) * (layout.codedRowBytes + 1), fileBytes,
                            kDeflateExpansion);
  if (!status.ok()) return status;
  status = allocateRaster(raster, layout.width, layout.height, layout.mode, layout.extras);
  if (!status.ok()) return status;
  const bool deep = layout.bitDepth == 16;
  if (layout.rowBytes != raster.rowBytes() * (deep ? 2 : 1))
    return FileStatus::runError("unexpected PNG layout");
  if (deep) raster.deep.assign(raster.pixels.size(), 0);
  std::vector<png_bytep> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y)
    rows[size_t(y)] = deep
                          ? reinterpret_cast<png_bytep>(&raster.deep[size_t(y) * raster.rowBytes()])
                          : raster.row(y);
  if (!readRows(png, info, rows.data())) return corrupt(errors);
  if (deep) narrowDeepSamples(raster);
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

bool writeAll(png_structp png, png_infop info, const Raster& raster, PngExtras& extras,
              png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  const int type = (raster.mode == ImageMode::rgb ? PNG_COLOR_MASK_COLOR : 0) |
                   (raster.extraChannels ? PNG_COLOR_MASK_ALPHA : 0);
  const bool deep = !raster.deep.empty();
  png_set_IHDR(png, info, png_uint_32(raster.width), png_uint_32(raster.height), deep ? 16 : 8,
               type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (raster.resolution.known)
    png_set_pHYs(png, info, pixelsPerMetreFromPpi(raster.resolution.horizontal),
                 pixelsPerMetreFromPpi(raster.resolution.vertical), PNG_RESOLUTION_METER);
  if (!raster.iccProfile.empty())
    png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, raster.iccProfile.data(),
                 png_uint_32(raster.iccProfile.size()));
  const ImageMetadata& m = raster.metadata;
  if (m.pngHasGamma) png_set_gAMA_fixed(png, info, m.pngGamma);
  if (m.pngHasChromaticities) {
    const int* c = m.pngChromaticities;
    png_set_cHRM_fixed(png, info, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
  }
  // An embedded profile says it all; PNG forbids sRGB beside it.
  if (m.pngSrgbIntent >= 0 && raster.iccProfile.empty()) png_set_sRGB(png, info, m.pngSrgbIntent);
  if (extras.textCount > 0) png_set_text(png, info, extras.text, extras.textCount);
  if (extras.hasTime) png_set_tIME(png, info, &extras.time);
  png_write_info(png, info);
  if (deep) png_set_swap(png);
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
  std::vector<uint16_t> deepRows(raster.deep.empty() ? 0 : raster.pixels.size());
  for (int y = 0; y < raster.height; ++y) {
    if (raster.deep.empty()) {
      rows[size_t(y)] = const_cast<png_bytep>(raster.row(y));
      continue;
    }
    uint16_t* row = &deepRows[size_t(y) * raster.rowBytes()];
    widenRow(raster, y, row);
    rows[size_t(y)] = reinterpret_cast<png_bytep>(row);
  }
  std::vector<png_text> chunks;
  PngExtras extras = extrasOf(raster.metadata, chunks);
  const bool ok = writeAll(png, info, raster, extras, rows.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) return FileStatus::runError(std::string("cannot encode PNG: ") + errors.message);
  bytes.swap(out);
  return FileStatus::success();
}

namespace {

void readFromFile(png_structp png, png_bytep out, png_size_t length) {
  auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
  if (std::fread(out, 1, length, file) != length) png_error(png, "file truncated");
}

uint32_t bigEndian32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// Whether everything but the pixels comes before them: after the first IDAT only IDAT and
// IEND follow. Text or a time after the pixels would reach the description only at the end.
bool nothingAfterPixels(std::FILE* file) {
  uint8_t header[8];
  bool seenPixels = false;
  long at = 8;
  for (;;) {
    if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(header, 1, 8, file) != 8) return false;
    const uint32_t length = bigEndian32(header);
    const bool pixels = std::memcmp(header + 4, "IDAT", 4) == 0;
    if (std::memcmp(header + 4, "IEND", 4) == 0) return seenPixels;
    if (seenPixels && !pixels) return false;
    seenPixels = seenPixels || pixels;
    if (length > 0x7FFFFFFFu) return false;
    at += 12 + long(length);
  }
}

// Reads an 8-bit, non-interlaced PNG from a file row by row, with the whole reader's
// transformations.
class PngRowReader : public ImageRowReader {
 public:
  explicit PngRowReader(std::FILE* file) : file_(file) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors_, onError, onWarning);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
    if (png_) png_set_read_fn(png_, file_, readFromFile);
  }
  ~PngRowReader() override {
    png_destroy_read_struct(&png_, &info_, nullptr);
    std::fclose(file_);
  }

  FileStatus open(bool* streams, std::string* whyNot) {
    *streams = false;
    if (!info_) return FileStatus::runError("out of memory");
    const size_t fileBytes = sizeOf(file_);
    if (!nothingAfterPixels(file_) || std::fseek(file_, 0, SEEK_SET) != 0) {
      *whyNot = "a PNG with chunks after its pixels";
      return FileStatus::success();
    }
    PngLayout layout{};
    if (!readHeader(png_, info_, layout)) return corrupt(errors_);
    if (layout.bitDepth == 16 || png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE) {
      *whyNot = "a 16-bit or interlaced PNG";
      return FileStatus::success();
    }
    FileStatus status = checkDimensions(layout.width, layout.height);
    if (status.ok())
      status = checkCodedSize(uint64_t(layout.height) * (layout.codedRowBytes + 1), fileBytes,
                              kDeflateExpansion);
    if (status.ok())
      status =
          describeRaster(description_, layout.width, layout.height, layout.mode, layout.extras);
    if (!status.ok()) return status;
    if (layout.rowBytes != description_.rowBytes())
      return FileStatus::runError("unexpected PNG layout");
    readMetadata(png_, info_, description_);
    *streams = true;
    return FileStatus::success();
  }

  FileStatus readRows(uint8_t* rows, int count) override {
    if (!readSome(rows, count)) return corrupt(errors_);
    return FileStatus::success();
  }

 private:
  bool readSome(uint8_t* rows, int count) {
    if (setjmp(png_jmpbuf(png_))) return false;
    for (int i = 0; i < count; ++i, ++next_)
      png_read_row(png_, rows + size_t(i) * description_.rowBytes(), nullptr);
    if (next_ == description_.height) png_read_end(png_, info_);
    return true;
  }

  std::FILE* file_;
  PngErrors errors_{};
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int next_ = 0;
};

// Encodes rows as they come with the whole encoder's calls, into the file being written, or,
// when metadata is to be added (Exiv2 rewrites the file), into memory first.
class PngRowWriter : public ImageRowWriter {
 public:
  PngRowWriter(const std::string& path, const Raster& description)
      : path_(path), description_(description) {
    description_.pixels.clear();
    toMemory_ = description_.metadata.hasBlocks();
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors_, onError, onWarning);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
  }
  ~PngRowWriter() override { png_destroy_write_struct(&png_, &info_); }

  FileStatus start() {
    if (!info_) return FileStatus::runError("out of memory");
    if (!toMemory_) {
      FileStatus status = file_.open(path_);
      if (!status.ok()) return status;
    }
    png_set_write_fn(png_, this, &PngRowWriter::write, flushData);
    png_set_benign_errors(png_, 1);
    png_set_option(png_, PNG_SKIP_sRGB_CHECK_PROFILE, PNG_OPTION_ON);
    extras_ = extrasOf(description_.metadata, chunks_);
    if (!writeInfo()) return failure();
    return sinkStatus_;
  }

  FileStatus writeRows(const uint8_t* rows, int count) override {
    if (!writeSome(rows, count)) return failure();
    return sinkStatus_;
  }

  FileStatus finish() override {
    if (!writeEnd()) return failure();
    if (!sinkStatus_.ok()) return sinkStatus_;
    if (!toMemory_) return file_.commit();
    return saveWithMetadata(description_, encoded_, path_);
  }

 private:
  // What writeAll does before its rows.
  bool writeInfo() {
    if (setjmp(png_jmpbuf(png_))) return false;
    const Raster& raster = description_;
    const int type = (raster.mode == ImageMode::rgb ? PNG_COLOR_MASK_COLOR : 0) |
                     (raster.extraChannels ? PNG_COLOR_MASK_ALPHA : 0);
    png_set_IHDR(png_, info_, png_uint_32(raster.width), png_uint_32(raster.height), 8, type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (raster.resolution.known)
      png_set_pHYs(png_, info_, pixelsPerMetreFromPpi(raster.resolution.horizontal),
                   pixelsPerMetreFromPpi(raster.resolution.vertical), PNG_RESOLUTION_METER);
    if (!raster.iccProfile.empty())
      png_set_iCCP(png_, info_, "ICC profile", PNG_COMPRESSION_TYPE_BASE, raster.iccProfile.data(),
                   png_uint_32(raster.iccProfile.size()));
    const ImageMetadata& m = raster.metadata;
    if (m.pngHasGamma) png_set_gAMA_fixed(png_, info_, m.pngGamma);
    if (m.pngHasChromaticities) {
      const int* c = m.pngChromaticities;
      png_set_cHRM_fixed(png_, info_, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    }
    if (m.pngSrgbIntent >= 0 && raster.iccProfile.empty())
      png_set_sRGB(png_, info_, m.pngSrgbIntent);
    if (extras_.textCount > 0) png_set_text(png_, info_, extras_.text, extras_.textCount);
    if (extras_.hasTime) png_set_tIME(png_, info_, &extras_.time);
    png_write_info(png_, info_);
    return true;
  }

  bool writeSome(const uint8_t* rows, int count) {
    if (setjmp(png_jmpbuf(png_))) return false;
    for (int i = 0; i < count; ++i)
      png_write_row(png_, const_cast<png_bytep>(rows + size_t(i) * description_.rowBytes()));
    return true;
  }

  bool writeEnd() {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_end(png_, info_);
    return true;
  }

  static void write(png_structp png, png_bytep data, png_size_t length) {
    auto* self = static_cast<PngRowWriter*>(png_get_io_ptr(png));
    if (!self->sinkStatus_.ok()) return;
    if (self->toMemory_) {
      try {
        self->encoded_.insert(self->encoded_.end(), data, data + length);
      } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
      }
      return;
    }
    self->sinkStatus_ = self->file_.write({data, length});
  }

  FileStatus failure() const {
    return FileStatus::runError(std::string("cannot encode PNG: ") + errors_.message);
  }

  std::string path_;
  Raster description_;
  bool toMemory_ = false;
  PngErrors errors_{};
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  std::vector<png_text> chunks_;
  PngExtras extras_{};
  AtomicFileWriter file_;
  Bytes encoded_;
  FileStatus sinkStatus_;
};

}  // namespace

FileStatus openPngRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                            std::string* whyNot) {
  std::string problem;
  std::FILE* file = openRegularFile(path, problem);
  if (!file) return FileStatus::runError(problem);
  uint8_t signature[8] = {};
  if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0 ||
      std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return FileStatus::runError("not a PNG image");
  }
  auto rows = std::make_unique<PngRowReader>(file);
  bool streams = false;
  FileStatus status = rows->open(&streams, whyNot);
  if (status.ok() && streams) reader = std::move(rows);
  return status;
}

FileStatus openPngRowWriter(const std::string& path, const Raster& description,
                            std::unique_ptr<ImageRowWriter>& writer, std::string* whyNot) {
  if (!description.deep.empty()) {
    *whyNot = "16-bit samples are written whole";
    return FileStatus::success();
  }
  auto rows = std::make_unique<PngRowWriter>(path, description);
  FileStatus status = rows->start();
  if (status.ok()) writer = std::move(rows);
  return status;
}
