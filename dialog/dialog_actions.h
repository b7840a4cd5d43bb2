// The main dialog's button actions: OK, Cancel, the acceleration toggle and the zoom buttons.
// Each is a ButtonAction that takes the MainDialog as its user data and answers 1 when it
// did something, 0 when it changed nothing (a zoom button at its limit).
//
// Contract: OK and Cancel only end the dialog (OK sets `confirmed`, Cancel leaves it clear).
// The toggle flips the run's acceleration and the button's pictures, both of which belong to
// the dialog's bitmap list. The zoom divisor runs from 1 to 10; a start divisor
// above 10 stays until "+" brings it down. Every change is followed by a Refresh of all controls
// (the preview first), then the zoom label.
#pragma once

#include "controls/bitmap_button.h"

constexpr int32_t kLargestZoom = 10;

uint32_t okAction(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                  void* userData);
uint32_t cancelAction(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                      void* userData);
uint32_t toggleAcceleration(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                            void* userData);
uint32_t zoomIn(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                void* userData);
uint32_t zoomOut(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                 void* userData);
uint32_t zoomReset(void* context, int32_t x, int32_t y, EventData data, int32_t event,
                   void* userData);
