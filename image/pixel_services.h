// What pixel code needs of the host, as plain values: its handle memory, its colour services
// and the run's colour state. The host layer keeps the colour state from Prepare to Finish and
// hands pixel code a PixelServices for each call, since the host's procs may differ per call.
#pragma once

#include "hostapi/color_services.h"
#include "hostapi/types.h"
#include "memory/handle_memory.h"

struct ColorCache;

constexpr int kImageModeCount = 12;

// The run's colour state. It starts zero-filled; the two tables are indexed by the host's
// image mode (modes 0..11).
struct RunColors {
  int32 colorSpaceOfMode[kImageModeCount];  // colour-services space per image mode, -1 none
  int32 channelsOfMode[kImageModeCount];    // interleaved 8-bit channels per image mode
  ColorCache* toRgbCache;                   // document colour -> RGB; Prepare to Finish
  ColorCache* fromRgbCache;                 // RGB -> document colour; same lifetime
  int32 acceleration;                       // 1: CMYK converted by copying channels
  int16 colorError;                         // the host's first colour-services failure of
                                            // the run (noErr: none); the run ends with it
};

struct PixelServices {
  HandleMemory memory;
  ColorServicesProc colorServices;  // the host's single-colour conversion; null: none offered
  RunColors* colors;
};
