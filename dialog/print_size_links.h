// The print-size rules of the main dialog: Image Width and Image Height follow each other in
// the proportion of the document's pixels, and the Eye Distance step sets how large a print the
// two fields offer.
//
// Contract: the arithmetic is pure (linkedPrintSize, largestPrintSize, limitPrintSize) so it can
// be checked on its own; the callbacks apply it to the fields. Sizes are whole millimetres;
// ratios are doubles and every conversion to an integer truncates toward zero. A document side
// of 0 pixels links nothing (the other field keeps its value). The callbacks take the fields'
// link lists (entry 0 the control that changed, then its linked fields), never write a field
// with callbacks, and return 1.
#pragma once

#include "controls/step_selector.h"
#include "controls/value_field.h"
#include "dialog/dialog_run.h"

// The other side for `size` millimetres on a side of `sidePixels`, the other side having
// `otherPixels`: size x (otherPixels / sidePixels), truncated. -1 when sidePixels is 0.
int32 linkedPrintSize(int32 size, int32 sidePixels, int32 otherPixels);

// The largest print size in millimetres that an eye distance step allows.
int32 largestPrintSize(int32 eyeDistance);

struct PrintSizeLimit {
  int32 width;  // the print size to show
  int32 height;
  int32 range;  // the fields' new highest position
};

// What an eye distance step does to the print size: keeps the size when it is at least the
// document's natural size, or when neither field stands at its highest position and both fit
// the step's largest size; otherwise proposes the natural size, scaled down in proportion when a
// side exceeds the step's largest size.
PrintSizeLimit limitPrintSize(int32 width, int32 height, float naturalWidthMm,
                              float naturalHeightMm, bool widthAtTop, bool heightAtTop,
                              int32 eyeDistance);

// The document's size in millimetres at its own resolution (16.16 pixels per inch).
float naturalPrintSize(int32 pixels, Fixed resolution);

// Change callbacks: links[1] is the partner field. The context is the dialog's DialogRun.
uint32_t linkHeightToWidth(ValueField* const* links, void* run);
uint32_t linkWidthToHeight(ValueField* const* links, void* run);
// links[1] is Image Height, links[2] Image Width. The context is the dialog's DialogRun.
uint32_t applyEyeDistanceLimit(Control* const* links, void* run);
