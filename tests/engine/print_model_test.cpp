#include "core/print_model.h"

#include <gtest/gtest.h>

#include <cstring>

#include "camera_print.h"
#include "host/filter_parameters.h"

namespace {

PrintModel finalRun(const SharpenSettings& settings, int32 width = 3000, int32 height = 2000) {
  return computePrintModel(settings, width, height, 0, 1);
}

void expectSameModel(const PrintModel& a, const PrintModel& b) {
  EXPECT_EQ(a.pixelWidth, b.pixelWidth);
  EXPECT_EQ(a.pixelHeight, b.pixelHeight);
  EXPECT_EQ(a.mmPerPixel, b.mmPerPixel);
  EXPECT_EQ(a.printDpi, b.printDpi);
  EXPECT_EQ(a.printFactor, b.printFactor);
  EXPECT_EQ(a.requiredDpi, b.requiredDpi);
  EXPECT_EQ(a.realResolutionIndex, b.realResolutionIndex);
  EXPECT_STREQ(a.detailLabel, b.detailLabel);
  EXPECT_EQ(a.radiusPixels, b.radiusPixels);
  EXPECT_EQ(a.radiusMillimetres, b.radiusMillimetres);
  EXPECT_EQ(a.strength, b.strength);
  EXPECT_EQ(a.operatorRadius, b.operatorRadius);
  EXPECT_EQ(a.operatorRadiusWhole, b.operatorRadiusWhole);
}

// The model of a 3000 x 2000 photo printed 254 x 169 mm, every double to the bit: the command
// line's JSON report publishes exactly these values.
TEST(PrintModel, CameraPhotoGivesThePublishedModelToTheBit) {
  PrintModel expected{3000,
                      2000,
                      0.08458333333333334,
                      300.295566502463,
                      1.6099999999999999,
                      185,
                      61,
                      "optimal sharpness",
                      1.4275862068965512,
                      0.12074999999999997,
                      175,
                      1.4275862068965512,
                      1};
  expectSameModel(finalRun(cameraPrint()), expected);
}

TEST(PrintModel, DocumentsBelowFivePixelsCountAsFive) {
  SharpenSettings settings = cameraPrint();
  PrintModel tiny = finalRun(settings, 3, 3);
  EXPECT_EQ(tiny.pixelWidth, 5);
  EXPECT_EQ(tiny.pixelHeight, 5);
  expectSameModel(tiny, finalRun(settings, 5, 5));
  expectSameModel(finalRun(settings, 0, -7), finalRun(settings, 5, 5));
}

TEST(PrintModel, ZeroPrintSizeHitsTheFloorsAndTheOperatorCap) {
  SharpenSettings settings = cameraPrint();
  settings.printWidth = 0;
  settings.printHeight = 0;
  PrintModel model = finalRun(settings);
  EXPECT_EQ(model.mmPerPixel, 0.0001);
  EXPECT_EQ(model.printDpi, 254000.0);
  EXPECT_EQ(model.realResolutionIndex, 0);
  EXPECT_GT(model.radiusPixels, 10.0);
  EXPECT_EQ(model.operatorRadius, 10.0);
  EXPECT_EQ(model.operatorRadiusWhole, 10);
}

// Required resolution before the eye distance, for every printer (rows) and printer quality
// (columns); the two "normal" and the two "photo" printers share their rows.
TEST(PrintModel, RequiredDpiForEveryPrinterAndQuality) {
  const int32 table[12][5] = {
      {45, 55, 72, 90, 111},     {56, 68, 89, 112, 137},    {73, 90, 118, 147, 181},
      {101, 125, 162, 203, 250}, {116, 142, 185, 232, 285}, {147, 181, 236, 295, 363},
      {180, 222, 288, 361, 444}, {232, 285, 371, 464, 571}, {313, 385, 501, 626, 771},
      {359, 442, 575, 719, 885}, {313, 385, 501, 626, 771}, {359, 442, 575, 719, 885}};
  SharpenSettings settings = cameraPrint();
  for (int32 printer = 0; printer < 12; ++printer) {
    for (int32 quality = 0; quality < 5; ++quality) {
      settings.printerResolution = printer;
      settings.printerQuality = quality;
      EXPECT_EQ(finalRun(settings).requiredDpi, table[printer][quality])
          << "printer " << printer << ", quality " << quality;
    }
  }
}

TEST(PrintModel, IndicesOutsideTheListsCountAsFactorOne) {
  SharpenSettings settings = cameraPrint();
  settings.printerResolution = 12;
  settings.printerQuality = -1;
  settings.imageQuality = 5;
  settings.imageSource = 10;
  PrintModel model = finalRun(settings);
  EXPECT_EQ(model.requiredDpi, 260);
  EXPECT_EQ(model.printFactor, 1.0);
}

struct ClampCase {
  const char* name;
  int32 printerResolution, printerQuality, imageQuality, imageSource;
  double printFactor;
  int32 requiredDpi;  // from the printer alone, untouched by the clamp
};

class PrintFactorClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(PrintFactorClamp, ClampsTheProductBeforeTheRadiusButNotTheRequiredDpi) {
  const ClampCase& c = GetParam();
  SharpenSettings settings = cameraPrint();
  settings.printerResolution = c.printerResolution;
  settings.printerQuality = c.printerQuality;
  settings.imageQuality = c.imageQuality;
  settings.imageSource = c.imageSource;
  PrintModel model = finalRun(settings);
  EXPECT_EQ(model.printFactor, c.printFactor);
  EXPECT_EQ(model.requiredDpi, c.requiredDpi);
  EXPECT_EQ(model.radiusPixels, c.printFactor * 0.075 * (1 / model.mmPerPixel));
}

INSTANTIATE_TEST_SUITE_P(
    Products, PrintFactorClamp,
    ::testing::Values(ClampCase{"photoPrinterGoodScan", 11, 4, 4, 9, 0.35, 885},
                      ClampCase{"coarsePrinterBadScan", 0, 0, 0, 7, 4.5, 45}),
    [](const ::testing::TestParamInfo<ClampCase>& info) { return info.param.name; });

struct EyeDistanceCase {
  int32 step;
  double radiusFactor;
  int32 requiredDpi;  // from 185
};

class EyeDistance : public ::testing::TestWithParam<EyeDistanceCase> {};

TEST_P(EyeDistance, ScalesTheRadiusAndLowersTheRequiredDpi) {
  const EyeDistanceCase& c = GetParam();
  SharpenSettings settings = cameraPrint();
  settings.eyeDistance = c.step;
  PrintModel model = finalRun(settings);
  EXPECT_EQ(model.requiredDpi, c.requiredDpi);
  EXPECT_EQ(model.radiusPixels,
            model.printFactor * 0.075 * (1 / model.mmPerPixel) * c.radiusFactor);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EyeDistance,
    ::testing::Values(EyeDistanceCase{1, 1.0, 185}, EyeDistanceCase{2, 1.3, 142},
                      EyeDistanceCase{3, 2.0, 92}, EyeDistanceCase{4, 1.8, 102},
                      EyeDistanceCase{5, 6.0, 30}, EyeDistanceCase{0, 1.0, 185},
                      EyeDistanceCase{6, 1.0, 185}));

struct ProfileCase {
  int32 step;
  double radiusPixels;  // after the 0.2 floor
  int32 strength;
};

class ProfileAfterFloor : public ::testing::TestWithParam<ProfileCase> {};

// A 5 x 5 image printed 600 mm wide has a raw radius far below 0.2 pixels: the floor applies
// first, and the profile then scales the floored value.
TEST_P(ProfileAfterFloor, ScalesTheFlooredRadius) {
  const ProfileCase& c = GetParam();
  SharpenSettings settings = cameraPrint();
  settings.printWidth = 600;
  settings.printHeight = 600;
  settings.personalProfile = c.step;
  PrintModel model = finalRun(settings, 5, 5);
  EXPECT_EQ(model.radiusPixels, c.radiusPixels);
  EXPECT_EQ(model.strength, c.strength);
  EXPECT_EQ(model.radiusMillimetres, c.radiusPixels * 120.0);
  EXPECT_EQ(model.operatorRadius, c.radiusPixels);
  EXPECT_EQ(model.operatorRadiusWhole, 0);
}

INSTANTIATE_TEST_SUITE_P(Steps, ProfileAfterFloor,
                         ::testing::Values(ProfileCase{1, 0.2 * 0.8, 122}, ProfileCase{2, 0.2, 175},
                                           ProfileCase{3, 0.2 * 1.15, 288},
                                           ProfileCase{7, 0.2, 175}));

struct OperatorCase {
  const char* name;
  int32 dialogActive, previewZoom;
  int32 printSize;  // width and height of a 3000 x 3000 pixel image's print
  double divisor;
  int32 operatorRadiusWhole;
};

class OperatorRadius : public ::testing::TestWithParam<OperatorCase> {};

TEST_P(OperatorRadius, DividesByTheZoomOnlyInTheDialogAndCapsAtTen) {
  const OperatorCase& c = GetParam();
  SharpenSettings settings = cameraPrint();
  settings.printWidth = c.printSize;
  settings.printHeight = c.printSize;
  PrintModel model = computePrintModel(settings, 3000, 3000, c.dialogActive, c.previewZoom);
  double expected = model.radiusPixels / c.divisor;
  if (expected > 10.0) expected = 10.0;
  EXPECT_EQ(model.operatorRadius, expected);
  EXPECT_EQ(model.operatorRadiusWhole, c.operatorRadiusWhole);
}

// A 57 mm print gives a radius of about 6.4 pixels, a 16 mm one about 22.6.
INSTANTIATE_TEST_SUITE_P(
    Runs, OperatorRadius,
    ::testing::Values(OperatorCase{"previewZoom4", 1, 4, 57, 4.0, 1},
                      OperatorCase{"finalRunIgnoresZoom", 0, 4, 57, 1.0, 6},
                      OperatorCase{"finalRunCapsAtTen", 0, 1, 16, 1.0, 10},
                      OperatorCase{"previewZoom2StillCapped", 1, 2, 16, 2.0, 10}),
    [](const ::testing::TestParamInfo<OperatorCase>& info) { return info.param.name; });

TEST(PrintModel, DetailBandsIncludeTheirUpperBound) {
  const struct {
    int32 index;
    const char* label;
  } bands[] = {
      {-5, "optimal sharpness"},    {100, "optimal sharpness"},   {101, "good detail"},
      {150, "good detail"},         {151, "sufficient detail"},   {200, "sufficient detail"},
      {201, "insufficient detail"}, {250, "insufficient detail"}, {251, "print will be blurry"}};
  for (const auto& band : bands) {
    EXPECT_STREQ(detailLabelOfIndex(band.index), band.label) << band.index;
  }
}

// A 100-pixel-wide image at "average" / "720x720 dpi" needs 185 dpi; printed 100 mm wide its
// index is truncate(100 / 25.4 * 100 / (100 / 185)) = 728.
TEST(PrintModel, IndexUsesTheHorizontalAxisOnly) {
  SharpenSettings settings = cameraPrint();
  settings.printWidth = 100;
  settings.printHeight = 1;
  PrintModel model = finalRun(settings, 100, 3000);
  EXPECT_EQ(model.realResolutionIndex, 728);
  EXPECT_STREQ(model.detailLabel, "print will be blurry");
  settings.printHeight = 500;
  EXPECT_EQ(finalRun(settings, 100, 3000).realResolutionIndex, 728);
}

// Print sizes far outside what the dialog allows must still give a defined model.
TEST(PrintModel, AbsurdPrintSizesSaturateTheIndex) {
  SharpenSettings settings = cameraPrint();
  settings.printWidth = 2147483647;
  EXPECT_EQ(finalRun(settings, 5, 5).realResolutionIndex, 2147483647);
  settings.printWidth = -2147483647 - 1;
  EXPECT_EQ(finalRun(settings, 5, 5).realResolutionIndex, -2147483647 - 1);
}

}  // namespace
