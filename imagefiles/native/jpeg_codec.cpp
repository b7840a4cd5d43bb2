// JPEG through libjpeg: grayscale, RGB (YCbCr) and CMYK (YCCK) images. CMYK files with an
// Adobe marker store inverted samples, which is already the document's form; CMYK without
// the marker stores ink amounts and is inverted on the way in. We write CMYK the Adobe way.
// Resolution travels in the JFIF density, the profile in APP2 markers.
// A file's quality is estimated as peers do: the libjpeg quality whose scaled standard
// luminance table is nearest the file's own; its chroma subsampling is read from the sampling
// factors. Both are saved back unless the caller says otherwise.
// libjpeg reports errors by longjmp. Its warnings of lost data (premature end of data,
// corrupt entropy data) would otherwise turn a damaged file into a quietly gray one, so
// they are errors here.
// The functions that set the jump point hold only plain data, so a jump skips no destructor.
#include "imagefiles/codecs.h"
#include "imagefiles/native/metadata.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct JpegErrors {
  jpeg_error_mgr manager;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  cinfo->err->format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings that mean pixels were lost; the others (extraneous bytes, a damaged profile
// chunk, an unknown JFIF version) leave the image intact.
void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
      onError(cinfo);
      break;
    default:
      break;
  }
}

void installErrors(JpegErrors& errors) {
  jpeg_std_error(&errors.manager);
  errors.manager.error_exit = onError;
  errors.manager.emit_message = onMessage;
  errors.message[0] = 0;
}

// The luminance quantisation table of the JPEG standard (ITU T.81 annex K), in natural order,
// which libjpeg scales for its quality settings.
constexpr unsigned kStandardLuminance[DCTSIZE2] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// The quality 1..100 whose table is nearest `table`; 0 without a table.
int estimateQuality(const JQUANT_TBL* table) {
  if (table == nullptr) return 0;
  int best = 0;
  long bestDistance = 0;
  for (int quality = 1; quality <= 100; ++quality) {
    const long scale = jpeg_quality_scaling(quality);
    long distance = 0;
    for (int i = 0; i < DCTSIZE2; ++i) {
      const long scaled =
          std::min(255L, std::max(1L, (long(kStandardLuminance[i]) * scale + 50) / 100));
      distance += std::labs(scaled - long(table->quantval[i]));
    }
    if (best == 0 || distance < bestDistance) {
      best = quality;
      bestDistance = distance;
    }
  }
  return best;
}

// 444, 422 or 420 from the first component's sampling factors against the others'; 0 for one
// component or a layout none of those names.
int subsamplingOf(const jpeg_decompress_struct& cinfo) {
  if (cinfo.num_components < 3) return 0;
  const jpeg_component_info& luma = cinfo.comp_info[0];
  for (int c = 1; c < cinfo.num_components; ++c)
    if (cinfo.comp_info[c].h_samp_factor != 1 || cinfo.comp_info[c].v_samp_factor != 1) return 0;
  if (luma.h_samp_factor == 1 && luma.v_samp_factor == 1) return 444;
  if (luma.h_samp_factor == 2 && luma.v_samp_factor == 1) return 422;
  if (luma.h_samp_factor == 2 && luma.v_samp_factor == 2) return 420;
  return 0;
}

// A progressive file's cost grows with its number of scans, each a pass over the whole
// coefficient buffer, and the count comes from the file alone. Encoders write ten or so; a
// file with more than this is refused before it can spend minutes.
constexpr int kMaxScans = 100;

void limitScans(j_common_ptr cinfo) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMaxScans) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    std::snprintf(errors->message, sizeof errors->message, "more than %d progressive scans",
                  kMaxScans);
    std::longjmp(errors->jump, 1);
  }
}

struct JpegHeader {
  JDIMENSION width, height;
  uint64_t blocks;  // 8x8 blocks over all components
  bool arithmetic;
  int components;
  bool adobe;
  bool ink;  // CMYK without the Adobe marker: samples are ink amounts
  Resolution resolution;
  StorageHints storedAs;
};

