#include "core/status_report.h"

#include <cstdio>
#include <cstring>

#include "core/print_model.h"
#include "hostapi/constants.h"

namespace {

const LabelColor warningsColor = {90, 90, 90};
const LabelColor eyeDistanceNoticeColor = {250, 10, 10};
const char eyeDistanceNotice[] = "Eye Distance setting has been adjusted due to image size.";

// Lower and upper limits of a sensible print resolution relative to what the printer needs.
const double insufficientDpiRatio = 0.35;
const int32 excessiveDpiRatio = 3;
const int32 blurryIndex = 300;

const char* colorModeText(int32 imageMode) {
  switch (imageMode) {
    case plugInModeRGBColor:
      return "RGB";
    case plugInModeCMYKColor:
      return "CMYK";
    case plugInModeGrayScale:
      return "Monochrome";
    default:
      return "External";
  }
}

void appendText(char (&line)[statusLineSize], const char* text) {
  std::strncat(line, text, statusLineSize - 1 - std::strlen(line));
}

// Each warning ends with a blank so that they read as one sentence list when several apply.
void composeWarnings(const PrintModel& model, char (&line)[statusLineSize]) {
  line[0] = '\0';
  if (model.requiredDpi * insufficientDpiRatio > model.printDpi)
    appendText(line, "Warning: Image has insufficient dpi! ");
  if (excessiveDpiRatio * model.requiredDpi < model.printDpi)
    appendText(line, "Warning: Extremely high dpi! ");
  if (model.realResolutionIndex > blurryIndex)
    appendText(line, "WARNING: Print will appear blurry! ");
  if (line[0] == '\0') appendText(line, "No Warnings.");
}

}  // namespace

namespace {

long composedReports = 0;

}  // namespace

long statusReportsComposed() { return composedReports; }

StatusReport composeStatusReport(const PrintModel& model, int32 imageMode, int32 acceleration,
                                 int32 settingsTouched, int32 eyeDistance) {
  ++composedReports;
  StatusReport report{};
  // The radii shown are the model's own, before the preview divisor and the operator's cap.
  std::snprintf(report.resolutionLine, statusLineSize,
                "Real Resolution Index: %s, sharpening radius = %.3f = %.4f pixels", "---",
                model.radiusMillimetres, model.radiusPixels);
  std::snprintf(report.printingLine, statusLineSize, "%s",
                "No printing information available without autoscan.");
  std::snprintf(
      report.sizeLine, statusLineSize, "Size = %dx%d pixels, %.2f dpi, color mode = %s, %s",
      static_cast<int>(model.pixelWidth), static_cast<int>(model.pixelHeight), model.printDpi,
      colorModeText(imageMode), acceleration != 0 ? "Acceleration: On" : "Acceleration: Off");
  composeWarnings(model, report.warningsLine);

  // Until the user sets anything, a raised eye distance is the filter's own choice for a large
  // print; the notice says so in place of the warnings.
  bool eyeDistanceRaised = settingsTouched == 0 && eyeDistance != 1;
  std::snprintf(report.fourthLine, statusLineSize, "%s",
                eyeDistanceRaised ? eyeDistanceNotice : report.warningsLine);
  report.fourthColor = eyeDistanceRaised ? eyeDistanceNoticeColor : warningsColor;
  return report;
}
