// The table of file formats and the dispatch by extension.
#include "imagefiles/image_files.h"

#include "imagefiles/codecs.h"
#ifndef _WIN32
#include "imagefiles/native/metadata.h"
#endif

#include <cctype>
#include <memory>
#include <new>

namespace {

typedef FileStatus (*Decoder)(Bytes&, Raster&);
typedef FileStatus (*Encoder)(const Raster&, const WriteOptions&, EncodedImage&);
typedef bool (*Holds)(ImageMode, int extraChannels);

struct Format {
  const char* name;
  const char* extensions[2];  // the first is the one suggested to the user
  Holds holds;
  Decoder decode;
  Encoder encode;
  bool metadata;  // carries EXIF, IPTC and XMP
};

bool isGrayOrRgb(ImageMode mode) { return mode == ImageMode::grayscale || mode == ImageMode::rgb; }

bool holdsPgm(ImageMode mode, int extras) { return mode == ImageMode::grayscale && extras == 0; }
bool holdsPpm(ImageMode mode, int extras) { return mode == ImageMode::rgb && extras == 0; }
bool holdsPnm(ImageMode mode, int extras) { return isGrayOrRgb(mode) && extras == 0; }
bool holdsPam(ImageMode mode, int extras) { return mode != ImageMode::lab && extras <= 1; }
bool holdsBmp(ImageMode mode, int extras) {
  return (mode == ImageMode::grayscale && extras == 0) || (mode == ImageMode::rgb && extras <= 1);
}

FileStatus encodePlainPnm(const Raster& r, const WriteOptions&, EncodedImage& e) {
  return encodePnm(r, false, e);
}
FileStatus encodePam(const Raster& r, const WriteOptions&, EncodedImage& e) {
  return encodePnm(r, true, e);
}
FileStatus encodeBmpFile(const Raster& r, const WriteOptions&, EncodedImage& e) {
  return encodeBmp(r, e.bytes);
}
FileStatus decodeBmpFile(Bytes& b, Raster& r) { return decodeBmp(b, r); }

#ifndef _WIN32
bool holdsPng(ImageMode mode, int extras) { return isGrayOrRgb(mode) && extras <= 1; }
bool holdsTiff(ImageMode, int) { return true; }
bool holdsJpeg(ImageMode mode, int extras) { return extras == 0 && mode != ImageMode::lab; }

FileStatus encodePngFile(const Raster& r, const WriteOptions&, EncodedImage& e) {
  return encodePng(r, e.bytes);
}
FileStatus encodeTiffFile(const Raster& r, const WriteOptions& o, EncodedImage& e) {
  return encodeTiff(r, o, e.bytes, &e.metadataEmbedded);
}
FileStatus encodeJpegFile(const Raster& r, const WriteOptions& o, EncodedImage& e) {
  return encodeJpeg(r, o, e.bytes);
}
FileStatus decodePngFile(Bytes& b, Raster& r) { return decodePng(b, r); }
FileStatus decodeJpegFile(Bytes& b, Raster& r) { return decodeJpeg(b, r); }
FileStatus decodeTiffFile(Bytes& b, Raster& r) { return decodeTiff(b, r); }
#endif

// In the order in which formats are suggested when the requested one cannot hold a mode.
const Format kFormats[] = {
#ifndef _WIN32
    {"TIFF", {".tif", ".tiff"}, holdsTiff, decodeTiffFile, encodeTiffFile, true},
    {"PNG", {".png", nullptr}, holdsPng, decodePngFile, encodePngFile, true},
    {"JPEG", {".jpg", ".jpeg"}, holdsJpeg, decodeJpegFile, encodeJpegFile, true},
#endif
    {"PAM", {".pam", nullptr}, holdsPam, decodePnm, encodePam, false},
    {"PNM", {".pnm", nullptr}, holdsPnm, decodePnm, encodePlainPnm, false},
    {"PPM", {".ppm", nullptr}, holdsPpm, decodePnm, encodePlainPnm, false},
    {"PGM", {".pgm", nullptr}, holdsPgm, decodePnm, encodePlainPnm, false},
    {"BMP", {".bmp", nullptr}, holdsBmp, decodeBmpFile, encodeBmpFile, false},
};

std::string extensionOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

const Format* formatFor(const std::string& path) {
  const std::string ext = extensionOf(path);
  for (const Format& format : kFormats)
    for (const char* candidate : format.extensions)
      if (candidate && ext == candidate) return &format;
  return nullptr;
}

FileStatus unknownExtension(const std::string& path) {
  std::string known;
  for (const Format& format : kFormats)
    for (const char* candidate : format.extensions)
      if (candidate) known += (known.empty() ? "" : ", ") + std::string(candidate);
  const std::string ext = extensionOf(path);
  return FileStatus::usageError(
      path + ": " +
      (ext.empty() ? std::string("no file extension") : "unsupported file type '" + ext + "'") +
      " (known: " + known + ")");
}

std::string describeMode(ImageMode mode, int extraChannels) {
  std::string text = std::string(modeName(mode)) + " images";
  if (extraChannels == 1) text += " with transparency";
  if (extraChannels > 1) text += " with " + std::to_string(extraChannels) + " extra channels";
  return text;
}

std::string suggestionFor(ImageMode mode, int extraChannels) {
  for (const Format& format : kFormats)
    if (format.holds(mode, extraChannels))
      return "save as " + std::string(format.extensions[0]) + " instead";
  return "no format of this build can hold them";
}

}  // namespace

