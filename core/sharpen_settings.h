// The settings the user edits, as the module keeps them, the command line fills them and the
// settings file stores the first six of them.
#pragma once

#include "hostapi/types.h"

// The settings the user edits; indices count from 0, steps from 1. The first six are the
// persisted settings, in the settings file's order.
struct SharpenSettings {
  int32 personalProfile;    // step 1..3
  int32 eyeDistance;        // step 1..5
  int32 printerQuality;     // index 0..4
  int32 printerResolution;  // index 0..11
  int32 imageQuality;       // index 0..4
  int32 imageSource;        // index 0..9
  int32 printHeight;        // millimetres, at most 600; never persisted
  int32 printWidth;         // millimetres, at most 600; never persisted
};

constexpr int kPersistedSettingCount = 6;
