// Netpbm images: PGM and PPM (binary P5/P6 and plain-text P2/P3) and PAM (P7).
// PAM CMYK samples are ink amounts (maxval is full ink), so they are inverted on the way in
// and out of the document's CMYK encoding.
#include "imagefiles/codecs.h"

#include <cctype>
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
    if (key == "WIDTH") valid = number(h.width);
    else if (key == "HEIGHT") valid = number(h.height);
    else if (key == "DEPTH") valid = number(h.depth);
    else if (key == "MAXVAL") valid = number(h.maxval);
    else if (key == "TUPLTYPE") valid = restOfLine(h.tupleType);
    else valid = false;
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
  static const TupleType kTypes[] = {
      {"GRAYSCALE", 1, ImageMode::grayscale, 0}, {"BLACKANDWHITE", 1, ImageMode::grayscale, 0},
      {"GRAYSCALE_ALPHA", 2, ImageMode::grayscale, 1}, {"RGB", 3, ImageMode::rgb, 0},
      {"RGB_ALPHA", 4, ImageMode::rgb, 1}, {"CMYK", 4, ImageMode::cmyk, 0},
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

// Brings samples of any maxval to 0..255 and PAM's CMYK ink amounts to the document's form.
void normalise(const Header& h, Raster& raster) {
  if (!needsNormalising(h, raster.mode)) return;
  const long long maxval = h.maxval;
  const int channels = raster.channels();
  const bool inkAmounts = raster.mode == ImageMode::cmyk;
  for (size_t i = 0; i < raster.pixels.size(); ++i) {
    int value = raster.pixels[i];
    if (maxval != 255) value = int((value * 255 + maxval / 2) / maxval);
    if (inkAmounts && int(i % channels) < 4) value = 255 - value;
    raster.pixels[i] = uint8_t(value);
  }
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

FileStatus PnmReader::samples(const Header& h, Bytes& bytes, Raster& raster) {
  if (h.maxval > 255 && h.maxval <= 65535) return FileStatus::runError(kSixteenBitMessage);
  if (h.width < 0 || h.height < 0 || h.maxval < 1 || h.maxval > 65535)
    return FileStatus::runError("corrupt PNM header");
  ImageMode mode = ImageMode::grayscale;
  int extras = 0;
  FileStatus status = layoutOf(h, mode, extras);
  if (!status.ok()) return status;
  const bool binary = h.kind >= '5';
  const uint64_t count = uint64_t(h.width) * uint64_t(h.height) * uint64_t(h.depth);
  // Every sample takes at least one byte, so a short file is refused before allocating.
  status = checkDimensions(h.width, h.height);
  if (!status.ok()) return status;
  if (count > data_.size() - pos_) return FileStatus::runError("truncated image data");
  Raster loaded;
  const bool inPlace = binary && !needsNormalising(h, mode);
  status = inPlace ? describeRaster(loaded, h.width, h.height, mode, extras)
                   : allocateRaster(loaded, h.width, h.height, mode, extras);
  if (!status.ok()) return status;
  if (inPlace) {
    status = takeSamples(pos_, count, bytes, loaded);
  } else if (binary) {
    std::memcpy(loaded.pixels.data(), data_.data() + pos_, size_t(count));
    for (uint8_t value : loaded.pixels)
      if (value > h.maxval) return FileStatus::runError("PNM sample over the maximum value");
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
    case ImageMode::grayscale: return alpha ? "GRAYSCALE_ALPHA" : "GRAYSCALE";
    case ImageMode::cmyk: return alpha ? "CMYK_ALPHA" : "CMYK";
    default: return alpha ? "RGB_ALPHA" : "RGB";
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

FileStatus encodePnm(const Raster& raster, bool pam, EncodedImage& encoded) {
  const std::string size = std::to_string(raster.width) + (pam ? "\nHEIGHT " : " ") +
                           std::to_string(raster.height);
  const std::string header =
      pam ? "P7\nWIDTH " + size + "\nDEPTH " + std::to_string(raster.channels()) +
                "\nMAXVAL 255\nTUPLTYPE " + tupleTypeOf(raster) + "\nENDHDR\n"
          : std::string(raster.mode == ImageMode::rgb ? "P6\n" : "P5\n") + size + "\n255\n";
  Bytes out(header.begin(), header.end());
  // Only CMYK differs from the raster's bytes (ink amounts); the rest is written as it stands.
  encoded.pixelsFollow = raster.mode != ImageMode::cmyk;
  if (!encoded.pixelsFollow) {
    out.insert(out.end(), raster.pixels.begin(), raster.pixels.end());
    const int channels = raster.channels();
    for (size_t i = 0; i < raster.pixels.size(); ++i)
      if (int(i % channels) < 4) out[header.size() + i] = uint8_t(255 - out[header.size() + i]);
  }
  encoded.bytes.swap(out);
  return FileStatus::success();
}
