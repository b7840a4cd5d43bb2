// Writing and reading .bmp files, and the colour reduction behind the 4- and 8-bit ones.
#include <gtest/gtest.h>

#include "resources/artwork/bitmap_file.h"
#include "resources/artwork/palette.h"

namespace {

using artwork::Canvas;
using artwork::Rgb;

// Widths 1, 3, 5 and 7 need row padding at every depth, and odd widths leave half a byte at
// 4 bits; distinct colours per pixel show any swapped nibble, row or channel.
Canvas fixture(int width, int height, const std::vector<Rgb>& colours) {
  Canvas c(width, height, colours[0]);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) c.blend(x, y, colours[(x + 3 * y) % colours.size()], 255);
  }
  return c;
}

TEST(BitmapFile, RoundTripsEveryDepthAndOddWidth) {
  const auto& sixteen = artwork::sixteenColours();
  for (int bits : {4, 8, 24}) {
    for (int width : {1, 3, 5, 7, 8}) {
      SCOPED_TRACE(::testing::Message() << bits << " bits, width " << width);
      const Canvas canvas = fixture(width, 3, {sixteen.begin(), sixteen.begin() + 7});
      artwork::DecodedBitmap decoded;
      std::string error;
      ASSERT_TRUE(artwork::decodeBitmap(artwork::encodeBitmap(canvas, bits), decoded, error))
          << error;
      EXPECT_EQ(decoded.width, width);
      EXPECT_EQ(decoded.height, 3);
      EXPECT_EQ(decoded.bitsPerPixel, bits);
      EXPECT_TRUE(decoded.pixels == canvas.pixels());
    }
  }
}

TEST(BitmapFile, RowsAreStoredBottomUpInBlueGreenRedOrder) {
  Canvas canvas(1, 2, {10, 20, 30});
  canvas.blend(0, 1, {40, 50, 60}, 255);
  const auto bytes = artwork::encodeBitmap(canvas, 24);
  ASSERT_EQ(bytes.size(), 54u + 2 * 4);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.end()),
            (std::vector<uint8_t>{60, 50, 40, 0, 30, 20, 10, 0}));
}

TEST(BitmapFile, RejectsDamagedFiles) {
  const auto good = artwork::encodeBitmap(fixture(5, 2, {{0, 0, 0}, {255, 255, 255}}), 8);
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
    bool truncate;
  };
  const Case cases[] = {{"wrong magic", 0, 'X', false},
                        {"truncated", 0, 0, true},
                        {"compressed", 30, 1, false},
                        {"two planes", 26, 2, false},
                        {"16 bits per pixel", 28, 16, false},
                        {"colour table larger than the depth allows", 47, 1, false},
                        {"pixel beyond the colour table", 54 + 8 + 2, 200, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto bad = good;
    if (c.truncate) {
      bad.resize(bad.size() - 1);
    } else {
      bad[c.offset] = c.value;
    }
    artwork::DecodedBitmap decoded;
    std::string error;
    EXPECT_FALSE(artwork::decodeBitmap(bad, decoded, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ColourReduction, KeepsUpTo256ColoursExactly) {
  std::vector<Rgb> colours;
  for (int i = 0; i < 256; ++i)
    colours.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7});
  const Canvas canvas = fixture(16, 16, colours);
  const auto picture = artwork::reduceColours(canvas, 256);
  ASSERT_LE(picture.palette.size(), 256u);
  for (size_t i = 0; i < canvas.pixels().size(); ++i) {
    ASSERT_EQ(picture.palette[picture.indices[i]], canvas.pixels()[i]) << i;
  }
}

// A smooth gradient of 4096 colours is reduced to 256 entries, each pixel to a near one.
TEST(ColourReduction, ReducesManyColoursToNearOnes) {
  Canvas canvas(64, 64, {});
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x)
      canvas.blend(x, y, {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 4), 128}, 255);
  }
  const auto picture = artwork::reduceColours(canvas, 256);
  ASSERT_EQ(picture.palette.size(), 256u);
  for (size_t i = 0; i < canvas.pixels().size(); ++i) {
    const Rgb a = canvas.pixels()[i], b = picture.palette[picture.indices[i]];
    ASSERT_LE(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b), 24) << i;
  }
}

// Four bits always use the artwork's sixteen colours, so flat areas keep their exact colour.
TEST(ColourReduction, FourBitsUseTheSixteenColours) {
  const auto& sixteen = artwork::sixteenColours();
  ASSERT_EQ(sixteen.size(), 16u);
  const Canvas canvas = fixture(4, 4, sixteen);
  const auto picture = artwork::reduceColours(canvas, 16);
  EXPECT_EQ(picture.palette, sixteen);
  for (size_t i = 0; i < canvas.pixels().size(); ++i)
    EXPECT_EQ(picture.palette[picture.indices[i]], canvas.pixels()[i]);
}

}  // namespace
