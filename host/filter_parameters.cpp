#include "host/filter_parameters.h"

#include "controls/module_instance.h"

namespace {
constexpr int32 kTileCoreSize = 640;
constexpr int32 kTileOverlap = 32;
}  // namespace

void applyRunDefaults(FilterParameters* parameters) {
  parameters->moduleInstance = moduleInstance();
  parameters->tileWidth = kTileCoreSize;
  parameters->tileHeight = kTileCoreSize;
  parameters->tileOverlap = kTileOverlap;
}
