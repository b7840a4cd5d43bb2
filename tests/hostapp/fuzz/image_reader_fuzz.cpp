// Feeds arbitrary bytes to one image reader, chosen when the target is built (INKJET_READER:
// png, jpeg, tiff, pnm or bmp). Besides memory errors and undefined behaviour it checks what
// every reader promises: a refusal leaves the raster alone and says why in one line; an image
// that is read has a size within the document limits, the pixels that size needs, and a known
// number of extra channels. The pixel limit is lowered so that no input can make the fuzzer
// allocate more than a few megabytes and every run stays fast.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagefiles/codecs.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

FileStatus decode(Bytes& bytes, Raster& raster) {
#if INKJET_READER_png
  return decodePng(bytes, raster);
#elif INKJET_READER_jpeg
  return decodeJpeg(bytes, raster);
#elif INKJET_READER_tiff
  return decodeTiff(bytes, raster);
#elif INKJET_READER_pnm
  return decodePnm(bytes, raster);
#elif INKJET_READER_bmp
  return decodeBmp(bytes, raster);
#else
#error "INKJET_READER_<format> names the reader to fuzz"
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  readLimits().maxPixels = 1 << 20;
  Bytes bytes(data, data + size);
  Raster raster;
  raster.width = -1;
  const FileStatus status = decode(bytes, raster);
  if (!status.ok()) {
    require(raster.width == -1);
    require(!status.message.empty() && status.message.find('\n') == std::string::npos);
    return 0;
  }
  require(raster.width >= 1 && raster.width <= kMaxDocumentSide);
  require(raster.height >= 1 && raster.height <= kMaxDocumentSide);
  require(uint64_t(raster.width) * uint64_t(raster.height) <= readLimits().maxPixels);
  require(raster.extraChannels >= 0 && raster.extraChannels <= kMaxExtraChannels);
  require(raster.pixels.size() == size_t(raster.height) * raster.rowBytes());
  return 0;
}
