// The host's conversion of single colours between colour-services spaces (RGB 0, CMYK 2,
// Lab 3, gray 4). Components are 0..255 in the document's own encoding: RGB and gray as they
// are; CMYK 255 for no ink down to 0 for full ink (the host's inverted form, as CMYK documents
// hold it); Lab L 0..255 for 0..100 and a, b offset by 128.
// Two engines: LittleCMS with ICC profiles (native build only), and a formula path that needs
// no library and gives the same bytes in both builds:
//   gray from RGB  (299 R + 587 G + 114 B + 500) / 1000;  RGB from gray  R = G = B = gray;
//   CMYK from RGB  inks c = 255 - R, m = 255 - G, y = 255 - B, k = min(c, m, y), each of c, m,
//                  y reduced by k, components 255 - ink;  RGB from CMYK  R = 255 - min(255, c + k)
//                  and so on, so every RGB colour survives a round trip exactly;
//   Lab            sRGB companding and the sRGB primaries adapted to D50, CIE Lab on D50 white,
//                  rounded to the nearest component and clamped.
// Conversions between two spaces that are not RGB go through RGB.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hostapi/types.h"

class ColorEngine {
 public:
  virtual ~ColorEngine() = default;
  // Converts in place; false, with the components unchanged, for a space it does not know.
  virtual bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) = 0;
};

std::unique_ptr<ColorEngine> makeFormulaColorEngine();

#ifndef _WIN32
// Profiles: sRGB, Lab D50, gray with gamma 2.2, and for CMYK `cmykProfile` (ICC bytes) or, when
// it is empty, kDefaultCmykProfilePath. The document's own profile (`documentProfile`, for a
// document of image mode `documentMode`) replaces the built-in one of its space when it is a
// profile of that space. Null with a message in `error` when a profile cannot be opened.
constexpr const char* kDefaultCmykProfilePath = "/usr/share/color/icc/ghostscript/default_cmyk.icc";
std::unique_ptr<ColorEngine> makeLcmsColorEngine(const std::vector<uint8>& documentProfile,
                                                 int16 documentMode, std::string* error);
#endif
