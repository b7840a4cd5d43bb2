// The six settings a host records for a run and the settings file stores, in that order: one
// row each with what the module, the command line and the tools know of it.
#pragma once

#include "core/setting_names.h"
#include "core/sharpen_settings.h"
#include "hostapi/types.h"

struct PersistedSetting {
  int32 SharpenSettings::*field;
  uint32 descriptorKey;  // the key the host's scripting records it under
  const char* option;    // the command-line flag
  int32 lowest;          // the values it may take
  int32 highest;
  int32 runDefault;          // what a run starts from when nothing was recorded
  const char* const* names;  // the list texts of an index, lowest first; null for a step
  const char* fieldName;     // the field's name, as reports and scripts know it
  const char* label;         // what it is, in a few words

  constexpr int32 valueCount() const { return highest - lowest + 1; }
};

inline constexpr PersistedSetting kPersistedSettings[kPersistedSettingCount] = {
    {&SharpenSettings::personalProfile, fourCharCode("par1"), "--profile", 1, 3, 2, nullptr,
     "personalProfile", "profile"},
    {&SharpenSettings::eyeDistance, fourCharCode("par2"), "--eye-distance", 1, 5, 1, nullptr,
     "eyeDistance", "eye distance"},
    {&SharpenSettings::printerQuality, fourCharCode("par3"), "--printer-quality", 0, 4, 2,
     kQualityNames, "printerQuality", "printer quality"},
    {&SharpenSettings::printerResolution, fourCharCode("par4"), "--printer", 0, 11, 4,
     kPrinterResolutionNames, "printerResolution", "printer"},
    {&SharpenSettings::imageQuality, fourCharCode("par5"), "--image-quality", 0, 4, 2,
     kQualityNames, "imageQuality", "image quality"},
    {&SharpenSettings::imageSource, fourCharCode("par6"), "--source", 0, 9, 1, kImageSourceNames,
     "imageSource", "source"},
};

// The row of one of the six fields; naming any other field is a mistake of the caller's
// (a compile-time error where the call is evaluated as a constant).
constexpr const PersistedSetting& persistedSetting(int32 SharpenSettings::*field) {
  for (const PersistedSetting& setting : kPersistedSettings) {
    if (setting.field == field) return setting;
  }
  throw "not a persisted setting";
}
