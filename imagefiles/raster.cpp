// Raster sizes and allocation.
#include "imagefiles/raster.h"

#include <cmath>
#include <limits>
#include <new>
#include <string>

int colorChannelsOf(ImageMode mode) {
  switch (mode) {
    case ImageMode::grayscale:
      return 1;
    case ImageMode::cmyk:
      return 4;
    case ImageMode::rgb:
    case ImageMode::lab:
      return 3;
  }
  return 3;
}

const char* modeName(ImageMode mode) {
  switch (mode) {
    case ImageMode::grayscale:
      return "grayscale";
    case ImageMode::rgb:
      return "RGB";
    case ImageMode::cmyk:
      return "CMYK";
    case ImageMode::lab:
      return "Lab";
  }
  return "unknown";
}

double ppiFromPixelsPerMetre(double pixelsPerMetre) {
  return std::round(pixelsPerMetre * 0.0254 * 100.0) / 100.0;
}

uint32_t pixelsPerMetreFromPpi(double ppi) {
  const double perMetre = std::round(ppi / 0.0254);
  return perMetre < 1 ? 1 : perMetre > 4e9 ? 4000000000u : uint32_t(perMetre);
}

int Raster::colorChannels() const { return colorChannelsOf(mode); }

ReadLimits& readLimits() {
  static ReadLimits limits;
  return limits;
}

FileStatus checkDimensions(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return FileStatus::runError("the image has no pixels");
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (width > kMaxDocumentSide || height > kMaxDocumentSide)
    return FileStatus::runError("the image is " + size + " pixels; documents are limited to " +
                                std::to_string(kMaxDocumentSide) + " pixels either way");
  const uint64_t limit = readLimits().maxPixels;
  if (limit != 0 && uint64_t(width) * uint64_t(height) > limit)
    return FileStatus::runError("the image is " + size + " pixels, over the limit of " +
                                std::to_string(limit) + " pixels (see --max-pixels)");
  return FileStatus::success();
}

FileStatus checkCodedSize(uint64_t decodedBytes, uint64_t sourceBytes, uint64_t maxExpansion,
                          uint64_t slack) {
  const uint64_t most = sourceBytes > (std::numeric_limits<uint64_t>::max() - slack) / maxExpansion
                            ? std::numeric_limits<uint64_t>::max()
                            : sourceBytes * maxExpansion + slack;
  if (decodedBytes <= most) return FileStatus::success();
  return FileStatus::runError("the image declares " + std::to_string(decodedBytes) +
                              " bytes of samples, more than its " + std::to_string(sourceBytes) +
                              " bytes of data can hold: the file is damaged or truncated");
}

FileStatus describeRaster(Raster& raster, int64_t width, int64_t height, ImageMode mode,
                          int extraChannels) {
  FileStatus status = checkDimensions(width, height);
  if (!status.ok()) return status;
  if (extraChannels < 0 || extraChannels > kMaxExtraChannels)
    return FileStatus::runError("the image has " + std::to_string(extraChannels) +
                                " extra channels; at most " + std::to_string(kMaxExtraChannels) +
                                " are supported");
  const uint64_t bytes =
      uint64_t(width) * uint64_t(height) * uint64_t(colorChannelsOf(mode) + extraChannels);
  if (bytes > std::numeric_limits<size_t>::max() / 2)
    return FileStatus::runError("the image is too large for this machine's memory");
  raster.width = int(width);
  raster.height = int(height);
  raster.mode = mode;
  raster.extraChannels = extraChannels;
  return FileStatus::success();
}

FileStatus allocateRaster(Raster& raster, int64_t width, int64_t height, ImageMode mode,
                          int extraChannels) {
  Raster sized;
  FileStatus status = describeRaster(sized, width, height, mode, extraChannels);
  if (!status.ok()) return status;
  try {
    std::vector<uint8_t> pixels(size_t(height) * sized.rowBytes(), 0);
    raster.pixels.swap(pixels);
  } catch (const std::bad_alloc&) {
    return FileStatus::runError("out of memory for a " + std::to_string(width) + "x" +
                                std::to_string(height) + " image");
  }
  raster.width = sized.width;
  raster.height = sized.height;
  raster.mode = sized.mode;
  raster.extraChannels = sized.extraChannels;
  return FileStatus::success();
}

void narrowDeepSamples(Raster& raster) {
  for (size_t i = 0; i < raster.pixels.size() && i < raster.deep.size(); ++i)
    raster.pixels[i] = narrowSample(raster.deep[i]);
}

void widenRow(const Raster& raster, int y, uint16_t* out) {
  const size_t begin = size_t(y) * raster.rowBytes();
  for (size_t i = 0; i < raster.rowBytes(); ++i)
    out[i] = widenSample(raster.deep[begin + i], raster.pixels[begin + i]);
}