bool readHeader(jpeg_decompress_struct& cinfo, JpegErrors& errors, JpegHeader& header) {
  if (setjmp(errors.jump)) return false;
  jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  const J_COLOR_SPACE space = cinfo.jpeg_color_space;
  const bool cmyk = space == JCS_CMYK || space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
  header.width = cinfo.image_width;
  header.height = cinfo.image_height;
  header.components = cmyk ? 4 : space == JCS_GRAYSCALE ? 1 : 3;
  header.ink = cmyk && !cinfo.saw_Adobe_marker;
  header.arithmetic = cinfo.arith_code;
  header.blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& component = cinfo.comp_info[c];
    const uint64_t columns =
        (uint64_t(cinfo.image_width) * component.h_samp_factor + cinfo.max_h_samp_factor * 8 - 1) /
        (cinfo.max_h_samp_factor * 8);
    const uint64_t rows =
        (uint64_t(cinfo.image_height) * component.v_samp_factor + cinfo.max_v_samp_factor * 8 - 1) /
        (cinfo.max_v_samp_factor * 8);
    header.blocks += columns * rows;
  }
  const double unit = cinfo.density_unit == 1 ? 1.0 : cinfo.density_unit == 2 ? 2.54 : 0.0;
  if (cinfo.saw_JFIF_marker && unit > 0 && cinfo.X_density > 0 && cinfo.Y_density > 0)
    header.resolution = {true, cinfo.X_density * unit, cinfo.Y_density * unit};
  header.storedAs.jpegQuality = estimateQuality(cinfo.quant_tbl_ptrs[0]);
  header.storedAs.jpegSubsampling = subsamplingOf(cinfo);
  return true;
}

// Reads the rows and the profile, which libjpeg hands over in memory the caller frees.
bool readBody(jpeg_decompress_struct& cinfo, JpegErrors& errors, JSAMPROW* rows, JOCTET** profile,
              unsigned* profileLength) {
  if (setjmp(errors.jump)) return false;
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height)
    jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline,
                        cinfo.output_height - cinfo.output_scanline);
  if (!jpeg_read_icc_profile(&cinfo, profile, profileLength)) *profile = nullptr;
  jpeg_finish_decompress(&cinfo);
  return true;
}

FileStatus corrupt(const JpegErrors& errors) {
  return FileStatus::runError(std::string("corrupt or truncated JPEG: ") + errors.message);
}

FileStatus decodeWith(jpeg_decompress_struct& cinfo, JpegErrors& errors, size_t fileBytes,
                      Raster& raster) {
  JpegHeader header{};
  if (!readHeader(cinfo, errors, header)) return corrupt(errors);
  const ImageMode mode = header.components == 4   ? ImageMode::cmyk
                         : header.components == 1 ? ImageMode::grayscale
                                                  : ImageMode::rgb;
  FileStatus status = checkDimensions(header.width, header.height);
  if (!status.ok()) return status;
  // Huffman coding spends at least one bit on every block (its DC difference), so the file's
  // size bounds the blocks it can hold. Arithmetic coding has no such floor; the pixel limit
  // bounds those files.
  if (!header.arithmetic && header.blocks > 0) {
    const uint64_t samples = uint64_t(header.width) * header.height * uint64_t(header.components);
    status = checkCodedSize(samples, fileBytes, (samples * 8 + header.blocks - 1) / header.blocks);
    if (!status.ok()) return status;
  }
  status = allocateRaster(raster, header.width, header.height, mode, 0);
  if (!status.ok()) return status;
  std::vector<JSAMPROW> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y) rows[size_t(y)] = raster.row(y);
  JOCTET* profile = nullptr;
  unsigned profileLength = 0;
  const bool ok = readBody(cinfo, errors, rows.data(), &profile, &profileLength);
  if (profile) raster.iccProfile.assign(profile, profile + profileLength);
  std::free(profile);
  if (!ok) return corrupt(errors);
  if (header.ink)
    for (uint8_t& value : raster.pixels) value = uint8_t(255 - value);
  raster.resolution = header.resolution;
  raster.storedAs = header.storedAs;
  return FileStatus::success();
}

}  // namespace

FileStatus decodeJpeg(const Bytes& bytes, Raster& raster) {
  if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8)
    return FileStatus::runError("not a JPEG image");
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  installErrors(errors);
  cinfo.err = &errors.manager;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_progress_mgr progress{};
  progress.progress_monitor = limitScans;
  cinfo.progress = &progress;
  Raster loaded;
  const FileStatus status = decodeWith(cinfo, errors, bytes.size(), loaded);
  jpeg_destroy_decompress(&cinfo);
  if (status.ok()) raster = std::move(loaded);
  return status;
}

