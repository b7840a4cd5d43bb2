#include "core/print_model.h"

#include "core/sharpen_settings.h"

namespace {

// Factors of the dialog's lists, in list order. An index outside a list counts as 1.0 so that
// a stray value from an old settings file or a script still gives a usable model.
const double imageSourceFactors[] = {1.28, 1.12, 1.05, 0.98, 1.4, 1.15, 1.05, 1.42, 1.15, 0.95};
const double imageQualityFactors[] = {1.37, 1.2, 1.0, 0.92, 0.84};
const double printerQualityFactors[] = {1.6, 1.3, 1.0, 0.8, 0.65};
// The two long values stand for 14/27 and 14/31; they are kept as these literals so that the
// required resolutions of the "normal" and "photo" printers come out as they always have.
const double printerFactors[] = {3.6,
                                 2.9,
                                 2.2,
                                 1.6,
                                 1.4,
                                 1.1,
                                 0.9,
                                 0.7,
                                 0.5185185185185185,
                                 0.4516129032258064,
                                 0.5185185185185185,
                                 0.4516129032258064};

const double minimumMmPerPixel = 0.0001;
const double minimumPrintFactor = 0.35;
const double maximumPrintFactor = 4.5;
const double paperRadiusMm = 0.075;
const double minimumRadius = 0.2;
const double maximumOperatorRadius = 10.0;
const double inchesPerMm = 0.03937007874015748;
const int32 minimumPixels = 5;

template <int N>
double factorAt(const double (&table)[N], int32 index) {
  return index >= 0 && index < N ? table[index] : 1.0;
}

// Truncation toward zero. Values beyond int32 (absurd print sizes) saturate instead of being
// undefined, so a hostile settings record cannot make the conversion misbehave.
int32 truncateToInt32(double value) {
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32>(value);
}

double eyeDistanceRadiusFactor(int32 step) {
  switch (step) {
    case 2:
      return 1.3;
    case 3:
      return 2.0;
    case 4:
      return 1.8;
    case 5:
      return 6.0;
    default:
      return 1.0;
  }
}

// Further viewing distances forgive a lower image resolution.
int32 eyeDistanceRequiredDpi(int32 step, int32 requiredDpi) {
  switch (step) {
    case 2:
      return truncateToInt32(requiredDpi * 0.7692307692307692);
    case 3:
      return requiredDpi / 2;
    case 4:
      return truncateToInt32(requiredDpi * 0.5555555555555556);
    case 5:
      return requiredDpi / 6;
    default:
      return requiredDpi;
  }
}

double profileRadiusFactor(int32 step) {
  switch (step) {
    case 1:
      return 0.8;
    case 3:
      return 1.15;
    default:
      return 1.0;
  }
}

int32 profileStrength(int32 step) {
  switch (step) {
    case 1:
      return 122;
    case 3:
      return 288;
    default:
      return 175;
  }
}

double millimetresPerPixel(const SharpenSettings& settings, int32 pixelWidth, int32 pixelHeight) {
  // Both axes are averaged, so a print whose aspect differs from the image's still gets one value.
  double mm = (static_cast<double>(settings.printHeight) / pixelHeight +
               static_cast<double>(settings.printWidth) / pixelWidth) *
              0.5;
  return mm < minimumMmPerPixel ? minimumMmPerPixel : mm;
}

double clampedPrintFactor(double factor) {
  if (factor < minimumPrintFactor) return minimumPrintFactor;
  if (factor > maximumPrintFactor) return maximumPrintFactor;
  return factor;
}

double operatorRadiusOf(double radiusPixels, int32 dialogActive, int32 previewZoom) {
  double radius = dialogActive != 0 ? radiusPixels / previewZoom : radiusPixels;
  return radius < maximumOperatorRadius ? radius : maximumOperatorRadius;
}

}  // namespace

const char* detailLabelOfIndex(int32 realResolutionIndex) {
  if (realResolutionIndex <= 100) return "optimal sharpness";
  if (realResolutionIndex <= 150) return "good detail";
  if (realResolutionIndex <= 200) return "sufficient detail";
  if (realResolutionIndex <= 250) return "insufficient detail";
  return "print will be blurry";
}

PrintModel computePrintModel(const SharpenSettings& settings, int32 documentWidth,
                             int32 documentHeight, int32 dialogActive, int32 previewZoom) {
  PrintModel model{};
  model.pixelWidth = documentWidth < minimumPixels ? minimumPixels : documentWidth;
  model.pixelHeight = documentHeight < minimumPixels ? minimumPixels : documentHeight;
  model.mmPerPixel = millimetresPerPixel(settings, model.pixelWidth, model.pixelHeight);
  model.printDpi = (1.0 / model.mmPerPixel) * 25.4;

  double printerQuality = factorAt(printerQualityFactors, settings.printerQuality);
  double printer = factorAt(printerFactors, settings.printerResolution);
  double factor = printerQuality * printer * factorAt(imageQualityFactors, settings.imageQuality) *
                  factorAt(imageSourceFactors, settings.imageSource);
  // The required resolution comes from the printer alone and ignores the clamp below.
  int32 requiredDpi = truncateToInt32(260.0 / printer / printerQuality);
  model.printFactor = clampedPrintFactor(factor);

  double radius = model.printFactor * paperRadiusMm * (1.0 / model.mmPerPixel);
  radius = radius * eyeDistanceRadiusFactor(settings.eyeDistance);
  model.requiredDpi = eyeDistanceRequiredDpi(settings.eyeDistance, requiredDpi);
  // The floor comes before the profile, so the gentle profile can still go below it.
  if (radius < minimumRadius) radius = minimumRadius;
  model.radiusPixels = radius * profileRadiusFactor(settings.personalProfile);
  model.strength = profileStrength(settings.personalProfile);
  model.radiusMillimetres = model.radiusPixels * model.mmPerPixel;

  // Only the horizontal axis enters the index: 100 x requiredDpi / horizontal print ppi.
  model.realResolutionIndex =
      truncateToInt32((settings.printWidth * inchesPerMm * 100) /
                      (static_cast<double>(model.pixelWidth) / model.requiredDpi));
  model.detailLabel = detailLabelOfIndex(model.realResolutionIndex);
  model.operatorRadius = operatorRadiusOf(model.radiusPixels, dialogActive, previewZoom);
  model.operatorRadiusWhole = truncateToInt32(model.operatorRadius);
  return model;
}
