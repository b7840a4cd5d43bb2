#include "imagefiles/native/metadata.h"

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <memory>

namespace {

// Exiv2 reports what it skips on stderr unless told otherwise; a damaged tag is not the
// user's concern as long as the rest of the block survives.
struct QuietExiv2 {
  QuietExiv2() { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); }
};
const QuietExiv2 quietExiv2;

// Tags of the first directory that describe how a TIFF stores its pixels (or a profile the
// codecs carry themselves): true of the input file only.
const char* const kLayoutTags[] = {
    "Exif.Image.NewSubfileType",
    "Exif.Image.SubfileType",
    "Exif.Image.ImageWidth",
    "Exif.Image.ImageLength",
    "Exif.Image.BitsPerSample",
    "Exif.Image.Compression",
    "Exif.Image.PhotometricInterpretation",
    "Exif.Image.FillOrder",
    "Exif.Image.StripOffsets",
    "Exif.Image.SamplesPerPixel",
    "Exif.Image.RowsPerStrip",
    "Exif.Image.StripByteCounts",
    "Exif.Image.PlanarConfiguration",
    "Exif.Image.Predictor",
    "Exif.Image.TileWidth",
    "Exif.Image.TileLength",
    "Exif.Image.TileOffsets",
    "Exif.Image.TileByteCounts",
    "Exif.Image.ExtraSamples",
    "Exif.Image.SampleFormat",
    "Exif.Image.InkSet",
    "Exif.Image.JPEGTables",
    "Exif.Image.JPEGProc",
    "Exif.Image.YCbCrCoefficients",
    "Exif.Image.YCbCrSubSampling",
    "Exif.Image.YCbCrPositioning",
    "Exif.Image.ReferenceBlackWhite",
    "Exif.Image.InterColorProfile",
    "Exif.Image.XMLPacket",
    "Exif.Image.IPTCNAA",
    "Exif.Image.ImageResources",
    "Exif.Image.SubIFDs",
};

void eraseKey(Exiv2::ExifData& exif, const char* key) {
  auto found = exif.findKey(Exiv2::ExifKey(key));
  if (found != exif.end()) exif.erase(found);
}

int orientationOf(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp) {
  long value = 1;
  auto found = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
  if (found != exif.end() && found->count() > 0) {
    value = found->toLong();
  } else {
    auto tag = xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
    if (tag != xmp.end() && tag->count() > 0) value = tag->toLong();
  }
  return value >= 1 && value <= 8 ? int(value) : 1;
}

// The EXIF resolution in pixels per inch; false when absent or unusable. The unit defaults
// to inches, as EXIF says.
bool exifResolution(const Exiv2::ExifData& exif, Resolution& resolution) {
  auto x = exif.findKey(Exiv2::ExifKey("Exif.Image.XResolution"));
  auto y = exif.findKey(Exiv2::ExifKey("Exif.Image.YResolution"));
  if (x == exif.end() || x->count() == 0) return false;
  const double horizontal = x->toFloat();
  const double vertical = (y != exif.end() && y->count() > 0) ? y->toFloat() : horizontal;
  long unit = 2;
  auto u = exif.findKey(Exiv2::ExifKey("Exif.Image.ResolutionUnit"));
  if (u != exif.end() && u->count() > 0) unit = u->toLong();
  const double scale = unit == 2 ? 1.0 : unit == 3 ? 2.54 : 0.0;
  if (!(scale > 0) || !(horizontal > 0) || !(vertical > 0) || !std::isfinite(horizontal) ||
      !std::isfinite(vertical))
    return false;
  resolution = {true, std::round(horizontal * scale * 100.0) / 100.0,
                std::round(vertical * scale * 100.0) / 100.0};
  return true;
}

Exiv2::URational rationalOf(double ppi) {
  const double hundredths = std::round(ppi * 100.0);
  if (std::fmod(hundredths, 100.0) == 0.0) return {uint32_t(hundredths / 100.0), 1};
  return {uint32_t(hundredths), 100};
}

void makeTrue(const Raster& raster, Exiv2::ExifData& exif) {
  Exiv2::ExifThumb(exif).erase();
  if (exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension")) != exif.end() ||
      exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelYDimension")) != exif.end()) {
    exif["Exif.Photo.PixelXDimension"] = uint32_t(raster.width);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(raster.height);
  }
  if (raster.resolution.known) {
    exif["Exif.Image.XResolution"] = rationalOf(raster.resolution.horizontal);
    exif["Exif.Image.YResolution"] = rationalOf(raster.resolution.vertical);
    exif["Exif.Image.ResolutionUnit"] = uint16_t(2);
  }
}

}  // namespace

