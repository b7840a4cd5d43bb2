// Feeds arbitrary bytes to the metadata layer as a whole file (Exiv2 picks the container from
// the bytes: JPEG, TIFF, PNG or none), then writes whatever it kept into a freshly encoded
// JPEG and reads that back, as a sharpen from a damaged camera file would. Besides memory
// errors and undefined behaviour it checks what the layer promises: reading never fails the
// picture (metadata it cannot make sense of is left out, the orientation stays 1..8), a
// write that is refused says why in one line, and a TIFF written with the metadata spliced in
// is the file Exiv2's whole rewrite gives.
#include <cstdint>
#include <cstdlib>

#include "imagefiles/codecs.h"
#include "imagefiles/native/metadata.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Raster raster;
  if (!allocateRaster(raster, 4, 4, ImageMode::rgb, 0).ok()) return 0;
  const Bytes file(data, data + size);
  readFileMetadata(file, raster);
  require(raster.metadata.orientation >= 1 && raster.metadata.orientation <= 8);

  Bytes encoded;
  if (!encodeJpeg(raster, WriteOptions{}, encoded).ok()) return 0;
  const FileStatus status = writeFileMetadata(raster, encoded);
  if (!status.ok()) {
    require(!status.message.empty() && status.message.find('\n') == std::string::npos);
    return 0;
  }
  Raster reread;
  if (!allocateRaster(reread, 4, 4, ImageMode::rgb, 0).ok()) return 0;
  readFileMetadata(encoded, reread);
  require(reread.metadata.orientation == raster.metadata.orientation);

  // A TIFF takes the metadata spliced into the head Exiv2 makes of a stand-in; where it does,
  // the file must be Exiv2's rewrite of the whole encoded picture.
  Bytes spliced;
  bool embedded = false;
  if (!encodeTiff(raster, WriteOptions{}, spliced, &embedded).ok() || !embedded) return 0;
  Bytes rewritten;
  if (!encodeTiff(raster, WriteOptions{}, rewritten).ok() ||
      !writeFileMetadata(raster, rewritten).ok())
    return 0;
  require(spliced == rewritten);
  return 0;
}
