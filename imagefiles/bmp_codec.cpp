// Windows bitmaps: 8-bit palette, 24-bit and 32-bit (with an alpha mask) images, bottom-up or
// top-down, with the resolution in pixels per metre and an embedded ICC profile (V5 header).
// Saved as 8-bit with a gray palette, 24-bit, or 32-bit with alpha; the V5 header is used only
// when there is alpha or a profile to carry, so that plain images stay readable everywhere.
#include "imagefiles/codecs.h"

#include <cstring>

namespace {

constexpr uint32_t kRgb = 0, kBitfields = 3;
constexpr uint32_t kEmbedded = 0x4D424544;  // 'MBED'
constexpr uint32_t kSrgb = 0x73524742;      // 'sRGB'
constexpr uint32_t kFileHeader = 14, kInfoHeader = 40, kV5Header = 124;

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

struct BmpInfo {
  uint32_t headerSize = 0, compression = 0, colorsUsed = 0, pixelOffset = 0;
  int32_t width = 0, height = 0;
  uint16_t bitCount = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  double ppmX = 0, ppmY = 0;
};

FileStatus parseInfo(const Bytes& b, BmpInfo& info) {
  if (b.size() < kFileHeader + 4 || b[0] != 'B' || b[1] != 'M')
    return FileStatus::runError("not a BMP image");
  info.pixelOffset = le32(&b[10]);
  info.headerSize = le32(&b[14]);
  if (info.headerSize < kInfoHeader || info.headerSize > 1024)
    return FileStatus::runError("unsupported BMP header of " + std::to_string(info.headerSize) +
                                " bytes");
  if (b.size() < kFileHeader + info.headerSize) return FileStatus::runError("truncated BMP header");
  const uint8_t* h = &b[kFileHeader];
  info.width = int32_t(le32(h + 4));
  info.height = int32_t(le32(h + 8));
  info.bitCount = le16(h + 14);
  info.compression = le32(h + 16);
  info.ppmX = le32(h + 24);
  info.ppmY = le32(h + 28);
  info.colorsUsed = le32(h + 32);
  const size_t maskAt = kFileHeader + kInfoHeader;
  const int masks = info.headerSize >= 56 ? 4 : 3;
  if (info.compression == kBitfields) {
    if (b.size() < maskAt + 4 * masks) return FileStatus::runError("truncated BMP header");
    for (int i = 0; i < masks; ++i) info.masks[i] = le32(&b[maskAt + 4 * i]);
  }
  return FileStatus::success();
}

bool standardMasks(const BmpInfo& info) {
  return info.masks[0] == 0x00FF0000 && info.masks[1] == 0x0000FF00 &&
         info.masks[2] == 0x000000FF && (info.masks[3] == 0 || info.masks[3] == 0xFF000000);
}

FileStatus checkKind(const BmpInfo& info) {
  const bool palette = info.bitCount == 8 && info.compression == kRgb;
  const bool direct =
      (info.bitCount == 24 && info.compression == kRgb) ||
      (info.bitCount == 32 && info.compression == kRgb) ||
      (info.bitCount == 32 && info.compression == kBitfields && standardMasks(info));
  if (palette || direct) return FileStatus::success();
  if (info.bitCount == 48 || info.bitCount == 64) return FileStatus::runError(kSixteenBitMessage);
  return FileStatus::runError("unsupported BMP: " + std::to_string(info.bitCount) +
                              " bits per pixel, compression " + std::to_string(info.compression));
}

// The palette as RGB triples; whether all its entries are gray.
FileStatus readPalette(const Bytes& b, const BmpInfo& info, std::vector<uint8_t>& rgb, bool& gray) {
  const size_t count = info.colorsUsed ? info.colorsUsed : 256;
  const size_t at = kFileHeader + info.headerSize + (info.compression == kBitfields ? 12 : 0);
  if (count > 256 || at + 4 * count > b.size() || at + 4 * count > info.pixelOffset)
    return FileStatus::runError("corrupt BMP palette");
  gray = true;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = &b[at + 4 * i];
    rgb.insert(rgb.end(), {entry[2], entry[1], entry[0]});
    gray = gray && entry[0] == entry[1] && entry[1] == entry[2];
  }
  return FileStatus::success();
}

FileStatus readPixels(const Bytes& b, const BmpInfo& info, const std::vector<uint8_t>& palette,
                      Raster& raster) {
  const int width = raster.width, height = raster.height, channels = raster.channels();
  const size_t stride = (size_t(width) * info.bitCount + 31) / 32 * 4;
  const size_t colors = palette.size() / 3;
  for (int y = 0; y < height; ++y) {
    const uint8_t* src =
        &b[info.pixelOffset + stride * size_t(info.height > 0 ? height - 1 - y : y)];
    uint8_t* out = raster.row(y);
    for (int x = 0; x < width; ++x, out += channels) {
      if (info.bitCount == 8) {
        if (src[x] >= colors) return FileStatus::runError("BMP pixel outside its palette");
        std::memcpy(out, &palette[3 * src[x]], size_t(channels));  // gray: r = g = b
        continue;
      }
      const uint8_t* p = src + size_t(x) * (info.bitCount / 8);
      out[0] = p[2];
      out[1] = p[1];
      out[2] = p[0];
      if (channels == 4) out[3] = p[3];
    }
  }
  return FileStatus::success();
}

