// Netpbm images: PGM and PPM (binary P5/P6 and plain-text P2/P3) and PAM (P7).
// PAM CMYK samples are ink amounts (maxval is full ink), so they are inverted on the way in
// and out of the document's CMYK encoding.
#include "imagefiles/codecs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <cstring>
#include <string>

namespace {

struct Header {
  char kind = 0;  // '2', '3', '5', '6' or '7'
  long long width = -1;
  long long height = -1;
  long long depth = 0;
  long long maxval = -1;
  std::string tupleType;
};

// Reads the header and the samples, refusing anything that runs past the end of the data.
class PnmReader {
 public:
  explicit PnmReader(const Bytes& bytes) : data_(bytes) {}

  FileStatus header(Header& h);
  FileStatus samples(const Header& h, Bytes& bytes, Raster& raster);
  size_t position() const { return pos_; }

 private:
  bool atEnd() const { return pos_ >= data_.size(); }
  void skipSpaceAndComments();
  bool number(long long& value);
  bool word(std::string& text);
  bool restOfLine(std::string& text);
  FileStatus pamHeader(Header& h);
  FileStatus textSamples(const Header& h, uint8_t* out, size_t count);

  const Bytes& data_;
  size_t pos_ = 0;
};

void PnmReader::skipSpaceAndComments() {
  while (!atEnd()) {
    if (data_[pos_] == '#') {
      while (!atEnd() && data_[pos_] != '\n') ++pos_;
    } else if (std::isspace(data_[pos_])) {
      ++pos_;
    } else {
      return;
    }
  }
}

bool PnmReader::number(long long& value) {
  skipSpaceAndComments();
  if (atEnd() || !std::isdigit(data_[pos_])) return false;
  value = 0;
  while (!atEnd() && std::isdigit(data_[pos_])) {
    value = value * 10 + (data_[pos_++] - '0');
    if (value > 1000000000) return false;
  }
  return true;
}

bool PnmReader::word(std::string& text) {
  skipSpaceAndComments();
  text.clear();
  while (!atEnd() && !std::isspace(data_[pos_])) text += char(data_[pos_++]);
  return !text.empty();
}

bool PnmReader::restOfLine(std::string& text) {
  while (!atEnd() && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
  text.clear();
  while (!atEnd() && data_[pos_] != '\n') text += char(data_[pos_++]);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return !text.empty();
}

FileStatus PnmReader::pamHeader(Header& h) {
  for (std::string key; word(key);) {
    if (key == "ENDHDR") {
      if (atEnd() || data_[pos_] != '\n') return FileStatus::runError("corrupt PAM header");
      ++pos_;
      return FileStatus::success();
    }
    bool valid = true;
    if (key == "WIDTH")
      valid = number(h.width);
    else if (key == "HEIGHT")
      valid = number(h.height);
    else if (key == "DEPTH")
      valid = number(h.depth);
    else if (key == "MAXVAL")
      valid = number(h.maxval);
    else if (key == "TUPLTYPE")
      valid = restOfLine(h.tupleType);
    else
      valid = false;
    if (!valid) return FileStatus::runError("corrupt PAM header near '" + key + "'");
  }
  return FileStatus::runError("truncated PAM header");
}

FileStatus PnmReader::header(Header& h) {
  if (data_.size() < 2 || data_[0] != 'P' || !data_[1] || !std::strchr("23567", data_[1]))
    return FileStatus::runError("not a PGM, PPM or PAM image");
  h.kind = char(data_[1]);
  pos_ = 2;
  if (h.kind == '7') return pamHeader(h);
  h.depth = (h.kind == '3' || h.kind == '6') ? 3 : 1;
  if (!number(h.width) || !number(h.height) || !number(h.maxval))
    return FileStatus::runError("truncated or corrupt PNM header");
  if (atEnd() || !std::isspace(data_[pos_]))
    return FileStatus::runError("truncated or corrupt PNM header");
  ++pos_;  // the single whitespace character before the samples
  return FileStatus::success();
}

FileStatus PnmReader::textSamples(const Header& h, uint8_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    long long value;
    if (!number(value)) return FileStatus::runError("truncated or corrupt PNM samples");
    if (value > h.maxval) return FileStatus::runError("PNM sample over the maximum value");
    out[i] = uint8_t(value);
  }
  return FileStatus::success();
}

FileStatus layoutOf(const Header& h, ImageMode& mode, int& extras) {
  struct TupleType {
    const char* name;
    int depth;
    ImageMode mode;
    int extras;
  };
  static const TupleType kTypes[] = {{"GRAYSCALE", 1, ImageMode::grayscale, 0},
                                     {"BLACKANDWHITE", 1, ImageMode::grayscale, 0},
                                     {"GRAYSCALE_ALPHA", 2, ImageMode::grayscale, 1},
                                     {"RGB", 3, ImageMode::rgb, 0},
                                     {"RGB_ALPHA", 4, ImageMode::rgb, 1},
                                     {"CMYK", 4, ImageMode::cmyk, 0},
                                     {"CMYK_ALPHA", 5, ImageMode::cmyk, 1}};
  if (h.kind != '7') {
    mode = h.depth == 3 ? ImageMode::rgb : ImageMode::grayscale;
    extras = 0;
    return FileStatus::success();
  }
  for (const TupleType& type : kTypes) {
    if (h.tupleType == type.name || (h.tupleType.empty() && h.depth == type.depth)) {
      if (h.depth != type.depth) break;
      mode = type.mode;
      extras = type.extras;
      return FileStatus::success();
    }
  }
  return FileStatus::runError("unsupported PAM tuple type '" + h.tupleType + "' of depth " +
                              std::to_string(h.depth));
}

// Whether the samples need bringing to the raster's form: another maxval, or ink amounts.
bool needsNormalising(const Header& h, ImageMode mode) {
  return h.maxval != 255 || mode == ImageMode::cmyk;
}

// Brings samples of any maxval to 0..255 and PAM's CMYK ink amounts to the document's form;
// `samples` starts at a pixel.
void normaliseSamples(const Header& h, ImageMode mode, int channels, uint8_t* samples,
                      size_t count) {
  if (!needsNormalising(h, mode)) return;
  const long long maxval = h.maxval;
  const bool inkAmounts = mode == ImageMode::cmyk;
  for (size_t i = 0; i < count; ++i) {
    int value = samples[i];
    if (maxval != 255) value = int((value * 255 + maxval / 2) / maxval);
    if (inkAmounts && int(i % channels) < 4) value = 255 - value;
    samples[i] = uint8_t(value);
  }
}

void normalise(const Header& h, Raster& raster) {
  normaliseSamples(h, raster.mode, raster.channels(), raster.pixels.data(), raster.pixels.size());
}

// Binary samples that need no conversion become the raster's pixels in place: the header is
// moved out of the way and the file's buffer handed over, so the image is never held twice.
FileStatus takeSamples(size_t start, uint64_t count, Bytes& bytes, Raster& raster) {
  std::memmove(bytes.data(), bytes.data() + start, size_t(count));
  bytes.resize(size_t(count));
  raster.pixels.swap(bytes);
  Bytes().swap(bytes);
  return FileStatus::success();
}

// What the header says about the samples that follow, checked before anything is allocated:
// the mode and extra channels, and the number of samples.
FileStatus checkSamples(const Header& h, size_t available, ImageMode& mode, int& extras,
                        uint64_t& count) {
  if (h.maxval > 255 && h.maxval <= 65535) return FileStatus::runError(kSixteenBitMessage);
  if (h.width < 0 || h.height < 0 || h.maxval < 1 || h.maxval > 65535)
    return FileStatus::runError("corrupt PNM header");
  FileStatus status = layoutOf(h, mode, extras);
  if (!status.ok()) return status;
  count = uint64_t(h.width) * uint64_t(h.height) * uint64_t(h.depth);
  // Every sample takes at least one byte, so a short file is refused before allocating.
  status = checkDimensions(h.width, h.height);
  if (!status.ok()) return status;
  if (count > available) return FileStatus::runError("truncated image data");
  return FileStatus::success();
}

FileStatus checkMaxval(const Header& h, const uint8_t* samples, size_t count) {
  if (h.maxval >= 255) return FileStatus::success();
  for (size_t i = 0; i < count; ++i)
    if (samples[i] > h.maxval) return FileStatus::runError("PNM sample over the maximum value");
  return FileStatus::success();
}

FileStatus PnmReader::samples(const Header& h, Bytes& bytes, Raster& raster) {
  ImageMode mode = ImageMode::grayscale;
  int extras = 0;
  uint64_t count = 0;
  FileStatus status = checkSamples(h, data_.size() - pos_, mode, extras, count);
  if (!status.ok()) return status;
  const bool binary = h.kind >= '5';
  Raster loaded;
  const bool inPlace = binary && !needsNormalising(h, mode);
  status = inPlace ? describeRaster(loaded, h.width, h.height, mode, extras)
                   : allocateRaster(loaded, h.width, h.height, mode, extras);
  if (!status.ok()) return status;
  if (inPlace) {
    status = takeSamples(pos_, count, bytes, loaded);
  } else if (binary) {
    std::memcpy(loaded.pixels.data(), data_.data() + pos_, size_t(count));
    status = checkMaxval(h, loaded.pixels.data(), loaded.pixels.size());
    if (!status.ok()) return status;
  } else {
    status = textSamples(h, loaded.pixels.data(), size_t(count));
    if (!status.ok()) return status;
  }
  normalise(h, loaded);
  raster = std::move(loaded);
  return FileStatus::success();
}

const char* tupleTypeOf(const Raster& raster) {
  const bool alpha = raster.extraChannels > 0;
  switch (raster.mode) {
    case ImageMode::grayscale:
      return alpha ? "GRAYSCALE_ALPHA" : "GRAYSCALE";
    case ImageMode::cmyk:
      return alpha ? "CMYK_ALPHA" : "CMYK";
    default:
      return alpha ? "RGB_ALPHA" : "RGB";
  }
}

}  // namespace

