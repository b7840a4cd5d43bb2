#include "resources/artwork/bitmap_file.h"

#include "resources/artwork/palette.h"

namespace artwork {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelsPerMetre = 2835;  // 72 dpi

int rowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

uint32_t get16(const std::vector<uint8_t>& in, size_t at) {
  return in[at] | uint32_t{in[at + 1]} << 8;
}

uint32_t get32(const std::vector<uint8_t>& in, size_t at) {
  return get16(in, at) | get16(in, at + 2) << 16;
}

void putHeaders(std::vector<uint8_t>& out, const Canvas& canvas, int bitsPerPixel,
                int paletteSize) {
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteSize;
  const uint32_t imageSize = rowBytes(canvas.width(), bitsPerPixel) * canvas.height();
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + imageSize);
  put32(out, 0);
  put32(out, offset);
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<uint32_t>(canvas.width()));
  put32(out, static_cast<uint32_t>(canvas.height()));  // positive: bottom-up rows
  put16(out, 1);
  put16(out, static_cast<uint32_t>(bitsPerPixel));
  put32(out, 0);  // BI_RGB
  put32(out, imageSize);
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, static_cast<uint32_t>(paletteSize));
  put32(out, 0);
}

void putTrueColourRows(std::vector<uint8_t>& out, const Canvas& canvas) {
  const int padding = rowBytes(canvas.width(), 24) - canvas.width() * 3;
  for (int y = canvas.height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const Rgb c = canvas.at(x, y);
      out.insert(out.end(), {c.b, c.g, c.r});
    }
    out.insert(out.end(), static_cast<size_t>(padding), 0);
  }
}

void putIndexedRows(std::vector<uint8_t>& out, const Canvas& canvas, const IndexedPicture& picture,
                    int bitsPerPixel) {
  const int bytes = rowBytes(canvas.width(), bitsPerPixel);
  for (int y = canvas.height() - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(bytes), 0);
    for (int x = 0; x < canvas.width(); ++x) {
      const uint8_t index = picture.indices[static_cast<size_t>(y) * canvas.width() + x];
      if (bitsPerPixel == 8) {
        row[x] = index;
      } else {
        row[x / 2] |= x % 2 ? index : index << 4;  // the left pixel is the high nibble
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

bool fail(std::string& error, const std::string& why) {
  error = why;
  return false;
}

bool readHeaders(const std::vector<uint8_t>& file, DecodedBitmap& out, uint32_t& offset,
                 std::string& error) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize) return fail(error, "file too short");
  if (file[0] != 'B' || file[1] != 'M') return fail(error, "not a BMP file");
  if (get32(file, 2) != file.size()) return fail(error, "file size field does not match the file");
  offset = get32(file, 10);
  if (get32(file, 14) != kInfoHeaderSize) return fail(error, "not a BITMAPINFOHEADER");
  const auto width = static_cast<int32_t>(get32(file, 18));
  const auto height = static_cast<int32_t>(get32(file, 22));
  out.bitsPerPixel = static_cast<int>(get16(file, 28));
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
    return fail(error, "unexpected size (only bottom-up pictures up to 4096 pixels)");
  }
  out.width = width;
  out.height = height;
  if (get16(file, 26) != 1) return fail(error, "more than one plane");
  if (out.bitsPerPixel != 4 && out.bitsPerPixel != 8 && out.bitsPerPixel != 24) {
    return fail(error, "unsupported bit depth");
  }
  if (get32(file, 30) != 0) return fail(error, "compressed");
  const uint32_t used = get32(file, 46);
  const uint32_t tableMax = out.bitsPerPixel == 24 ? 0 : 1u << out.bitsPerPixel;
  out.paletteSize = static_cast<int>(used == 0 ? tableMax : used);
  if (static_cast<uint32_t>(out.paletteSize) > tableMax)
    return fail(error, "colour table too large");
  if (offset != kFileHeaderSize + kInfoHeaderSize + 4u * out.paletteSize) {
    return fail(error, "pixel offset does not follow the colour table");
  }
  const uint64_t expected = offset + uint64_t(rowBytes(width, out.bitsPerPixel)) * height;
  if (expected != file.size()) return fail(error, "pixel data size does not match the picture");
  return true;
}

}  // namespace

std::vector<uint8_t> encodeBitmap(const Canvas& canvas, int bitsPerPixel) {
  std::vector<uint8_t> out;
  if (bitsPerPixel == 24) {
    putHeaders(out, canvas, 24, 0);
    putTrueColourRows(out, canvas);
    return out;
  }
  const IndexedPicture picture = reduceColours(canvas, 1 << bitsPerPixel);
  putHeaders(out, canvas, bitsPerPixel, static_cast<int>(picture.palette.size()));
  for (Rgb c : picture.palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  putIndexedRows(out, canvas, picture, bitsPerPixel);
  return out;
}

bool decodeBitmap(const std::vector<uint8_t>& file, DecodedBitmap& out, std::string& error) {
  uint32_t offset = 0;
  if (!readHeaders(file, out, offset, error)) return false;
  std::vector<Rgb> table;
  for (int i = 0; i < out.paletteSize; ++i) {
    const size_t at = kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<size_t>(i);
    table.push_back({file[at + 2], file[at + 1], file[at]});
  }
  const int bytes = rowBytes(out.width, out.bitsPerPixel);
  out.pixels.assign(static_cast<size_t>(out.width) * out.height, Rgb{});
  for (int y = 0; y < out.height; ++y) {
    const size_t row = offset + static_cast<size_t>(out.height - 1 - y) * bytes;
    for (int x = 0; x < out.width; ++x) {
      Rgb& pixel = out.pixels[static_cast<size_t>(y) * out.width + x];
      if (out.bitsPerPixel == 24) {
        pixel = {file[row + 3 * x + 2], file[row + 3 * x + 1], file[row + 3 * x]};
        continue;
      }
      const uint8_t byte = file[row + (out.bitsPerPixel == 8 ? x : x / 2)];
      const int index = out.bitsPerPixel == 8 ? byte : x % 2 ? byte & 0x0F : byte >> 4;
      if (index >= out.paletteSize) return fail(error, "pixel names a colour beyond the table");
      pixel = table[index];
    }
  }
  return true;
}

}  // namespace artwork
