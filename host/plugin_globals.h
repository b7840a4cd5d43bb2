// PluginGlobals: the small record the host keeps for the module in its `data` slot, in a handle
// created through memory/handle_memory.h on the first call that is not About. It is locked for the
// length of one entry-point call; `result` and `filterRecord` point into the host's memory and
// are refreshed on every entry, so nothing may keep them across calls. The record starts
// zero-filled. The two tables are indexed by FilterRecord.imageMode (modes 0..11).
#pragma once

#include "hostapi/filter_record.h"
#include "hostapi/types.h"

struct ColorCache;

constexpr int kImageModeCount = 12;

struct PluginGlobals {
  int16* result;                             // the host's result code of the current call
  FilterRecord* filterRecord;                // the host's parameter block of the current call
  int32 colorSpaceOfMode[kImageModeCount];   // colour-services space per image mode, -1 none
  int32 channelsOfMode[kImageModeCount];     // interleaved 8-bit channels per image mode
  ColorCache* toRgbCache;                    // document colour -> RGB; Prepare to Finish
  ColorCache* fromRgbCache;                  // RGB -> document colour; same lifetime
  int32 acceleration;                        // 1: CMYK converted by copying channels
  int16 colorError;                          // the host's first colour-services failure of
                                             // the run (noErr: none); the run ends with it
};
