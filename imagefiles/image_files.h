// Loading and saving images by file name.
//
// The format follows the extension, in any letter case: .png, .jpg/.jpeg and .tif/.tiff in
// the native build; .pnm/.ppm/.pgm/.pam and .bmp everywhere. Which modes each can hold:
//   PNG   grayscale, RGB, with or without alpha (palette images load as RGB)
//   JPEG  grayscale, RGB, CMYK
//   TIFF  grayscale, RGB, CMYK, Lab, with or without alpha
//   PGM   grayscale; PPM RGB; PNM either; PAM grayscale, RGB, CMYK, with or without alpha
//   BMP   grayscale, RGB, RGB with alpha
// readImageFile fills `raster` only on success. writeImageFile replaces the file atomically
// (see file_bytes.h): on failure nothing is left at `path` that was not there before.
// An unknown extension, or a format that cannot hold the raster's mode, is a usage error
// whose message names a format of this build that can; everything else is a run error.
#pragma once

#include "imagefiles/file_status.h"
#include "imagefiles/raster.h"

#include <string>

struct WriteOptions {
  int jpegQuality = 95;       // 1..100
  int jpegSubsampling = 444;  // 444, 422 or 420 (chroma of RGB images; CMYK is never subsampled)
  int tiffCompression = 0;    // libtiff's scheme number; 0, or one this libtiff cannot write: LZW
};

FileStatus readImageFile(const std::string& path, Raster& raster);

// Whether `path` names a format that can hold an image of this mode, before any work is done.
FileStatus checkOutputFormat(const std::string& path, ImageMode mode, int extraChannels);

// The name of the format `path` is written in ("JPEG", "TIFF", ...), or a usage error naming
// the extensions this build knows.
FileStatus outputFormatName(const std::string& path, std::string* name);

FileStatus writeImageFile(const std::string& path, const Raster& raster,
                          const WriteOptions& options = WriteOptions());