namespace {

UINT16 density(double ppi) { return UINT16(std::min(65535.0, std::max(1.0, std::round(ppi)))); }

// Chroma subsampling for YCbCr; CMYK and grayscale keep every sample.
void setSubsampling(jpeg_compress_struct& cinfo, int subsampling) {
  if (cinfo.jpeg_color_space != JCS_YCbCr) return;
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  cinfo.comp_info[0].h_samp_factor = subsampling == 444 ? 1 : 2;
  cinfo.comp_info[0].v_samp_factor = subsampling == 420 ? 2 : 1;
}

// Everything before the first row: parameters, markers, the profile.
bool startCompress(jpeg_compress_struct& cinfo, JpegErrors& errors, const Raster& raster,
                   const WriteOptions& options) {
  if (setjmp(errors.jump)) return false;
  cinfo.image_width = JDIMENSION(raster.width);
  cinfo.image_height = JDIMENSION(raster.height);
  cinfo.input_components = raster.channels();
  cinfo.in_color_space = raster.mode == ImageMode::cmyk        ? JCS_CMYK
                         : raster.mode == ImageMode::grayscale ? JCS_GRAYSCALE
                                                               : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.jpegQuality, TRUE);
  setSubsampling(cinfo, options.jpegSubsampling);
  if (raster.resolution.known) {
    // Also for CMYK, where libjpeg leaves JFIF out by default: the density is the only place
    // a JPEG keeps the print resolution, and decoders take the colour space from the Adobe
    // marker regardless.
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = density(raster.resolution.horizontal);
    cinfo.Y_density = density(raster.resolution.vertical);
  }
  jpeg_start_compress(&cinfo, TRUE);
  if (!raster.iccProfile.empty())
    jpeg_write_icc_profile(&cinfo, raster.iccProfile.data(), unsigned(raster.iccProfile.size()));
  return true;
}

bool compressRows(jpeg_compress_struct& cinfo, JpegErrors& errors, JSAMPROW* rows, int count) {
  if (setjmp(errors.jump)) return false;
  JDIMENSION done = 0;
  while (done < JDIMENSION(count)) {
    const JDIMENSION written = jpeg_write_scanlines(&cinfo, rows + done, JDIMENSION(count) - done);
    if (written == 0) return false;
    done += written;
  }
  return true;
}

bool finishCompress(jpeg_compress_struct& cinfo, JpegErrors& errors) {
  if (setjmp(errors.jump)) return false;
  jpeg_finish_compress(&cinfo);
  return true;
}

FileStatus checkOptions(const WriteOptions& options) {
  if (options.jpegQuality < 1 || options.jpegQuality > 100)
    return FileStatus::usageError("JPEG quality must be 1..100, not " +
                                  std::to_string(options.jpegQuality));
  if (options.jpegSubsampling != 444 && options.jpegSubsampling != 422 &&
      options.jpegSubsampling != 420)
    return FileStatus::usageError("JPEG chroma subsampling must be 444, 422 or 420, not " +
                                  std::to_string(options.jpegSubsampling));
  return FileStatus::success();
}

}  // namespace

FileStatus encodeJpeg(const Raster& raster, const WriteOptions& options, Bytes& bytes) {
  FileStatus status = checkOptions(options);
  if (!status.ok()) return status;
  std::vector<JSAMPROW> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y) rows[size_t(y)] = const_cast<JSAMPROW>(raster.row(y));
  jpeg_compress_struct cinfo;
  JpegErrors errors;
  installErrors(errors);
  cinfo.err = &errors.manager;
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  const bool ok = startCompress(cinfo, errors, raster, options) &&
                  compressRows(cinfo, errors, rows.data(), raster.height) &&
                  finishCompress(cinfo, errors);
  jpeg_destroy_compress(&cinfo);
  if (ok) bytes.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) return FileStatus::runError(std::string("cannot encode JPEG: ") + errors.message);
  return FileStatus::success();
}

namespace {

constexpr size_t kInputChunk = 1 << 16;

// libjpeg's own stdio source, with a larger buffer: it reads 4 KiB a call, a sixteenth of this.
// Everything else is as it does it, so a file ends, or fails to, with the same words.
struct FileSource {
  jpeg_source_mgr manager;
  std::FILE* file;
  JOCTET* buffer;
  bool startOfFile;

