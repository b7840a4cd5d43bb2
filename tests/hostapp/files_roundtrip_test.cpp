// Saving and loading every format with every mode it holds: pixels, mode, resolution and
// profile come back; lossy JPEG comes back close.
#include "imagefiles/image_files.h"
#include "tests/hostapp/files_test_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace files_test;

namespace {

struct Case {
  const char* name;  // also the file name
  ImageMode mode;
  int extras;
  bool carriesMetadata;  // resolution and ICC profile
};

const Case kLossless[] = {
    {"gray.png", ImageMode::grayscale, 0, true},
    {"gray_alpha.png", ImageMode::grayscale, 1, true},
    {"rgb.png", ImageMode::rgb, 0, true},
    {"rgba.PNG", ImageMode::rgb, 1, true},
    {"gray.tif", ImageMode::grayscale, 0, true},
    {"gray_alpha.tiff", ImageMode::grayscale, 1, true},
    {"rgb.tif", ImageMode::rgb, 0, true},
    {"rgba.TIF", ImageMode::rgb, 1, true},
    {"cmyk.tif", ImageMode::cmyk, 0, true},
    {"cmyk_alpha.tif", ImageMode::cmyk, 1, true},
    {"lab.tif", ImageMode::lab, 0, true},
    {"lab_alpha.tif", ImageMode::lab, 1, true},
    {"two_extras.tif", ImageMode::rgb, 2, true},
    {"gray.pgm", ImageMode::grayscale, 0, false},
    {"rgb.ppm", ImageMode::rgb, 0, false},
    {"gray.pnm", ImageMode::grayscale, 0, false},
    {"rgb.PNM", ImageMode::rgb, 0, false},
    {"gray.pam", ImageMode::grayscale, 0, false},
    {"gray_alpha.pam", ImageMode::grayscale, 1, false},
    {"rgb.pam", ImageMode::rgb, 0, false},
    {"rgba.pam", ImageMode::rgb, 1, false},
    {"cmyk.pam", ImageMode::cmyk, 0, false},
    {"cmyk_alpha.pam", ImageMode::cmyk, 1, false},
    {"gray.bmp", ImageMode::grayscale, 0, true},
    {"rgb.bmp", ImageMode::rgb, 0, true},
    {"rgba.Bmp", ImageMode::rgb, 1, true},
};

class LosslessRoundTrip : public testing::TestWithParam<Case> {};

TEST_P(LosslessRoundTrip, KeepsPixelsModeAndMetadata) {
  const Case& c = GetParam();
  ScratchFolder folder;
  Raster image = distinctRaster(6, 5, c.mode, c.extras);
  image.resolution = {true, 300, 240};
  image.iccProfile = profileFor(c.mode);
  ASSERT_TRUE(writeImageFile(folder.path(c.name), image).ok());

  Raster loaded;
  const FileStatus status = readImageFile(folder.path(c.name), loaded);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(loaded.width, 6);
  EXPECT_EQ(loaded.height, 5);
  EXPECT_EQ(loaded.mode, c.mode);
  EXPECT_EQ(loaded.extraChannels, c.extras);
  EXPECT_EQ(loaded.pixels, image.pixels);
  EXPECT_EQ(loaded.resolution.known, c.carriesMetadata);
  if (c.carriesMetadata) {
    EXPECT_EQ(loaded.resolution.horizontal, 300);
    EXPECT_EQ(loaded.resolution.vertical, 240);
    EXPECT_EQ(loaded.iccProfile, image.iccProfile);
  }
  EXPECT_EQ(folder.entries(), std::vector<std::string>{c.name});
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip, testing::ValuesIn(kLossless),
                         [](const testing::TestParamInfo<Case>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

struct JpegCase {
  const char* name;
  ImageMode mode;
};

class JpegRoundTrip : public testing::TestWithParam<JpegCase> {};

TEST_P(JpegRoundTrip, ComesBackCloseWithMetadata) {
  ScratchFolder folder;
  Raster image = smoothRaster(24, 16, GetParam().mode);
  image.resolution = {true, 300, 150};
  image.iccProfile = profileFor(GetParam().mode);
  ASSERT_TRUE(writeImageFile(folder.path(GetParam().name), image).ok());
  Raster loaded;
  const FileStatus status = readImageFile(folder.path(GetParam().name), loaded);
  ASSERT_TRUE(status.ok()) << status.message;
  ASSERT_EQ(loaded.mode, GetParam().mode);
  ASSERT_EQ(loaded.pixels.size(), image.pixels.size());
  int worst = 0;
  for (size_t i = 0; i < image.pixels.size(); ++i)
    worst = std::max(worst, std::abs(int(loaded.pixels[i]) - int(image.pixels[i])));
  EXPECT_LE(worst, 6);
  EXPECT_TRUE(loaded.resolution.known);
  EXPECT_EQ(loaded.resolution.horizontal, 300);
  EXPECT_EQ(loaded.resolution.vertical, 150);
  EXPECT_EQ(loaded.iccProfile, image.iccProfile);
}

INSTANTIATE_TEST_SUITE_P(Modes, JpegRoundTrip,
                         testing::Values(JpegCase{"gray.jpg", ImageMode::grayscale},
                                         JpegCase{"rgb.jpeg", ImageMode::rgb},
                                         JpegCase{"cmyk.JPG", ImageMode::cmyk}),
                         [](const testing::TestParamInfo<JpegCase>& info) {
                           return std::string(modeName(info.param.mode)) == "grayscale"
                                      ? std::string("gray")
                                      : std::string(modeName(info.param.mode));
                         });

// A whole count per metre is 0.0254 ppi coarse; the value read back rounds to hundredths.
TEST(ImageFiles, FractionalResolutionSurvivesPerMetreFormats) {
  ScratchFolder folder;
  for (const char* name : {"a.png", "a.bmp", "a.tif"}) {
    Raster image = distinctRaster(2, 2, ImageMode::rgb, 0);
    image.resolution = {true, 254.5, 72.25};
    ASSERT_TRUE(writeImageFile(folder.path(name), image).ok()) << name;
    Raster loaded;
    ASSERT_TRUE(readImageFile(folder.path(name), loaded).ok()) << name;
    EXPECT_NEAR(loaded.resolution.horizontal, 254.5, 0.0127 + 0.005) << name;
    EXPECT_NEAR(loaded.resolution.vertical, 72.25, 0.0127 + 0.005) << name;
  }
}

TEST(ImageFiles, SavingReplacesAnExistingFileAndLeavesNoTemporary) {
  ScratchFolder folder;
  writeBytes(folder.path("out.ppm"), Bytes(1000, 'x'));
  const Raster image = distinctRaster(3, 2, ImageMode::rgb, 0);
  ASSERT_TRUE(writeImageFile(folder.path("out.ppm"), image).ok());
  Raster loaded;
  ASSERT_TRUE(readImageFile(folder.path("out.ppm"), loaded).ok());
  EXPECT_EQ(loaded.pixels, image.pixels);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.ppm"});
}

}  // namespace
