#include "dialog/dialog_actions.h"

#include "controls/bitmap_control.h"
#include "controls/control_group.h"
#include "controls/text_label.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"

namespace {

void refreshAll(FilterParameters* parameters) {
  if (parameters->controls) parameters->controls->onRefresh();
}

// Sets the divisor, recomputes the preview at it, then shows it in the label.
uint32_t applyZoom(FilterParameters* parameters, int32_t zoom) {
  parameters->previewZoom = zoom;
  refreshAll(parameters);
  if (parameters->zoomLabel) parameters->zoomLabel->setText("%s%i", "1:", zoom);
  return 1;
}

}  // namespace

uint32_t okAction(FilterParameters* parameters) {
  parameters->cancelled = false;
  EndDialog(parameters->dialogWindow, 1);
  return 1;
}

uint32_t cancelAction(FilterParameters* parameters) {
  EndDialog(parameters->dialogWindow, 1);
  return 1;
}

uint32_t toggleAcceleration(FilterParameters* parameters) {
  PluginGlobals* globals = parameters->globals;
  globals->acceleration = globals->acceleration ? 0 : 1;
  HBITMAP picture = globals->acceleration ? parameters->accelerationOnBitmap
                                          : parameters->accelerationOffBitmap;
  if (auto* button = dynamic_cast<BitmapControl*>(parameters->accelerationButton)) {
    button->setBitmap(picture);
    button->setPressedBitmap(picture);
  }
  refreshAll(parameters);
  return 1;
}

uint32_t zoomOut(FilterParameters* parameters) {
  if (parameters->previewZoom >= kLargestZoom) return 0;
  return applyZoom(parameters, parameters->previewZoom + 1);
}

uint32_t zoomIn(FilterParameters* parameters) {
  if (parameters->previewZoom < 2) return 0;
  return applyZoom(parameters, parameters->previewZoom - 1);
}

uint32_t zoomReset(FilterParameters* parameters) {
  if (parameters->previewZoom == 1) return 0;
  return applyZoom(parameters, 1);
}
