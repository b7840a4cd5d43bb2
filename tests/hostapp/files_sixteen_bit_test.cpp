// 16-bit TIFF and PNG files: the filter sharpens their 8-bit view and the change is carried
// back onto the full-depth original, so the output keeps its depth, samples the filter left
// alone keep every bit, and the output's 8-bit view is what an 8-bit run gives.
#include <gtest/gtest.h>

#include <png.h>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

// A picture whose left half is flat and right half busy, in 16-bit samples that differ in
// their low bits from pixel to pixel, so that any pass through 8 bits shows.
std::vector<uint16_t> deepSamples(int width, int height, int channels) {
  std::vector<uint16_t> samples(size_t(width) * size_t(height) * size_t(channels));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        const int base = x < width / 2 ? 20000 + c * 9000 : ((x * 7 + y * 13) % 5) * 12000 + 3000;
        samples[(size_t(y) * width + x) * channels + c] = uint16_t(base + (x + y + c) % 97);
      }
  return samples;
}

// Written by libtiff and libpng directly, not by the tool's own encoders.
void writeDeepTiff(const std::string& path, int width, int height, int channels, int photometric,
                   const std::vector<uint16_t>& samples) {
  TIFF* tif = files_test::startTiff(path, width, height, 16, channels, photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  for (int y = 0; y < height; ++y)
    TIFFWriteScanline(tif, const_cast<uint16_t*>(&samples[size_t(y) * width * channels]), y, 0);
  TIFFClose(tif);
}

void writeDeepPng(const std::string& path, int width, int height,
                  const std::vector<uint16_t>& samples) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 16, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_swap(png);
  for (int y = 0; y < height; ++y)
    png_write_row(png, reinterpret_cast<png_const_bytep>(&samples[size_t(y) * width * 3]));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

struct DeepCase {
  const char* name;
  const char* extension;
  ImageMode mode;
  int photometric;  // TIFF only
};

class SixteenBitTest : public ::testing::TestWithParam<DeepCase> {};

TEST_P(SixteenBitTest, KeepsDepthAndEveryBitTheFilterLeftAlone) {
  const DeepCase& c = GetParam();
  ScratchFolder folder;
  const int width = 48, height = 24, channels = colorChannelsOf(c.mode);
  const std::vector<uint16_t> samples = deepSamples(width, height, channels);
  const std::string in = folder.path(std::string("deep") + c.extension);
  if (std::string(c.extension) == ".png")
    writeDeepPng(in, width, height, samples);
  else
    writeDeepTiff(in, width, height, channels, c.photometric, samples);
  Raster original;
  ASSERT_TRUE(readImageFile(in, original).ok());
  ASSERT_EQ(original.deep.size(), samples.size());
  ASSERT_EQ(runTool({"report", in}).code, 0);

  // The same picture at 8 bits, sharpened the same way.
  Raster narrow = original;
  narrow.deep.clear();
  const std::string in8 = folder.path(std::string("narrow") + c.extension);
  ASSERT_TRUE(writeImageFile(in8, narrow).ok());
  const std::string out = folder.path(std::string("out") + c.extension);
  const std::string out8 = folder.path(std::string("out8") + c.extension);
  for (const auto& run : {std::make_pair(in, out), std::make_pair(in8, out8)}) {
    Outcome outcome = runTool({"sharpen", run.first, run.second, "--print-width", "20", "--quiet"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
  }
  Raster sharpened, sharpened8;
  ASSERT_TRUE(readImageFile(out, sharpened).ok());
  ASSERT_TRUE(readImageFile(out8, sharpened8).ok());
  ASSERT_EQ(sharpened.deep.size(), original.deep.size()) << "the output is 16-bit";
  EXPECT_TRUE(sharpened8.deep.empty());
  EXPECT_EQ(sharpened.pixels, sharpened8.pixels) << "the 8-bit view is the 8-bit run";
  size_t untouched = 0, changed = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (sharpened8.pixels[i] == narrow.pixels[i]) {
      ++untouched;
      ASSERT_EQ(sharpened.deep[i], original.deep[i]) << "sample " << i;
    } else {
      ++changed;
    }
  }
  EXPECT_GT(untouched, samples.size() / 3) << "the flat half";
  EXPECT_GT(changed, 0u) << "the busy half";
}

INSTANTIATE_TEST_SUITE_P(
    Files, SixteenBitTest,
    ::testing::Values(DeepCase{"rgb_tif", ".tif", ImageMode::rgb, PHOTOMETRIC_RGB},
                      DeepCase{"gray_tif", ".tif", ImageMode::grayscale, PHOTOMETRIC_MINISBLACK},
                      DeepCase{"cmyk_tif", ".tif", ImageMode::cmyk, PHOTOMETRIC_SEPARATED},
                      DeepCase{"rgb_png", ".png", ImageMode::rgb, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SixteenBitSamples, CarryTheChangeBackClamped) {
  const struct {
    uint16_t original;
    uint8_t sharpened;
    uint16_t expected;
  } kCases[] = {
      {1000, 4, 1000},      // unchanged view: round(1000 / 257) = 4
      {1000, 6, 1514},      // two levels up
      {200, 0, 0},          // view 1, one level down, clamped below
      {65300, 254, 65300},  // unchanged view near the top
      {65000, 250, 64229},  // view 253, three levels down
      {65400, 255, 65535},  // view 254, one level up, clamped above
  };
  for (const auto& c : kCases)
    EXPECT_EQ(widenSample(c.original, c.sharpened), c.expected) << c.original;
}

}  // namespace
