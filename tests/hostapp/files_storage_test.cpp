// The sharpened file is stored as the input was: JPEG quality and chroma subsampling, TIFF
// compression, PNG text and time, unless the command line says otherwise; multi-page TIFFs
// are refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

Raster stored(const std::string& path) {
  Raster raster;
  EXPECT_TRUE(readImageFile(path, raster).ok()) << path;
  return raster;
}

TEST(JpegStorage, QualityAndSubsamplingFollowTheInputUnlessGiven) {
  ScratchFolder folder;
  const Raster picture = files_test::smoothRaster(32, 24, ImageMode::rgb);
  const struct {
    int quality, subsampling;
    std::vector<std::string> options;
    int expectedQuality, expectedSubsampling;
  } kCases[] = {
      {98, 444, {}, 98, 444},
      {75, 420, {}, 75, 420},
      {90, 422, {}, 90, 422},
      {98, 444, {"--jpeg-quality", "100"}, 100, 444},
      {98, 444, {"--jpeg-subsampling", "420"}, 98, 420},
      {60, 420, {"--jpeg-subsampling", "444", "--jpeg-quality", "85"}, 85, 444},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.quality) + " " + std::to_string(c.subsampling));
    WriteOptions options;
    options.jpegQuality = c.quality;
    options.jpegSubsampling = c.subsampling;
    ASSERT_TRUE(writeImageFile(folder.path("in.jpg"), picture, options).ok());
    const Raster input = stored(folder.path("in.jpg"));
    EXPECT_EQ(input.storedAs.jpegQuality, c.quality);
    EXPECT_EQ(input.storedAs.jpegSubsampling, c.subsampling);
    std::vector<std::string> args = {"sharpen", folder.path("in.jpg"), folder.path("out.jpg"),
                                     "--quiet"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    Outcome outcome = runTool(args);
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    const Raster output = stored(folder.path("out.jpg"));
    EXPECT_EQ(output.storedAs.jpegQuality, c.expectedQuality);
    EXPECT_EQ(output.storedAs.jpegSubsampling, c.expectedSubsampling);
  }
  // A picture that was never a JPEG keeps all its colour detail.
  ASSERT_TRUE(writeImageFile(folder.path("in.png"), picture).ok());
  ASSERT_EQ(runTool({"sharpen", folder.path("in.png"), folder.path("png.jpg"), "--quiet"}).code, 0);
  EXPECT_EQ(stored(folder.path("png.jpg")).storedAs.jpegQuality, 95);
  EXPECT_EQ(stored(folder.path("png.jpg")).storedAs.jpegSubsampling, 444);
  EXPECT_EQ(
      runTool({"sharpen", folder.path("in.png"), folder.path("x.jpg"), "--jpeg-subsampling", "411"})
          .code,
      2);
}

TEST(TiffStorage, TheCompressionSchemeIsKept) {
  ScratchFolder folder;
  const Raster picture = files_test::distinctRaster(20, 10, ImageMode::rgb, 0);
  for (int compression :
       {COMPRESSION_NONE, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS, COMPRESSION_LZW}) {
    SCOPED_TRACE(compression);
    WriteOptions options;
    options.tiffCompression = compression;
    ASSERT_TRUE(writeImageFile(folder.path("in.tif"), picture, options).ok());
    ASSERT_EQ(stored(folder.path("in.tif")).storedAs.tiffCompression, compression);
    ASSERT_EQ(runTool({"sharpen", folder.path("in.tif"), folder.path("out.tif"), "--quiet"}).code,
              0);
    EXPECT_EQ(stored(folder.path("out.tif")).storedAs.tiffCompression, compression);
  }
}

TEST(PngStorage, ColourTextAndTimeChunksAreKept) {
  ScratchFolder folder;
  Raster picture = files_test::smoothRaster(16, 12, ImageMode::rgb);
  picture.metadata.pngText = {{"Title", "Harbour at dusk", false},
                              {"Author", "J\xc3\xa9r\xc3\xb4me", true},
                              {"Comment", std::string(2000, 'x'), false}};
  const int time[6] = {2024, 5, 1, 10, 30, 15};
  std::copy(time, time + 6, picture.metadata.pngTime);
  const int chromaticities[8] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
  picture.metadata.pngHasGamma = true;
  picture.metadata.pngGamma = 45455;
  picture.metadata.pngHasChromaticities = true;
  std::copy(chromaticities, chromaticities + 8, picture.metadata.pngChromaticities);
  ASSERT_TRUE(writeImageFile(folder.path("in.png"), picture).ok());
  ASSERT_EQ(runTool({"sharpen", folder.path("in.png"), folder.path("out.png"), "--quiet"}).code, 0);
  const Raster output = stored(folder.path("out.png"));
  ASSERT_EQ(output.metadata.pngText.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(output.metadata.pngText[i].key, picture.metadata.pngText[i].key);
    EXPECT_EQ(output.metadata.pngText[i].text, picture.metadata.pngText[i].text);
    EXPECT_EQ(output.metadata.pngText[i].international, picture.metadata.pngText[i].international);
  }
  EXPECT_TRUE(std::equal(time, time + 6, output.metadata.pngTime));
  EXPECT_TRUE(output.metadata.pngHasGamma);
  EXPECT_EQ(output.metadata.pngGamma, 45455);
  EXPECT_TRUE(std::equal(chromaticities, chromaticities + 8, output.metadata.pngChromaticities));
}

// Pages are full directories; a reduced-resolution preview beside the page is not one.
TEST(TiffStorage, AFileOfSeveralPagesIsRefused) {
  ScratchFolder folder;
  for (const bool preview : {false, true}) {
    const std::string path = folder.path(preview ? "preview.tif" : "pages.tif");
    TIFF* tif = files_test::startTiff(path, 4, 2, 8, 1, PHOTOMETRIC_MINISBLACK);
    uint8_t row[4] = {10, 20, 30, 40};
    for (int page = 0; page < 2; ++page) {
      if (page == 1) {
        TIFFWriteDirectory(tif);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        if (preview) TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
      }
      for (int y = 0; y < 2; ++y) TIFFWriteScanline(tif, row, y, 0);
    }
    TIFFClose(tif);
    Outcome outcome = runTool({"report", path});
    if (preview) {
      EXPECT_EQ(outcome.code, 0) << outcome.err;
    } else {
      EXPECT_EQ(outcome.code, 1);
      EXPECT_NE(outcome.err.find("2 pages"), std::string::npos) << outcome.err;
    }
  }
}

}  // namespace
