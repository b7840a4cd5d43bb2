// The main dialog's button actions: OK, Cancel, the acceleration toggle and the zoom buttons.
// Each takes the MainDialog and answers 1 when it did something, 0 when it changed nothing (a
// zoom button at its limit).
//
// Contract: OK and Cancel only end the dialog (OK sets `confirmed`, Cancel leaves it clear).
// The toggle flips the run's acceleration and the button's pictures, both of which belong to
// the dialog's bitmap list. The zoom divisor runs from 1 to 10; a start divisor
// above 10 stays until "+" brings it down. Every change is followed by a Refresh of all controls
// (the preview first), then the zoom label.
#pragma once

#include <cstdint>

struct MainDialog;

constexpr int32_t kLargestZoom = 10;

uint32_t okAction(MainDialog* dialog);
uint32_t cancelAction(MainDialog* dialog);
uint32_t toggleAcceleration(MainDialog* dialog);
uint32_t zoomIn(MainDialog* dialog);
uint32_t zoomOut(MainDialog* dialog);
uint32_t zoomReset(MainDialog* dialog);
