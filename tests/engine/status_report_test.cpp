#include "core/status_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "camera_print.h"
#include "controls/text_label.h"
#include "core/print_model.h"
#include "dialog/status_lines.h"
#include "hostapi/constants.h"

namespace {

bool sameColor(LabelColor a, LabelColor b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

const LabelColor grey = {90, 90, 90};
const LabelColor red = {250, 10, 10};

TEST(StatusReport, CameraPhotoGivesThePublishedLines) {
  PrintModel model = computePrintModel(cameraPrint(), 3000, 2000, 0, 1);
  StatusReport report = composeStatusReport(model, plugInModeRGBColor, 0, 1, 1);
  EXPECT_STREQ(report.resolutionLine,
               "Real Resolution Index: ---, sharpening radius = 0.121 = 1.4276 pixels");
  EXPECT_STREQ(report.printingLine, "No printing information available without autoscan.");
  EXPECT_STREQ(report.sizeLine,
               "Size = 3000x2000 pixels, 300.30 dpi, color mode = RGB, Acceleration: Off");
  EXPECT_STREQ(report.warningsLine, "No Warnings.");
  EXPECT_STREQ(report.fourthLine, "No Warnings.");
  EXPECT_TRUE(sameColor(report.fourthColor, grey));
}

TEST(StatusReport, SizeLineShowsTheModelsFloorOfFivePixels) {
  PrintModel model = computePrintModel(cameraPrint(), 2, 3000, 0, 1);
  StatusReport report = composeStatusReport(model, plugInModeRGBColor, 0, 1, 1);
  EXPECT_EQ(std::string(report.sizeLine).rfind("Size = 5x3000 pixels, ", 0), 0u) << report.sizeLine;
}

TEST(StatusReport, ColourModeAndAccelerationTexts) {
  const struct {
    int32 mode;
    int32 acceleration;
    const char* tail;
  } cases[] = {
      {plugInModeRGBColor, 0, "color mode = RGB, Acceleration: Off"},
      {plugInModeCMYKColor, 1, "color mode = CMYK, Acceleration: On"},
      {plugInModeGrayScale, 0, "color mode = Monochrome, Acceleration: Off"},
      {plugInModeLabColor, 1, "color mode = External, Acceleration: On"},
      {plugInModeMultichannel, 0, "color mode = External, Acceleration: Off"},
  };
  PrintModel model = computePrintModel(cameraPrint(), 3000, 2000, 0, 1);
  for (const auto& c : cases) {
    std::string line = composeStatusReport(model, c.mode, c.acceleration, 1, 1).sizeLine;
    EXPECT_EQ(line, std::string("Size = 3000x2000 pixels, 300.30 dpi, ") + c.tail);
  }
}

// The warnings from a model's required resolution, print resolution and index. All three
// tests are strict, so the exact limits raise nothing.
TEST(StatusReport, WarningsLine) {
  const struct {
    const char* name;
    int32 requiredDpi;
    double printDpi;
    int32 index;
    const char* warnings;
  } cases[] = {
      {"inRange", 185, 300.0, 61, "No Warnings."},
      {"exactlyTheLowLimit", 200, 200 * 0.35, 100, "No Warnings."},
      {"belowTheLowLimit", 200, 69.9, 100, "Warning: Image has insufficient dpi! "},
      {"exactlyThreeTimes", 200, 600.0, 100, "No Warnings."},
      {"aboveThreeTimes", 200, 600.01, 100, "Warning: Extremely high dpi! "},
      {"index300", 185, 300.0, 300, "No Warnings."},
      {"index301", 185, 300.0, 301, "WARNING: Print will appear blurry! "},
      {"lowDpiAndBlurry", 200, 50.0, 400,
       "Warning: Image has insufficient dpi! WARNING: Print will appear blurry! "},
      {"highDpiAndBlurry", 100, 400.0, 301,
       "Warning: Extremely high dpi! WARNING: Print will appear blurry! "},
  };
  for (const auto& c : cases) {
    PrintModel model{};
    model.pixelWidth = 100;
    model.pixelHeight = 100;
    model.requiredDpi = c.requiredDpi;
    model.printDpi = c.printDpi;
    model.realResolutionIndex = c.index;
    StatusReport report = composeStatusReport(model, plugInModeRGBColor, 0, 1, 1);
    EXPECT_STREQ(report.warningsLine, c.warnings) << c.name;
    EXPECT_STREQ(report.fourthLine, c.warnings) << c.name;
  }
}

// The fourth label carries the red eye-distance notice only while the settings are still the
// filter's own defaults with a raised eye distance; the warnings are composed regardless.
TEST(StatusReport, FourthLabelNoticeOrWarnings) {
  const char* notice = "Eye Distance setting has been adjusted due to image size.";
  const struct {
    int32 settingsTouched;
    int32 eyeDistance;
    bool notice;
  } cases[] = {{0, 1, false}, {0, 2, true}, {0, 5, true}, {1, 3, false}, {1, 1, false}};
  PrintModel model{};
  model.pixelWidth = 100;
  model.pixelHeight = 100;
  model.requiredDpi = 200;
  model.printDpi = 50.0;
  const char* warnings = "Warning: Image has insufficient dpi! ";
  for (const auto& c : cases) {
    StatusReport report =
        composeStatusReport(model, plugInModeRGBColor, 0, c.settingsTouched, c.eyeDistance);
    EXPECT_STREQ(report.warningsLine, warnings);
    EXPECT_STREQ(report.fourthLine, c.notice ? notice : warnings)
        << c.settingsTouched << "/" << c.eyeDistance;
    EXPECT_TRUE(sameColor(report.fourthColor, c.notice ? red : grey));
  }
}

// Two decimals of the print resolution and three and four of the radii, rounded the same way by
// both C libraries.
TEST(StatusReport, NumbersAreRoundedToTheirDecimals) {
  PrintModel model{};
  model.pixelWidth = 640;
  model.pixelHeight = 480;
  model.printDpi = 254000.0;
  model.radiusPixels = 9.87654;
  model.radiusMillimetres = 0.0015;
  model.requiredDpi = 200;
  StatusReport report = composeStatusReport(model, plugInModeGrayScale, 0, 1, 1);
  EXPECT_STREQ(report.resolutionLine,
               "Real Resolution Index: ---, sharpening radius = 0.002 = 9.8765 pixels");
  EXPECT_STREQ(report.sizeLine,
               "Size = 640x480 pixels, 254000.00 dpi, color mode = Monochrome, "
               "Acceleration: Off");
  EXPECT_STREQ(report.warningsLine, "Warning: Extremely high dpi! ");
}

// The dialog's four status labels, without a window to draw into.
class StatusLabels : public ::testing::Test {
 protected:
  StatusLabels() {
    for (int i = 0; i < 4; ++i) {
      labels[i] = new TextLabel(0, 0, 400, 14, ControlFlags::Inactive, nullptr, "before", "Arial",
                                400, nullptr, 0, 0, 0);
      shown[i] = labels[i];
    }
  }
  ~StatusLabels() override {
    for (TextLabel* label : labels) delete label;
  }
  StatusReport report() {
    StatusReport report{};
    std::snprintf(report.resolutionLine, statusLineSize, "first");
    std::snprintf(report.printingLine, statusLineSize, "second");
    std::snprintf(report.sizeLine, statusLineSize, "%%i 100%% third");
    std::snprintf(report.fourthLine, statusLineSize, "fourth");
    report.fourthColor = red;
    return report;
  }
  TextLabel* labels[4];
  TextLabel* shown[kStatusLabelCount];  // the dialog's label slots
};

TEST_F(StatusLabels, OutsideTheDialogNothingIsShown) {
  showStatusReport(false, shown, report());
  for (TextLabel* label : labels) EXPECT_STREQ(label->text(), "before");
}

TEST_F(StatusLabels, InTheDialogEachLabelShowsItsLineExactly) {
  showStatusReport(true, shown, report());
  EXPECT_STREQ(labels[0]->text(), "first");
  EXPECT_STREQ(labels[1]->text(), "second");
  EXPECT_STREQ(labels[2]->text(), "%i 100% third");
  EXPECT_STREQ(labels[3]->text(), "fourth");
  EXPECT_EQ(labels[3]->textColor(), RGB(250, 10, 10));
}

TEST_F(StatusLabels, MissingLabelsAreSkipped) {
  shown[1] = nullptr;
  shown[3] = nullptr;
  showStatusReport(true, shown, report());
  EXPECT_STREQ(labels[0]->text(), "first");
  EXPECT_STREQ(labels[1]->text(), "before");
  EXPECT_STREQ(labels[3]->text(), "before");
}

}  // namespace
