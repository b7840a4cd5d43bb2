// Print resolution model: turns the document's pixel size and the user's SharpenSettings into
// the numbers the engine runs on (print resolution, Real Resolution Index, sharpening radius in
// pixels and on paper, strength, and the radius handed to the blur operator).
// computePrintModel is a pure function: no state, no failure; every input yields a model.
// All arithmetic is IEEE double in the order written in print_model.cpp, and conversions to
// integers truncate toward zero (saturating at the int32 limits instead of overflowing). The
// two builds (x86-64 and i686 with SSE2, both without fused multiply-add) must agree to the bit,
// so do not reorder the expressions there.
// detailLabel points to a static text; the model owns no memory.
#pragma once

#include "hostapi/types.h"

struct SharpenSettings;

struct PrintModel {
  int32 pixelWidth;           // document width in pixels, at least 5
  int32 pixelHeight;          // document height in pixels, at least 5
  double mmPerPixel;          // millimetres of paper per image pixel, at least 0.0001
  double printDpi;            // print resolution, pixels per inch
  double printFactor;         // product of the four list factors, clamped to 0.35..4.5
  int32 requiredDpi;          // image resolution the printer calls for, after the eye distance
  int32 realResolutionIndex;  // 100 when the print resolution equals requiredDpi; larger is worse
  const char* detailLabel;    // band of realResolutionIndex
  double radiusPixels;        // sharpening radius in image pixels
  double radiusMillimetres;   // the same radius on paper
  int32 strength;             // sharpening strength in percent: 122, 175 or 288
  double operatorRadius;      // radius for the blur operator, preview-divided, at most 10.0
  int32 operatorRadiusWhole;  // operatorRadius truncated
};

// documentWidth and documentHeight are the host's document size in pixels. While dialogActive is
// non-zero the operator radius is divided by previewZoom (the preview's scale divisor).
PrintModel computePrintModel(const SharpenSettings& settings, int32 documentWidth,
                             int32 documentHeight, int32 dialogActive, int32 previewZoom);

// The band text of a Real Resolution Index (upper bounds inclusive).
const char* detailLabelOfIndex(int32 realResolutionIndex);