  static FileSource* of(j_decompress_ptr cinfo) {
    return reinterpret_cast<FileSource*>(cinfo->src);
  }
  static void init(j_decompress_ptr cinfo) { of(cinfo)->startOfFile = true; }
  static boolean fill(j_decompress_ptr cinfo) {
    FileSource* self = of(cinfo);
    size_t bytes = std::fread(self->buffer, 1, kInputChunk, self->file);
    if (bytes == 0) {
      if (self->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
      WARNMS(cinfo, JWRN_JPEG_EOF);
      // An end of image in place of the missing data.
      self->buffer[0] = 0xFF;
      self->buffer[1] = JPEG_EOI;
      bytes = 2;
    }
    self->manager.next_input_byte = self->buffer;
    self->manager.bytes_in_buffer = bytes;
    self->startOfFile = false;
    return TRUE;
  }
  static void skip(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = cinfo->src;
    while (count > long(source->bytes_in_buffer)) {
      count -= long(source->bytes_in_buffer);
      fill(cinfo);
    }
    source->next_input_byte += size_t(count);
    source->bytes_in_buffer -= size_t(count);
  }
  static void term(j_decompress_ptr) {}
};

// Reads a sequential JPEG from a file a band of rows at a time; libjpeg keeps only the rows of
// one band of blocks.
class JpegRowReader : public ImageRowReader {
 public:
  explicit JpegRowReader(std::FILE* file) : file_(file), input_(kInputChunk) {
    installErrors(errors_);
    cinfo_.err = &errors_.manager;
    jpeg_create_decompress(&cinfo_);
    source_.manager.init_source = &FileSource::init;
    source_.manager.fill_input_buffer = &FileSource::fill;
    source_.manager.skip_input_data = &FileSource::skip;
    source_.manager.resync_to_restart = jpeg_resync_to_restart;
    source_.manager.term_source = &FileSource::term;
    source_.manager.next_input_byte = nullptr;
    source_.manager.bytes_in_buffer = 0;
    source_.file = file_;
    source_.buffer = input_.data();
    source_.startOfFile = true;
    cinfo_.src = &source_.manager;
    progress_.progress_monitor = limitScans;
    cinfo_.progress = &progress_;
  }
  ~JpegRowReader() override {
    jpeg_destroy_decompress(&cinfo_);
    std::fclose(file_);
  }

  // Reads the header; `streams` comes back false for files read whole.
  FileStatus open(size_t fileBytes, bool* streams, std::string* whyNot) {
    JpegHeader header{};
    if (!readHeader(cinfo_, errors_, header)) return corrupt(errors_);
    const ImageMode mode = header.components == 4   ? ImageMode::cmyk
                           : header.components == 1 ? ImageMode::grayscale
                                                    : ImageMode::rgb;
    *streams = !cinfo_.progressive_mode && !jpeg_has_multiple_scans(&cinfo_);
    if (!*streams) {
      *whyNot = "progressive JPEG";
      return FileStatus::success();
    }
    FileStatus status = checkDimensions(header.width, header.height);
    if (!status.ok()) return status;
    if (!header.arithmetic && header.blocks > 0) {
      const uint64_t samples = uint64_t(header.width) * header.height * uint64_t(header.components);
      status =
          checkCodedSize(samples, fileBytes, (samples * 8 + header.blocks - 1) / header.blocks);
      if (!status.ok()) return status;
    }
    status = describeRaster(description_, header.width, header.height, mode, 0);
    if (!status.ok()) return status;
    JOCTET* profile = nullptr;
    unsigned profileLength = 0;
    if (jpeg_read_icc_profile(&cinfo_, &profile, &profileLength) && profile)
      description_.iccProfile.assign(profile, profile + profileLength);
    std::free(profile);
    description_.resolution = header.resolution;
    description_.storedAs = header.storedAs;
    ink_ = header.ink;
    if (!start()) return corrupt(errors_);
    return FileStatus::success();
  }