namespace {

template <typename Open>
void readMetadataOf(Open open, Raster& raster) {
  ImageMetadata metadata;
  bool foundResolution = false;
  Resolution resolution;
  try {
    auto image = open();
    if (image.get() == nullptr) return;
    image->readMetadata();
    Exiv2::ExifData exif = image->exifData();
    metadata.orientation = orientationOf(exif, image->xmpData());
    foundResolution = exifResolution(exif, resolution);
    for (const char* key : kLayoutTags) eraseKey(exif, key);
    Exiv2::ExifThumb(exif).erase();
    if (!exif.empty()) {
      Exiv2::Blob blob;
      Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
      metadata.exif.assign(blob.begin(), blob.end());
    }
    if (!image->iptcData().empty()) {
      Exiv2::DataBuf records = Exiv2::IptcParser::encode(image->iptcData());
      metadata.iptc.assign(records.pData_, records.pData_ + records.size_);
    }
    metadata.xmp = image->xmpPacket();
  } catch (const std::exception&) {
    return;
  }
  raster.metadata.exif = std::move(metadata.exif);
  raster.metadata.iptc = std::move(metadata.iptc);
  raster.metadata.xmp = std::move(metadata.xmp);
  raster.metadata.orientation = metadata.orientation;
  if (!raster.resolution.known && foundResolution) raster.resolution = resolution;
}

}  // namespace

void readFileMetadata(const Bytes& file, Raster& raster) {
  readMetadataOf([&] { return Exiv2::ImageFactory::open(file.data(), long(file.size())); }, raster);
}

void readFileMetadata(const std::string& path, Raster& raster) {
  readMetadataOf([&] { return Exiv2::ImageFactory::open(path); }, raster);
}

namespace {

// Embeds raster.metadata into `file` and hands the result to `take` while Exiv2 still holds it,
// so that a caller who only writes it out makes no copy of its own; nothing is handed over when
// there is no metadata or it cannot be embedded.
template <typename Take>
FileStatus embedMetadata(const Raster& raster, const Bytes& file, const Take& take) {
  const ImageMetadata& metadata = raster.metadata;
  try {
    auto image = Exiv2::ImageFactory::open(file.data(), long(file.size()));
    if (image.get() == nullptr) return FileStatus::runError("cannot add the metadata");
    image->readMetadata();  // keeps what the codec wrote, the profile among it
    Exiv2::ExifData exif;
    if (!metadata.exif.empty())
      Exiv2::ExifParser::decode(exif, metadata.exif.data(), uint32_t(metadata.exif.size()));
    if (!exif.empty()) {
      makeTrue(raster, exif);
      image->setExifData(exif);
    }
    Exiv2::IptcData iptc;
    if (!metadata.iptc.empty() &&
        Exiv2::IptcParser::decode(iptc, metadata.iptc.data(), uint32_t(metadata.iptc.size())) == 0)
      image->setIptcData(iptc);
    if (!metadata.xmp.empty()) {
      image->setXmpPacket(metadata.xmp);
      image->writeXmpFromPacket(true);
    }
    image->writeMetadata();
    // The file with its metadata now lies in Exiv2's memory: handed over in place, not read
    // into another buffer first (for a large TIFF that is another whole copy of the picture).
    Exiv2::BasicIo& io = image->io();
    if (io.open() != 0) return FileStatus::runError("cannot add the metadata");
    const ByteRange written{io.mmap(), size_t(io.size())};
    FileStatus status = take(written);
    io.munmap();
    io.close();
    return status;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    return FileStatus::runError(std::string("cannot add the metadata: ") + error.what());
  }
}

}  // namespace

FileStatus writeFileMetadata(const Raster& raster, Bytes& file) {
  if (!raster.metadata.hasBlocks()) return FileStatus::success();
  return embedMetadata(raster, file, [&](const ByteRange& written) {
    file.assign(written.data, written.data + written.size);
    return FileStatus::success();
  });
}

FileStatus saveWithMetadata(const Raster& raster, Bytes& file, const std::string& path) {
  if (!raster.metadata.hasBlocks()) return writeFileAtomically(path, file);
  return embedMetadata(raster, file, [&](const ByteRange& written) {
    // The encoded file is not needed once Exiv2 has its own copy, and its memory goes before
    // the write; Exiv2 may instead have changed the TIFF where it lay, and then it is the copy.
    const uint8_t* begin = file.data();
    if (written.data < begin || written.data >= begin + file.size()) Bytes().swap(file);
    return writeFileAtomically(path, std::vector<ByteRange>{written});
  });
}
