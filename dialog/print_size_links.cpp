#include "dialog/print_size_links.h"

namespace {

uint32_t followPartner(ValueField* const* links, void* context, bool widthChanged) {
  const FilterRecord* record = static_cast<const DialogRun*>(context)->record;
  ValueField* changed = links[0];
  ValueField* partner = links[1];
  if (!record || !changed || !partner) return 1;
  int32 width = record->imageSize.h, height = record->imageSize.v;
  int32 other = widthChanged ? linkedPrintSize(changed->value(), width, height)
                             : linkedPrintSize(changed->value(), height, width);
  if (other >= 0 && other != partner->value()) partner->setValue(other, 0);
  return 1;
}

bool atTop(const ValueField& field) { return field.value() == field.count() - 1; }

}  // namespace

int32 linkedPrintSize(int32 size, int32 sidePixels, int32 otherPixels) {
  if (sidePixels == 0) return -1;
  double ratio = double(otherPixels) / double(sidePixels);
  return int32(double(size) * ratio);
}

int32 largestPrintSize(int32 eyeDistance) {
  switch (eyeDistance) {
    case 3:
      return 800;
    case 4:
      return 1000;
    case 5:
      return 4000;
    default:
      return 600;
  }
}

PrintSizeLimit limitPrintSize(int32 width, int32 height, float naturalWidthMm,
                              float naturalHeightMm, bool widthAtTop, bool heightAtTop,
                              int32 eyeDistance) {
  int32 largest = largestPrintSize(eyeDistance);
  PrintSizeLimit limit{width, height, largest};
  if (float(width) >= naturalWidthMm && float(height) >= naturalHeightMm) return limit;
  if (!widthAtTop && !heightAtTop && width <= largest && height <= largest) return limit;
  // Both sides shrink by the same factor, so a capped print keeps the picture's proportions.
  float factor = 1.0f;
  if (naturalWidthMm > float(largest)) factor = float(largest) / naturalWidthMm;
  if (naturalHeightMm * factor > float(largest)) factor = float(largest) / naturalHeightMm;
  limit.width = int32(naturalWidthMm * factor);
  limit.height = int32(naturalHeightMm * factor);
  return limit;
}

float naturalPrintSize(int32 pixels, Fixed resolution) {
  float pixelsPerInch = float(resolution) / 65536.0f;
  if (pixelsPerInch <= 0.0f) return 0.0f;
  return float(pixels) * 10.0f / pixelsPerInch * 2.54f;
}

uint32_t linkHeightToWidth(ValueField* const* links, void* run) {
  return followPartner(links, run, true);
}

uint32_t linkWidthToHeight(ValueField* const* links, void* run) {
  return followPartner(links, run, false);
}

uint32_t applyEyeDistanceLimit(Control* const* links, void* context) {
  const auto* run = static_cast<const DialogRun*>(context);
  auto* heightField = dynamic_cast<ValueField*>(links[1]);
  auto* widthField = dynamic_cast<ValueField*>(links[2]);
  const FilterRecord* record = run->record;
  if (!heightField || !widthField || !record) return 1;
  const SharpenSettings& s = *run->settings;
  PrintSizeLimit limit = limitPrintSize(s.printWidth, s.printHeight,
                                        naturalPrintSize(record->imageSize.h, record->imageHRes),
                                        naturalPrintSize(record->imageSize.v, record->imageVRes),
                                        atTop(*widthField), atTop(*heightField), s.eyeDistance);
  widthField->setRange(limit.range + 1, 0);
  heightField->setRange(limit.range + 1, 0);
  widthField->setValue(limit.width, 0);
  heightField->setValue(limit.height, 0);
  return 1;
}
