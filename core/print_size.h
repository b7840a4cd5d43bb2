// The print size a document implies: its pixels at its resolution, in millimetres. The module
// derives printWidth and printHeight from this on every Prepare, and the command-line tool uses
// the same function to find the resolution that yields a requested size. Pure functions; the
// arithmetic is IEEE double, rounded once to single precision, the same in both builds.
#pragma once

#include "hostapi/types.h"

// The largest print side the settings hold, in millimetres.
constexpr int32 kMaxPrintMillimetres = 600;

// Millimetres of `pixels` at `resolution` (16.16 pixels per inch), rounded to single
// precision. A resolution of 0 or below gives an infinite or negative size.
float printMillimetres(int32 pixels, Fixed resolution);

// The whole millimetres a settings field holds for a size: truncated toward zero, with
// anything above the maximum, below zero or not a number stored as the maximum.
int32 printSizeField(float millimetres);

// The eye distance a print of w x h millimetres calls for: 5 above 1000 mm, 4 above 800, 3
// above 600 (either side), otherwise 0 (no requirement).
int32 eyeDistanceTier(float widthMillimetres, float heightMillimetres);