  FileStatus readRows(uint8_t* rows, int count) override {
    try {
      pointers_.resize(size_t(count));
    } catch (const std::bad_alloc&) {
      return FileStatus::runError("out of memory");
    }
    for (int i = 0; i < count; ++i)
      pointers_[size_t(i)] = rows + size_t(i) * description_.rowBytes();
    if (!readScanlines(count)) return corrupt(errors_);
    if (ink_) {
      const size_t bytes = size_t(count) * description_.rowBytes();
      for (size_t i = 0; i < bytes; ++i) rows[i] = uint8_t(255 - rows[i]);
    }
    return FileStatus::success();
  }

 private:
  bool start() {
    if (setjmp(errors_.jump)) return false;
    jpeg_start_decompress(&cinfo_);
    return true;
  }

  bool readScanlines(int count) {
    if (setjmp(errors_.jump)) return false;
    // All the rows asked for are offered at once, so that libjpeg hands over a whole row group
    // (two rows of a 4:2:0 picture) a call instead of one. The bytes are the same either way.
    for (int done = 0; done < count;) {
      const JDIMENSION read =
          jpeg_read_scanlines(&cinfo_, pointers_.data() + done, JDIMENSION(count - done));
      if (read == 0) return false;
      done += int(read);
    }
    // The end is read as the whole-file decoder reads it, so damage after the last row fails
    // here as it would there.
    if (cinfo_.output_scanline == cinfo_.output_height) jpeg_finish_decompress(&cinfo_);
    return true;
  }

  std::FILE* file_;
  std::vector<JOCTET> input_;
  FileSource source_;
  jpeg_decompress_struct cinfo_;
  JpegErrors errors_;
  jpeg_progress_mgr progress_{};
  std::vector<JSAMPROW> pointers_;
  bool ink_ = false;
};

constexpr size_t kOutputChunk = 1 << 16;

// Encodes rows as they come into the file being written. When metadata is to be added, the
// markers up to the start of the scan are held back: the metadata is embedded into them alone
// (Exiv2 rewrites the markers before the scan and copies the rest as it stands), and the scan
// follows as libjpeg writes it. Should the embedding not have that shape, the whole file is
// kept in memory and the metadata embedded into it, as the whole-picture writer does.
class JpegRowWriter : public ImageRowWriter {
 public:
  JpegRowWriter(const std::string& path, const Raster& description)
      : path_(path), description_(description) {
    description_.pixels.clear();
    toMemory_ = description_.metadata.hasBlocks();
    installErrors(errors_);
    cinfo_.err = &errors_.manager;
    jpeg_create_compress(&cinfo_);
    destination_.self = this;
    destination_.manager.init_destination = &Destination::init;
    destination_.manager.empty_output_buffer = &Destination::empty;
    destination_.manager.term_destination = &Destination::term;
    cinfo_.dest = &destination_.manager;
  }
  ~JpegRowWriter() override { jpeg_destroy_compress(&cinfo_); }

  FileStatus start(const WriteOptions& options) {
    FileStatus status = checkOptions(options);
    if (status.ok() && !toMemory_) status = file_.open(path_);
    if (!status.ok()) return status;
    if (!startCompress(cinfo_, errors_, description_, options)) return failure();
    return sinkStatus_;
  }

  FileStatus writeRows(const uint8_t* rows, int count) override {
    pointers_.resize(size_t(count));
    for (int i = 0; i < count; ++i)
      pointers_[size_t(i)] = const_cast<JSAMPROW>(rows + size_t(i) * description_.rowBytes());
    if (!compressRows(cinfo_, errors_, pointers_.data(), count)) return failure();
    return sinkStatus_;
  }

  FileStatus finish() override {
    if (!finishCompress(cinfo_, errors_)) return failure();
    if (!sinkStatus_.ok()) return sinkStatus_;
    if (!toMemory_) return file_.commit();
    if (!wholeInMemory_ && embedIntoHeader()) return file_.commit();
    return saveWithMetadata(description_, encoded_, path_);
  }