FileStatus decodePnm(Bytes& bytes, Raster& raster) {
  PnmReader reader(bytes);
  Header header;
  FileStatus status = reader.header(header);
  if (!status.ok()) return status;
  return reader.samples(header, bytes, raster);
}

namespace {

std::string headerOf(const Raster& raster, bool pam) {
  const std::string size =
      std::to_string(raster.width) + (pam ? "\nHEIGHT " : " ") + std::to_string(raster.height);
  return pam ? "P7\nWIDTH " + size + "\nDEPTH " + std::to_string(raster.channels()) +
                   "\nMAXVAL 255\nTUPLTYPE " + tupleTypeOf(raster) + "\nENDHDR\n"
             : std::string(raster.mode == ImageMode::rgb ? "P6\n" : "P5\n") + size + "\n255\n";
}

// The file's CMYK samples are ink amounts; the rest are the raster's bytes as they stand.
void toInkAmounts(uint8_t* samples, size_t count, int channels) {
  for (size_t i = 0; i < count; ++i)
    if (int(i % channels) < 4) samples[i] = uint8_t(255 - samples[i]);
}

// Samples come in this much at a time, so the header fits in the first read of any sane file.
constexpr size_t kHeaderWindow = 1 << 16;

class PnmRowReader : public ImageRowReader {
 public:
  PnmRowReader(std::FILE* file, const Header& header) : file_(file), header_(header) {}
  ~PnmRowReader() override { std::fclose(file_); }

