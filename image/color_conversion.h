// Single-colour conversion through the host's colour services, and the run's two colour caches
// in RunColors (toRgbCache: document colour to RGB; fromRgbCache: RGB to document colour).
// Colours are 8-bit channels in the host's order for the mode (channelsOfMode bytes, at most
// four); modes are the host's image modes, looked up in RunColors' per-mode tables.
// A host without colorServices converts nothing: convertColorThroughHost leaves the result as
// it was and the caches are created unprimed. A cache that cannot be allocated is left null or
// empty, which only means every colour goes to the host.
#pragma once

#include "hostapi/types.h"
#include "image/pixel_services.h"

struct ColorCache;

// Each way has a direct cache of 2^kColorCacheSlotBits slots (8 MiB) for a mode that uses the
// caches; for the others it is kept as small as a cache can be.
constexpr int8 kColorCacheSlotBits = 20;
constexpr int8 kUnusedColorCacheSlotBits = 8;

// Channels of an image mode (0 for a mode outside the host's table).
int32 modeChannels(const RunColors& colors, int32 mode);

// True for the modes whose host conversions go through the run's caches: CMYK and Lab
// (grayscale needs no conversion).
bool modeUsesColorCaches(int32 mode);

// True when the current host offers single-colour conversion.
bool hostConvertsColors(const PixelServices& services);

// Converts one colour of sourceMode into targetMode, writing channelsOfMode(targetMode) bytes.
// A host that answers with an error has not converted the colour: its components are not one,
// so the first such result is kept in the run's colorError, which ends the run (the engine checks
// it before writing a tile), and the colour is left as black; after that the host is not asked
// again during the run.
void convertColorThroughHost(const PixelServices& services, int32 sourceMode, int32 targetMode,
                             const uint8* source, uint8* result);

// The colour of `source` in targetMode, from `cache` when it holds it, otherwise converted by the
// host and remembered. A null cache converts every time. The cache must be locked.
void convertColorCached(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                        int32 targetMode, const uint8* source, uint8* result);
// The host's conversion of `source`, remembered in `cache` unless the host failed: the miss
// path of convertColorCached, for loops that look the cache up themselves. The cache must be
// locked.
void convertColorAndRemember(const PixelServices& services, ColorCache* cache, int32 sourceMode,
                             int32 targetMode, const uint8* source, uint8* result);

// Replaces the run's caches with fresh ones for the document's mode and primes them with the
// conversions of black; both are left unlocked. The run's colour error is cleared first.
void createColorCaches(const PixelServices& services, int32 documentMode);
// Destroys both caches; the pointers become null.
void destroyColorCaches(RunColors& colors);
