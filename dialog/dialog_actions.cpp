#include "dialog/dialog_actions.h"

#include "controls/control_group.h"
#include "controls/text_label.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

namespace {

FilterParameters* parametersOf(void* userData) { return static_cast<FilterParameters*>(userData); }

void refreshAll(FilterParameters* parameters) {
  if (parameters->controls) parameters->controls->dispatch(0, 0, nullptr, ControlEvent::Refresh);
}

// Sets the divisor, recomputes the preview at it, then shows it in the label.
uint32_t applyZoom(FilterParameters* parameters, int32_t zoom) {
  parameters->previewZoom = zoom;
  refreshAll(parameters);
  if (parameters->zoomLabel) parameters->zoomLabel->setText("%s%i", "1:", zoom);
  return 1;
}

}  // namespace

uint32_t okAction(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  parameters->cancelled = false;
  EndDialog(parameters->dialogWindow, 1);
  return 1;
}

uint32_t cancelAction(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  EndDialog(parametersOf(userData)->dialogWindow, 1);
  return 1;
}

uint32_t toggleAcceleration(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  PluginGlobals* globals = parameters->globals;
  globals->colors.acceleration = globals->colors.acceleration ? 0 : 1;
  HBITMAP picture = globals->colors.acceleration ? parameters->accelerationOnBitmap
                                          : parameters->accelerationOffBitmap;
  if (auto* button = dynamic_cast<BitmapControl*>(parameters->accelerationButton)) {
    button->setBitmap(picture);
    button->setPressedBitmap(picture);
  }
  refreshAll(parameters);
  return 1;
}

uint32_t zoomOut(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  if (parameters->previewZoom >= kLargestZoom) return 0;
  return applyZoom(parameters, parameters->previewZoom + 1);
}

uint32_t zoomIn(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  if (parameters->previewZoom < 2) return 0;
  return applyZoom(parameters, parameters->previewZoom - 1);
}

uint32_t zoomReset(void*, int32_t, int32_t, EventData, int32_t, void* userData) {
  FilterParameters* parameters = parametersOf(userData);
  if (parameters->previewZoom == 1) return 0;
  return applyZoom(parameters, 1);
}