FileStatus readImageFile(const std::string& path, Raster& raster) {
  const Format* format = formatFor(path);
  if (!format) return unknownExtension(path);
  Bytes bytes;
  FileStatus status = readFileBytes(path, bytes);
  if (!status.ok()) return status;
  Raster loaded;
  try {
    status = format->decode(bytes, loaded);
#ifndef _WIN32
    if (status.ok() && format->metadata) readFileMetadata(bytes, loaded);
#endif
  } catch (const std::bad_alloc&) {
    status = FileStatus::runError("out of memory");
  }
  if (!status.ok()) return FileStatus{status.kind, path + ": " + status.message};
  raster = std::move(loaded);
  return FileStatus::success();
}

FileStatus checkOutputFormat(const std::string& path, ImageMode mode, int extraChannels) {
  const Format* format = formatFor(path);
  if (!format) return unknownExtension(path);
  if (format->holds(mode, extraChannels)) return FileStatus::success();
  return FileStatus::usageError(path + ": " + format->name + " cannot hold " +
                                describeMode(mode, extraChannels) + "; " +
                                suggestionFor(mode, extraChannels));
}

FileStatus outputFormatName(const std::string& path, std::string* name) {
  const Format* format = formatFor(path);
  if (!format) return unknownExtension(path);
  *name = format->name;
  return FileStatus::success();
}

FileStatus writeImageFile(const std::string& path, const Raster& raster,
                          const WriteOptions& options) {
  FileStatus status = checkOutputFormat(path, raster.mode, raster.extraChannels);
  if (!status.ok()) return status;
  if (raster.pixels.size() != size_t(raster.height) * raster.rowBytes() || raster.width <= 0 ||
      raster.height <= 0)
    return FileStatus::runError(path + ": the image has no pixels to save");
  EncodedImage encoded;
  try {
    const Format* format = formatFor(path);
    status = format->encode(raster, options, encoded);
#ifndef _WIN32
    if (status.ok() && format->metadata && !encoded.metadataEmbedded)
      status = writeFileMetadata(raster, encoded.bytes);
#endif
  } catch (const std::bad_alloc&) {
    status = FileStatus::runError("out of memory");
  }
  if (!status.ok()) return FileStatus{status.kind, path + ": " + status.message};
  std::vector<ByteRange> parts{{encoded.bytes.data(), encoded.bytes.size()}};
  if (encoded.pixelsFollow) parts.push_back({raster.pixels.data(), raster.pixels.size()});
  return writeFileAtomically(path, parts);
}

const char* const kSixteenBitMessage =
    "16-bit samples are read from TIFF and PNG files only: save the image as one of those";

FileStatus openImageRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                              std::string* whyNot) {
  reader.reset();
  const Format* format = formatFor(path);
  if (!format) return unknownExtension(path);
  const std::string name = format->name;
  FileStatus status;
  try {
    if (name == "PAM" || name == "PNM" || name == "PPM" || name == "PGM") {
      status = openPnmRowReader(path, reader, whyNot);
#ifndef _WIN32
    } else if (name == "JPEG") {
      status = openJpegRowReader(path, reader, whyNot);
    } else if (name == "TIFF") {
      status = openTiffRowReader(path, reader, whyNot);
    } else if (name == "PNG") {
      status = openPngRowReader(path, reader, whyNot);
#endif
    } else {
      *whyNot = std::string(format->name) + " files are read whole";
    }
#ifndef _WIN32
    if (status.ok() && reader && format->metadata) {
      readFileMetadata(path, reader->description());
    }
#endif
  } catch (const std::bad_alloc&) {
    status = FileStatus::runError("out of memory");
  }
  if (!status.ok()) {
    reader.reset();
    return FileStatus{status.kind, path + ": " + status.message};
  }
  return FileStatus::success();
}

FileStatus openImageRowWriter(const std::string& path, const Raster& description,
                              const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer,
                              std::string* whyNot) {
  writer.reset();
  (void)options;  // PNM, the one format everywhere, has no options
  FileStatus status = checkOutputFormat(path, description.mode, description.extraChannels);
  if (!status.ok()) return status;
  const Format* format = formatFor(path);
  const std::string name = format->name;
  try {
    if (name == "PAM" || name == "PNM" || name == "PPM" || name == "PGM") {
      status = openPnmRowWriter(path, description, name == "PAM", writer);
#ifndef _WIN32
    } else if (name == "JPEG") {
      status = openJpegRowWriter(path, description, options, writer);
    } else if (name == "TIFF") {
      status = openTiffRowWriter(path, description, options, writer, whyNot);
    } else if (name == "PNG") {
      status = openPngRowWriter(path, description, writer, whyNot);
#endif
    } else {
      *whyNot = std::string(format->name) + " files are written whole";
    }
  } catch (const std::bad_alloc&) {
    status = FileStatus::runError("out of memory");
  }
  if (!status.ok()) {
    writer.reset();
    return FileStatus{status.kind, path + ": " + status.message};
  }
  return FileStatus::success();
}
