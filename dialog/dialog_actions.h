// The main dialog's button actions: OK, Cancel, the acceleration toggle and the zoom buttons.
// Each takes the dialog's FilterParameters and answers 1 when it did something, 0 when it changed
// nothing (a zoom button at its limit).
//
// Contract: OK and Cancel only end the dialog (OK clears `cancelled`, Cancel leaves the 1 that
// Start set). The toggle flips PluginGlobals.acceleration and the button's pictures, both of
// which belong to the dialog's bitmap list. The zoom divisor runs from 1 to 10; a start divisor
// above 10 stays until "+" brings it down. Every change is followed by a Refresh of all controls
// (the preview first), then the zoom label.
#pragma once

#include <cstdint>

struct FilterParameters;

constexpr int32_t kLargestZoom = 10;

uint32_t okAction(FilterParameters* parameters);
uint32_t cancelAction(FilterParameters* parameters);
uint32_t toggleAcceleration(FilterParameters* parameters);
uint32_t zoomIn(FilterParameters* parameters);
uint32_t zoomOut(FilterParameters* parameters);
uint32_t zoomReset(FilterParameters* parameters);
