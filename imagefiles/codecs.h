// The codecs behind image_files.h: each turns a whole file's bytes into a Raster and back.
//
// A decoder fills `raster` only on success (pixels, mode, resolution, profile); its failure
// message says what is wrong with the data, without the file's name, which the caller adds.
// The PNM decoder may take the file's bytes over as the raster's pixels (binary samples that
// need no conversion are already the raster's layout); `bytes` is then left empty.
// An encoder is handed a raster whose mode its format can hold (image_files.cpp checks that
// first) and fills `encoded` only if it succeeds. Neither throws.
// The PNM/PAM and BMP codecs are hand-written and built everywhere; PNG, JPEG and TIFF use
// Debian's libraries and exist only in the native build.
#pragma once

#include "imagefiles/file_bytes.h"
#include "imagefiles/image_files.h"
#include "imagefiles/image_rows.h"
#include "imagefiles/raster.h"

// A file's contents: `bytes`, followed by the raster's pixels as they stand when
// `pixelsFollow` is set (formats whose samples are the raster's bytes, written without a copy).
struct EncodedImage {
  Bytes bytes;
  bool pixelsFollow = false;
  bool metadataEmbedded = false;  // the encoder has put the raster's metadata in already
};

FileStatus decodePnm(Bytes& bytes, Raster& raster);
// `pam` chooses the PAM header; otherwise P5 for grayscale or P6 for RGB.
FileStatus encodePnm(const Raster& raster, bool pam, EncodedImage& encoded);

// Row access (image_rows.h) of the formats that have it. A reader or writer that comes back
// null with success means the file is read or written whole; `whyNot` says why.
FileStatus openPnmRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                            std::string* whyNot);
FileStatus openPnmRowWriter(const std::string& path, const Raster& description, bool pam,
                            std::unique_ptr<ImageRowWriter>& writer);

FileStatus decodeBmp(const Bytes& bytes, Raster& raster);
FileStatus encodeBmp(const Raster& raster, Bytes& bytes);

#ifndef _WIN32
FileStatus decodePng(const Bytes& bytes, Raster& raster);
FileStatus encodePng(const Raster& raster, Bytes& bytes);
FileStatus openPngRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                            std::string* whyNot);
FileStatus openPngRowWriter(const std::string& path, const Raster& description,
                            std::unique_ptr<ImageRowWriter>& writer, std::string* whyNot);
FileStatus decodeJpeg(const Bytes& bytes, Raster& raster);
FileStatus encodeJpeg(const Raster& raster, const WriteOptions& options, Bytes& bytes);
FileStatus openJpegRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                             std::string* whyNot);
FileStatus openJpegRowWriter(const std::string& path, const Raster& description,
                             const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer);
FileStatus decodeTiff(const Bytes& bytes, Raster& raster);
// With `metadataEmbedded`, a raster with metadata may come back with its metadata already in
// the file (then set true); otherwise the caller embeds it.
FileStatus encodeTiff(const Raster& raster, const WriteOptions& options, Bytes& bytes,
                      bool* metadataEmbedded = nullptr);
FileStatus openTiffRowReader(const std::string& path, std::unique_ptr<ImageRowReader>& reader,
                             std::string* whyNot);
FileStatus openTiffRowWriter(const std::string& path, const Raster& description,
                             const WriteOptions& options, std::unique_ptr<ImageRowWriter>& writer,
                             std::string* whyNot);
#endif

// The message of the decoders that take no samples wider than 8 bits.
extern const char* const kSixteenBitMessage;
