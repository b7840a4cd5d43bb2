// FilterParameters: the large record the module keeps in the host's `parameters` handle, which
// the host preserves between runs. Every selector handler locks it first and unlocks it last;
// the address is valid only within that call, so the dialog, the engine and the controls get it
// per call and never retain it. The record is created zero-filled; window and bitmap handles in
// it belong to the dialog that created them. SharpenSettings is the run of eight consecutive
// fields personalProfile..printWidth; the first six are the persisted settings, in that order.
#pragma once

#include "hostapi/types.h"
#include "image/image_plane.h"
#include "platform/win32.h"

class ControlGroup;
class TextLabel;
class Control;
struct BitmapList;
struct PluginGlobals;

// The settings the user edits; indices count from 0, steps from 1.
struct SharpenSettings {
  int32 personalProfile;     // step 1..3
  int32 eyeDistance;         // step 1..5
  int32 printerQuality;      // index 0..4
  int32 printerResolution;   // index 0..11
  int32 imageQuality;        // index 0..4
  int32 imageSource;         // index 0..9
  int32 printHeight;         // millimetres, at most 600; never persisted
  int32 printWidth;          // millimetres, at most 600; never persisted
};

constexpr int kPersistedSettingCount = 6;
constexpr int kStatusLabelCount = 4;
constexpr int kHelpPageCount = 51;

// dialogRequest values: show the dialog at Start, run without it, or fresh / dialog done.
constexpr int32 kDialogRequestShow = 88;
constexpr int32 kDialogRequestSkip = 77;
constexpr int32 kDialogRequestNone = 0;

struct FilterParameters {
  HBITMAP backgroundBitmap;
  HWND dialogWindow;
  ControlGroup* controls;
  BitmapList* bitmapList;
  HINSTANCE moduleInstance;
  int32 settingsChanged;
  TextLabel* zoomLabel;
  TextLabel* statusLabels[kStatusLabelCount];
  int32 previewZoom;
  SharpenSettings settings;
  HWND helpWindow;
  ControlGroup* helpControls;
  HBITMAP helpPageBitmaps[kHelpPageCount];
  uint8 helpPage;
  int32 dialogRequest;
  int32 tileWidth;
  int32 tileHeight;
  int32 tileOverlap;
  ImagePlane inputPlane;
  ImagePlane outputPlane;
  uint8* hostInputPixels;   // the host's inData and outData as the views last saw them
  uint8* hostOutputPixels;
  uint8 cancelled;
  PluginGlobals* globals;
  int32 dialogActive;
  Control* accelerationButton;
  HBITMAP accelerationOffBitmap;
  HBITMAP accelerationOnBitmap;
  int32 settingsTouched;
};

// The run defaults, applied by Parameters and by every Prepare: nothing changed yet, the
// module's instance for resources, and the tile geometry (640 x 640 cores, 32 pixels overlap).
void applyRunDefaults(FilterParameters* parameters);