FileStatus readProfile(const Bytes& b, const BmpInfo& info, Raster& raster) {
  if (info.headerSize < kV5Header) return FileStatus::success();
  const uint8_t* h = &b[kFileHeader];
  const uint64_t at = uint64_t(kFileHeader) + le32(h + 112), size = le32(h + 116);
  if (le32(h + 56) != kEmbedded || size == 0) return FileStatus::success();
  if (at + size > b.size()) return FileStatus::runError("truncated BMP colour profile");
  raster.iccProfile.assign(b.begin() + long(at), b.begin() + long(at + size));
  return FileStatus::success();
}

}  // namespace

FileStatus decodeBmp(const Bytes& b, Raster& raster) {
  BmpInfo info;
  FileStatus status = parseInfo(b, info);
  if (status.ok()) status = checkKind(info);
  if (!status.ok()) return status;
  const int64_t width = info.width, height = info.height < 0 ? -int64_t(info.height) : info.height;
  status = checkDimensions(width, height);
  if (!status.ok()) return status;
  const uint64_t stride = (uint64_t(width) * info.bitCount + 31) / 32 * 4;
  if (info.pixelOffset > b.size() || stride * uint64_t(height) > b.size() - info.pixelOffset)
    return FileStatus::runError("truncated BMP pixel data");
  std::vector<uint8_t> palette;
  bool gray = false;
  if (info.bitCount == 8 && !(status = readPalette(b, info, palette, gray)).ok()) return status;
  const bool alpha = info.bitCount == 32 && info.masks[3] != 0;
  Raster loaded;
  status = allocateRaster(loaded, width, height, gray ? ImageMode::grayscale : ImageMode::rgb,
                          alpha ? 1 : 0);
  if (status.ok()) status = readPixels(b, info, palette, loaded);
  if (!status.ok()) return status;
  if (info.ppmX > 0 && info.ppmY > 0)
    loaded.resolution = {true, ppiFromPixelsPerMetre(info.ppmX), ppiFromPixelsPerMetre(info.ppmY)};
  status = readProfile(b, info, loaded);
  if (!status.ok()) return status;
  raster = std::move(loaded);
  return FileStatus::success();
}

namespace {

void put32(Bytes& b, uint32_t v) {
  b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}
void put16(Bytes& b, uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }

void putInfoHeader(Bytes& b, const Raster& raster, uint32_t headerSize, uint16_t bits,
                   uint32_t imageSize, uint32_t profileAt) {
  const bool v5 = headerSize == kV5Header;
  put32(b, headerSize);
  put32(b, uint32_t(raster.width));
  put32(b, uint32_t(raster.height));
  put16(b, 1);
  put16(b, bits);
  put32(b, v5 && bits == 32 ? kBitfields : kRgb);
  put32(b, imageSize);
  put32(b, raster.resolution.known ? pixelsPerMetreFromPpi(raster.resolution.horizontal) : 0);
  put32(b, raster.resolution.known ? pixelsPerMetreFromPpi(raster.resolution.vertical) : 0);
  put32(b, bits == 8 ? 256 : 0);
  put32(b, 0);
  if (!v5) return;
  for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
    put32(b, bits == 32 ? mask : 0);
  put32(b, raster.iccProfile.empty() ? kSrgb : kEmbedded);
  b.resize(b.size() + 48, 0);  // endpoints and gammas, unused with these colour spaces
  put32(b, 4);                 // rendering intent: pictures
  put32(b, raster.iccProfile.empty() ? 0 : profileAt);
  put32(b, uint32_t(raster.iccProfile.size()));
  put32(b, 0);
}

}  // namespace

FileStatus encodeBmp(const Raster& raster, Bytes& bytes) {
  const uint16_t bits = uint16_t(8 * raster.channels());
  const bool v5 = raster.extraChannels > 0 || !raster.iccProfile.empty();
  const uint32_t headerSize = v5 ? kV5Header : kInfoHeader;
  const uint32_t paletteSize = bits == 8 ? 1024 : 0;
  const size_t stride = (size_t(raster.width) * bits + 31) / 32 * 4;
  const uint64_t imageSize = uint64_t(stride) * uint64_t(raster.height);
  const uint64_t pixelAt = kFileHeader + headerSize + paletteSize;
  const uint64_t total = pixelAt + imageSize + raster.iccProfile.size();
  if (total > 0xFFFFFFFFu) return FileStatus::runError("too large for a BMP file");
  Bytes out;
  out.reserve(size_t(total));
  out.insert(out.end(), {'B', 'M'});
  put32(out, uint32_t(total));
  put32(out, 0);
  put32(out, uint32_t(pixelAt));
  putInfoHeader(out, raster, headerSize, bits, uint32_t(imageSize),
                uint32_t(pixelAt + imageSize - kFileHeader));
  for (int i = 0; i < (bits == 8 ? 256 : 0); ++i) put32(out, uint32_t(i * 0x010101));
  const int channels = raster.channels();
  for (int y = raster.height - 1; y >= 0; --y) {
    const uint8_t* p = raster.row(y);
    const size_t rowStart = out.size();
    for (int x = 0; x < raster.width; ++x, p += channels) {
      if (channels == 1)
        out.push_back(p[0]);
      else
        out.insert(out.end(), {p[2], p[1], p[0]});
      if (channels == 4) out.push_back(p[3]);
    }
    out.resize(rowStart + stride, 0);
  }
  out.insert(out.end(), raster.iccProfile.begin(), raster.iccProfile.end());
  bytes.swap(out);
  return FileStatus::success();
}
