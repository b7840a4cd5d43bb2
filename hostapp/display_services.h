// The host's displayPixels: draws a pixel map the module hands over (the dialog's preview)
// into a device context, on Windows with SetDIBitsToDevice and natively through the platform
// stand-in's SetDIBitsToDevice.
//
// Contract: the module owns the map, its pixels and its masks for the duration of the call;
// the host only reads them and keeps nothing. Maps of 8-bit grayscale (imageMode 1), RGB
// (3), CMYK (4, the inverted form: 255 no ink) and Lab (9, a and b offset by 128) are shown,
// the last two turned into screen RGB by the host's colour engine, the one its colour
// services use (the formula engine when no colour services are active, or when the engine
// refuses a colour). Interleaved or planar: pixel (row, col) of the map's coordinate
// system (`bounds`, bottom and right exclusive) lies at baseAddr + (row - bounds.top) * rowBytes
// + (col - bounds.left) * colBytes, its planes planeBytes apart. The source rectangle is in
// those coordinates and is clipped to the bounds; its top left pixel lands at device point
// (dstCol, dstRow). With version 1 or later, the first mask record weights every pixel against
// white (255 the pixel, 0 white; an inverting mask the other way round). Returns noErr, or
// filterBadParameters, drawing nothing, for a missing map, rectangle, device context or base
// address, a zero rowBytes, or a mode this host cannot show.
#pragma once

#include <vector>

#include "hostapi/pixel_map.h"
#include "hostapp/color_engine.h"

// The picture handed to SetDIBitsToDevice: a bottom-up 24-bit BGR DIB, rows padded to 4 bytes.
struct DisplayBitmap {
  int32 width = 0;
  int32 height = 0;
  std::vector<uint8> bits;
};

// The part of `map` inside `source`, as a DIB; false (bitmap empty) when the map cannot be
// shown. An empty intersection gives an empty bitmap and true. CMYK and Lab go through
// `colors`, or the formula engine when it is null.
bool convertPixelMap(const PSPixelMap& map, const VRect& source, DisplayBitmap* bitmap,
                     ColorEngine* colors = nullptr);

OSErr HOSTAPI_CALL displayPixelMap(const PSPixelMap* source, const VRect* srcRect, int32 dstRow,
                                   int32 dstCol, void* platformContext);
