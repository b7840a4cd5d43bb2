// CMYK and Lab documents are sharpened in RGB; where the filter changes nothing, the ink and the
// colours must come back exactly as they were, in either colour engine.
#include <gtest/gtest.h>

#include <memory>

#include "hostapi/constants.h"
#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

struct PatchCase {
  const char* name;
  ImageMode mode;
  uint8_t flat[4];  // the document's encoding: CMYK 255 = no ink; Lab L, a + 128, b + 128
  const char* engine;
};

// The left half one flat colour, the right half busy around it, so that the filter acts there.
Raster patchPicture(const PatchCase& c) {
  Raster raster;
  allocateRaster(raster, 40, 20, c.mode, 0);
  const int channels = raster.channels();
  for (int y = 0; y < raster.height; ++y)
    for (int x = 0; x < raster.width; ++x)
      for (int ch = 0; ch < channels; ++ch) {
        const int busy = ((x * 5 + y * 3 + ch * 7) % 4) * 40 - 60;
        raster.row(y)[x * channels + ch] =
            uint8_t(x < 20 ? c.flat[ch] : std::min(255, std::max(0, c.flat[ch] + busy)));
      }
  return raster;
}

class DocumentColorsTest : public ::testing::TestWithParam<PatchCase> {};

TEST_P(DocumentColorsTest, AFlatPatchComesBackByteIdentical) {
  const PatchCase& c = GetParam();
  ScratchFolder folder;
  const Raster picture = patchPicture(c);
  ASSERT_TRUE(writeImageFile(folder.path("in.tif"), picture).ok());
  Outcome outcome = runTool({"sharpen", folder.path("in.tif"), folder.path("out.tif"),
                             "--print-width", "20", "--color-engine", c.engine, "--quiet"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  Raster sharpened;
  ASSERT_TRUE(readImageFile(folder.path("out.tif"), sharpened).ok());
  const int channels = picture.channels();
  int changedInBusyHalf = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      for (int ch = 0; ch < channels; ++ch) {
        const size_t i = size_t(y) * picture.rowBytes() + size_t(x * channels + ch);
        // The sharpening reaches a few pixels across the patch's edge, not further.
        if (x < 14) {
          ASSERT_EQ(int(sharpened.pixels[i]), int(picture.pixels[i])) << x << "," << y << " " << ch;
        }
        if (x > 22 && sharpened.pixels[i] != picture.pixels[i]) ++changedInBusyHalf;
      }
  EXPECT_GT(changedInBusyHalf, 0) << "the filter acted on the busy half";
}

INSTANTIATE_TEST_SUITE_P(
    Patches, DocumentColorsTest,
    ::testing::Values(PatchCase{"cmyk_lcms", ImageMode::cmyk, {153, 178, 204, 229}, "lcms"},
                      PatchCase{"cmyk_formula", ImageMode::cmyk, {153, 178, 204, 229}, "formula"},
                      PatchCase{"lab_lcms", ImageMode::lab, {148, 78, 154, 0}, "lcms"},
                      PatchCase{"lab_formula", ImageMode::lab, {148, 78, 154, 0}, "formula"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