  FileStatus readRows(uint8_t* rows, int count) override {
    const size_t bytes = size_t(count) * description_.rowBytes();
    if (std::fread(rows, 1, bytes, file_) != bytes)
      return FileStatus::runError("truncated image data");
    FileStatus status = checkMaxval(header_, rows, bytes);
    if (status.ok())
      normaliseSamples(header_, description_.mode, description_.channels(), rows, bytes);
    return status;
  }

  FileStatus describe(size_t available) {
    ImageMode mode = ImageMode::grayscale;
    int extras = 0;
    uint64_t count = 0;
    FileStatus status = checkSamples(header_, available, mode, extras, count);
    return status.ok() ? describeRaster(description_, header_.width, header_.height, mode, extras)
                       : status;
  }

 private:
  std::FILE* file_;
  Header header_;
};

class PnmRowWriter : public ImageRowWriter {
 public:
  PnmRowWriter(const Raster& description, bool pam) : description_(description), pam_(pam) {
    description_.pixels.clear();
  }

  FileStatus start(const std::string& path) {
    FileStatus status = file_.open(path);
    const std::string header = headerOf(description_, pam_);
    return status.ok()
               ? file_.write({reinterpret_cast<const uint8_t*>(header.data()), header.size()})
               : status;
  }

  FileStatus writeRows(const uint8_t* rows, int count) override {
    const size_t bytes = size_t(count) * description_.rowBytes();
    if (description_.mode != ImageMode::cmyk) return file_.write({rows, bytes});
    inks_.assign(rows, rows + bytes);
    toInkAmounts(inks_.data(), bytes, description_.channels());
    return file_.write({inks_.data(), bytes});
  }

