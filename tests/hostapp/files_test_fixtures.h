// Small images and scratch folders shared by the image-file tests (header only: the test
// program is built from the *_test.cpp files alone).
#pragma once

#include "imagefiles/file_bytes.h"
#include "imagefiles/raster.h"

#include <lcms2.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace files_test {

// A width x height raster whose samples all differ between neighbouring pixels and channels,
// so that a swapped channel, a flipped row or an off-by-one column shows.
inline Raster distinctRaster(int width, int height, ImageMode mode, int extraChannels) {
  Raster raster;
  allocateRaster(raster, width, height, mode, extraChannels);
  const int channels = raster.channels();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        raster.row(y)[x * channels + c] = uint8_t((x * 37 + y * 11 + c * 71 + 5) % 256);
  return raster;
}

// Gentle ramps, for lossy formats, where sharp detail would hide a real fault in the noise.
inline Raster smoothRaster(int width, int height, ImageMode mode) {
  Raster raster;
  allocateRaster(raster, width, height, mode, 0);
  const int channels = raster.channels();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        raster.row(y)[x * channels + c] = uint8_t(std::min(255, 30 + c * 50 + x * 3 + y * 2));
  return raster;
}

inline Bytes saveProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  Bytes bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A real ICC profile whose colour space suits the mode (libpng checks that), made with
// LittleCMS; for CMYK, arbitrary bytes (only TIFF and JPEG carry it, and neither looks).
inline Bytes profileFor(ImageMode mode) {
  switch (mode) {
    case ImageMode::grayscale: {
      cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
      Bytes bytes = saveProfile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
      cmsFreeToneCurve(curve);
      return bytes;
    }
    case ImageMode::rgb:
      return saveProfile(cmsCreate_sRGBProfile());
    case ImageMode::lab:
      return saveProfile(cmsCreateLab4Profile(nullptr));
    case ImageMode::cmyk:
      break;
  }
  Bytes bytes(300);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 1);
  return bytes;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "inkjet-files-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::string path(const std::string& name) const { return (root_ / name).string(); }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path root_;
};

// Opens a TIFF for writing with its basic fields set; the caller writes rows and closes it.
inline TIFF* startTiff(const std::string& path, uint32_t width, uint32_t height, int bits,
                       int samples, int photometric) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  return tif;
}

inline Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace files_test
