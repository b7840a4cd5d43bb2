// The settings of a 3000 x 2000 photo from a mid-range digital camera, printed 254 x 169 mm on
// the default printer: the example whose model and status lines the command line publishes.
#pragma once

#include "host/filter_parameters.h"

inline SharpenSettings cameraPrint() {
  SharpenSettings settings{};
  settings.personalProfile = 2;
  settings.eyeDistance = 1;
  settings.printerQuality = 2;
  settings.printerResolution = 4;
  settings.imageQuality = 2;
  settings.imageSource = 5;
  settings.printHeight = 169;
  settings.printWidth = 254;
  return settings;
}