  FileStatus finish() override { return file_.commit(); }

 private:
  Raster description_;
  bool pam_;
  AtomicFileWriter file_;
  Bytes inks_;
};

}  // namespace

FileStatus openPnmRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                            std::string* whyNot) {
  std::string problem;
  std::FILE* file = openRegularFile(path, problem);
  if (!file) return FileStatus::runError(problem);
  const size_t size = sizeOf(file);
  Bytes head(std::min(size, kHeaderWindow));
  head.resize(std::fread(head.data(), 1, head.size(), file));
  PnmReader parser(head);
  Header header;
  FileStatus status = parser.header(header);
  const size_t start = parser.position();
  if (!status.ok() || header.kind < '5' || start >= head.size() ||
      (head.size() < size && start + 64 > head.size())) {
    std::fclose(file);
    *whyNot = header.kind > 0 && header.kind < '5' ? "plain-text samples" : "an unusual header";
    return FileStatus::success();
  }
  auto rows = std::make_unique<PnmRowReader>(file, header);
  status = rows->describe(size - start);
  if (!status.ok()) return status;
  if (std::fseek(file, long(start), SEEK_SET) != 0) return FileStatus::runError("cannot seek");
  reader = std::move(rows);
  return FileStatus::success();
}

FileStatus openPnmRowWriter(const std::string& path, const Raster& description, bool pam,
                            std::unique_ptr<ImageRowWriter>& writer) {
  auto rows = std::make_unique<PnmRowWriter>(description, pam);
  FileStatus status = rows->start(path);
  if (status.ok()) writer = std::move(rows);
  return status;
}

FileStatus encodePnm(const Raster& raster, bool pam, EncodedImage& encoded) {
  const std::string header = headerOf(raster, pam);
  Bytes out(header.begin(), header.end());
  // Only CMYK differs from the raster's bytes (ink amounts); the rest is written as it stands.
  encoded.pixelsFollow = raster.mode != ImageMode::cmyk;
  if (!encoded.pixelsFollow) {
    out.insert(out.end(), raster.pixels.begin(), raster.pixels.end());
    toInkAmounts(out.data() + header.size(), raster.pixels.size(), raster.channels());
  }
  encoded.bytes.swap(out);
  return FileStatus::success();
}
