#include "hostapp/snapshot_png.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imagefiles/file_bytes.h"

namespace {

constexpr size_t kStoredBlock = 65535;  // the largest stored deflate block

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBig32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  putBig32(out, uint32_t(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBig32(out, crc32(out.data() + start, out.size() - start));
}

// The scanlines (filter byte 0 before each row) wrapped in a zlib stream of stored blocks.
std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t offset = 0;
  do {
    size_t size = std::min(kStoredBlock, raw.size() - offset);
    bool last = offset + size == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(uint8_t(size));
    out.push_back(uint8_t(size >> 8));
    out.push_back(uint8_t(~size));
    out.push_back(uint8_t(~size >> 8));
    out.insert(out.end(), raw.begin() + long(offset), raw.begin() + long(offset + size));
    offset += size;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBig32(out, (b << 16) | a);
  return out;
}

}  // namespace

FileStatus writeSnapshotPng(const std::string& path, const Raster& rgb) {
  std::vector<uint8_t> raw;
  raw.reserve((rgb.rowBytes() + 1) * size_t(rgb.height));
  for (int y = 0; y < rgb.height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.row(y), rgb.row(y) + rgb.rowBytes());
  }
  std::vector<uint8_t> header;
  putBig32(header, uint32_t(rgb.width));
  putBig32(header, uint32_t(rgb.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  return writeFileAtomically(path, png);
}
