#include "hostapp/document.h"

#include "hostapi/constants.h"

int16 colorPlanesOfMode(int16 mode) {
  switch (mode) {
    case plugInModeGrayScale:
      return 1;
    case plugInModeRGBColor:
    case plugInModeLabColor:
      return 3;
    case plugInModeCMYKColor:
      return 4;
    default:
      return 0;
  }
}

Rect effectiveFilterRect(const DocumentDescription& document) {
  const Rect& selection = document.filterRect;
  if (selection.top < selection.bottom && selection.left < selection.right) {
    return selection;
  }
  return Rect{0, 0, int16(document.height), int16(document.width)};
}
