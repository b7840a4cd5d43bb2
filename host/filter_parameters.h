// FilterParameters: the large record the module keeps in the host's `parameters` handle, which
// the host preserves between runs. Every selector handler locks it first and unlocks it last;
// the address is valid only within that call, so the dialog, the engine and the controls get it
// per call and never retain it. The record is created zero-filled. It holds the settings and the
// run state only: what the open dialog needs besides lives in its MainDialog (dialog/).
// SharpenSettings is the run of eight consecutive fields personalProfile..printWidth; the first
// six are the persisted settings, in that order.
#pragma once

#include "core/sharpen_settings.h"
#include "engine/sharpen.h"
#include "hostapi/types.h"
#include "image/image_plane.h"
#include "platform/win32.h"

struct PluginGlobals;

// What Start does about the dialog: show it, run without it, or nothing asked (a fresh record,
// or the dialog done). The values are the ones stored in records hosts keep between runs.
enum class DialogRequest : int32 { None = 0, Skip = 77, Show = 88 };

struct FilterParameters {
  HINSTANCE moduleInstance;
  SharpenSettings settings;
  DialogRequest dialogRequest;
  int32 tileWidth;
  int32 tileHeight;
  int32 tileOverlap;
  ImagePlane inputPlane;
  ImagePlane outputPlane;
  uint8* hostInputPixels;  // the host's inData and outData as the views last saw them
  uint8* hostOutputPixels;
  bool cancelled;
  PluginGlobals* globals;
  bool dialogActive;
  bool settingsTouched;
  SharpenJob job;  // the final run's, worked out once before its first tile
};

// The run defaults, applied by Parameters and by every Prepare: the module's instance for
// resources, and the tile geometry (640 x 640 cores, 32 pixels overlap).
void applyRunDefaults(FilterParameters* parameters);
