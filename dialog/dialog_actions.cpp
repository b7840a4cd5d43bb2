#include "dialog/dialog_actions.h"

#include "controls/bitmap_control.h"
#include "controls/control_group.h"
#include "controls/text_label.h"
#include "dialog/main_dialog.h"

namespace {

void refreshAll(MainDialog* dialog) {
  if (dialog->controls) dialog->controls->onRefresh();
}

// Sets the divisor, recomputes the preview at it, then shows it in the label.
uint32_t applyZoom(MainDialog* dialog, int32_t zoom) {
  dialog->zoom = zoom;
  refreshAll(dialog);
  if (dialog->zoomLabel) dialog->zoomLabel->setText("%s%i", "1:", zoom);
  return 1;
}

}  // namespace

uint32_t okAction(MainDialog* dialog) {
  dialog->confirmed = true;
  EndDialog(dialog->window, 1);
  return 1;
}

uint32_t cancelAction(MainDialog* dialog) {
  EndDialog(dialog->window, 1);
  return 1;
}

uint32_t toggleAcceleration(MainDialog* dialog) {
  int32* acceleration = dialog->run.acceleration;
  *acceleration = *acceleration ? 0 : 1;
  HBITMAP picture = *acceleration ? dialog->accelerationOnBitmap : dialog->accelerationOffBitmap;
  if (auto* button = dynamic_cast<BitmapControl*>(dialog->accelerationButton)) {
    button->setBitmap(picture);
    button->setPressedBitmap(picture);
  }
  refreshAll(dialog);
  return 1;
}

uint32_t zoomOut(MainDialog* dialog) {
  if (dialog->zoom >= kLargestZoom) return 0;
  return applyZoom(dialog, dialog->zoom + 1);
}

uint32_t zoomIn(MainDialog* dialog) {
  if (dialog->zoom < 2) return 0;
  return applyZoom(dialog, dialog->zoom - 1);
}

uint32_t zoomReset(MainDialog* dialog) {
  if (dialog->zoom == 1) return 0;
  return applyZoom(dialog, 1);
}
