// Finish: the host records the run's settings, and the run's colour caches go.
#include "host/scripting_parameters.h"
#include "host/selector_handlers.h"
#include "image/color_cache.h"

void handleFinish(PluginGlobals* globals, FilterParameters* parameters) {
  recordSettings(globals, parameters);
  destroyColorCache(globals->colors.fromRgbCache);
  destroyColorCache(globals->colors.toRgbCache);
}
