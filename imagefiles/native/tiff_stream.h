// libtiff over a byte vector in memory, with its messages captured per handle.
//
// openTiff reads from `input` (mode "r") or writes into `output` (mode "w"); the TiffStream
// must outlive the TIFF handle, which the caller closes with TIFFClose. libtiff's error
// messages go to stream.error (the first one is kept, one line), never to stderr, and so do
// the warnings that mean data was lost (a tag's data past the end of the file); other
// warnings are dropped. A non-empty stream.error after a read means the read failed.
// Returns nullptr when libtiff refuses to open, with stream.error set.
#pragma once

#include "imagefiles/file_bytes.h"

#include <string>
#include <vector>
#include <tiffio.h>

// Or, for a picture read or written a band of rows at a time, a file: `file` to read from, or
// `writer` to write into (its size kept in `written`).
struct TiffStream {
  const Bytes* input = nullptr;
  Bytes* output = nullptr;
  std::FILE* file = nullptr;
  uint64_t fileSize = 0;
  AtomicFileWriter* writer = nullptr;
  uint64_t written = 0;
  uint64_t position = 0;
  std::string error;
  // For a TIFF whose header and directories come from elsewhere (a spliced TIFF, tiff_codec.cpp):
  // libtiff's bytes from `keepFrom` on land `shift` bytes further on in `output` or `writer`,
  // the bytes before it are left out, and so is everything once `dropAll` is set. `position`
  // and `written` stay libtiff's own.
  uint64_t keepFrom = 0;
  uint64_t shift = 0;
  bool dropAll = false;
  // With `padTif` (the TIFF written), a strip of an odd number of bytes is followed by a zero
  // byte, as Exiv2 lays strips out; `stripShifts[k]` is where strip k landed past libtiff's own
  // offset for it. finishPadding() pads the last strip.
  TIFF* padTif = nullptr;
  uint32_t strip = 0xffffffffu;
  uint64_t stripBytes = 0;
  std::vector<uint64_t> stripShifts;
};

bool finishPadding(TiffStream& stream);

TIFF* openTiff(TiffStream& stream, const char* mode);