 private:
  struct Destination {
    jpeg_destination_mgr manager;
    JpegRowWriter* self;
    static JpegRowWriter* of(j_compress_ptr cinfo) {
      return reinterpret_cast<Destination*>(cinfo->dest)->self;
    }
    static void init(j_compress_ptr cinfo) {
      JpegRowWriter* self = of(cinfo);
      self->chunk_.resize(kOutputChunk);
      cinfo->dest->next_output_byte = self->chunk_.data();
      cinfo->dest->free_in_buffer = self->chunk_.size();
    }
    static boolean empty(j_compress_ptr cinfo) {
      JpegRowWriter* self = of(cinfo);
      self->sink(self->chunk_.size());
      cinfo->dest->next_output_byte = self->chunk_.data();
      cinfo->dest->free_in_buffer = self->chunk_.size();
      return TRUE;
    }
    static void term(j_compress_ptr cinfo) {
      JpegRowWriter* self = of(cinfo);
      self->sink(self->chunk_.size() - cinfo->dest->free_in_buffer);
    }
  };

  // A failed write is kept and reported; libjpeg carries on into nothing meanwhile.
  void sink(size_t bytes) {
    if (!sinkStatus_.ok() || bytes == 0) return;
    if (toMemory_) {
      // Nothing may be thrown through libjpeg's frames.
      try {
        encoded_.insert(encoded_.end(), chunk_.begin(), chunk_.begin() + std::ptrdiff_t(bytes));
        if (!wholeInMemory_ && headerEnd() > 0 && embedIntoHeader()) toMemory_ = false;
      } catch (const std::bad_alloc&) {
        sinkStatus_ = FileStatus::runError("out of memory");
      }
      return;
    }
    sinkStatus_ = file_.write({chunk_.data(), bytes});
  }

  // Where the start-of-scan marker segment ends in what is encoded so far; 0 before that.
  size_t headerEnd() const {
    size_t at = 2;
    while (at + 4 <= encoded_.size()) {
      if (encoded_[at] != 0xFF) return 0;
      const size_t end = at + 2 + (size_t(encoded_[at + 2]) << 8 | encoded_[at + 3]);
      if (encoded_[at + 1] == 0xDA) return end <= encoded_.size() ? end : 0;
      at = end;
    }
    return 0;
  }

  // Embeds the metadata into the markers before the scan and writes them and what follows to
  // the file; false, with everything still in memory, when that cannot be done.
  bool embedIntoHeader() {
    const size_t end = headerEnd();
    if (end == 0) {
      wholeInMemory_ = true;
      return false;
    }
    Bytes header(encoded_.begin(), encoded_.begin() + std::ptrdiff_t(end));
    header.push_back(0xFF);
    header.push_back(0xD9);
    const FileStatus embedded = writeFileMetadata(description_, header);
    if (!embedded.ok() || header.size() < 2 || header[header.size() - 2] != 0xFF ||
        header.back() != 0xD9) {
      wholeInMemory_ = true;
      return false;
    }
    sinkStatus_ = file_.open(path_);
    if (sinkStatus_.ok()) sinkStatus_ = file_.write({header.data(), header.size() - 2});
    if (sinkStatus_.ok()) sinkStatus_ = file_.write({encoded_.data() + end, encoded_.size() - end});
    Bytes().swap(encoded_);
    return true;
  }

  FileStatus failure() const {
    return FileStatus::runError(std::string("cannot encode JPEG: ") + errors_.message);
  }

  std::string path_;
  Raster description_;
  bool toMemory_;
  bool wholeInMemory_ = false;
  jpeg_compress_struct cinfo_;
  JpegErrors errors_;
  Destination destination_;
  AtomicFileWriter file_;
  Bytes chunk_;
  Bytes encoded_;
  std::vector<JSAMPROW> pointers_;
  FileStatus sinkStatus_;
};

}  // namespace

FileStatus openJpegRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                             std::string* whyNot) {
  std::string problem;
  std::FILE* file = openRegularFile(path, problem);
  if (!file) return FileStatus::runError(problem);
  unsigned char magic[2] = {};
  const bool isJpeg = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0xFF && magic[1] == 0xD8;
  if (!isJpeg || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return FileStatus::runError("not a JPEG image");
  }
  const size_t size = sizeOf(file);
  auto rows = std::make_unique<JpegRowReader>(file);
  bool streams = false;
  FileStatus status = rows->open(size, &streams, whyNot);
  if (status.ok() && streams) reader = std::move(rows);
  return status;
}

FileStatus openJpegRowWriter(const std::string& path, const Raster& description,
                             const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer) {
  auto rows = std::make_unique<JpegRowWriter>(path, description);
  FileStatus status = rows->start(options);
  if (status.ok()) writer = std::move(rows);
  return status;
}
