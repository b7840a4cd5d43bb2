// Reading and writing images a few rows at a time, top to bottom, for pictures too large to
// hold whole.
//
// openImageRowReader opens a file whose pixels can be read in order without holding them all:
// the reader's description() is the Raster readImageFile would give (size, mode, resolution,
// profile, metadata, storage hints) without its pixels, and readRows() hands over the next rows
// with the same bytes readImageFile would have put there. Files that cannot be read that way
// (BMP, whose rows usually run bottom-up; 16-bit samples; plain-text PNM; progressive JPEG and
// interlaced PNG, whose decoders hold the whole picture anyway; PNG with chunks after its
// pixels; TIFF palettes and separate planes) give success and no reader,
// with `whyNot` saying why: the caller reads them whole.
//
// openImageRowWriter starts writing `path` for a picture described by `description` (its
// pixels are not looked at): writeRows() takes the rows in order, finish() completes the file
// and puts it in place of `path`, atomically as writeImageFile does. The bytes are those
// writeImageFile would write for the same pixels. A writer destroyed before finish() leaves
// nothing behind. Formats it cannot write by rows give success, no writer and `whyNot`.
// Neither throws.
#pragma once

#include "imagefiles/image_files.h"
#include "imagefiles/raster.h"

#include <memory>
#include <string>

class ImageRowReader {
 public:
  virtual ~ImageRowReader() = default;
  const Raster& description() const { return description_; }
  Raster& description() { return description_; }
  // The next `count` rows into `rows`, count * rowBytes() bytes, rows top to bottom.
  virtual FileStatus readRows(uint8_t* rows, int count) = 0;

 protected:
  Raster description_;
};

class ImageRowWriter {
 public:
  virtual ~ImageRowWriter() = default;
  // The next `count` rows from `rows`, count * rowBytes() bytes.
  virtual FileStatus writeRows(const uint8_t* rows, int count) = 0;
  // After the last row: completes the file and replaces `path` with it.
  virtual FileStatus finish() = 0;
};

FileStatus openImageRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                              std::string* whyNot);

FileStatus openImageRowWriter(const std::string& path, const Raster& description,
                              const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer,
                              std::string* whyNot);
