#include "core/setting_names.h"

#include <cstring>

const char* const kImageSourceNames[] = {"APS",
                                         "Small Format Slide",
                                         "Middle Format Slide",
                                         "Large Transparency",
                                         "Digital Camera (low end)",
                                         "Digital Camera (mid range)",
                                         "Digital Camera (high end)",
                                         "Scan (low end)",
                                         "Scan (mid range)",
                                         "Scan (high end)",
                                         nullptr};

const char* const kQualityNames[] = {"bad",           "below average", "average",
                                     "above average", "good",          nullptr};

const char* const kPrinterResolutionNames[] = {
    "300x300 dpi",     "360x360 dpi",    "720x360 dpi",   "600x600 dpi",      "720x720 dpi",
    "1440x720 dpi",    "1200x1200 dpi",  "1440x1440 dpi", "2400x1200 normal", "2400x1200 photo",
    "2880x720 normal", "2880x720 photo", nullptr};

int settingNameIndex(const char* const names[], const char* text) {
  for (int index = 0; names[index] != nullptr; ++index) {
    if (std::strcmp(names[index], text) == 0) return index;
  }
  return -1;
}
