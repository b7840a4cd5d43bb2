// The catalogue of the filter's bitmaps: every bitmap resource the module loads, with its
// resource name, its file under resources/, its size and bit depth, drawn and encoded in
// memory. Resources that nothing loads are not in it.
//
// renderArtwork() draws everything from the fonts and the help text it is given; it answers
// false with a message when a font or the help text cannot be read or a help page does not
// fit. The same sources give the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

struct ArtworkSources {
  std::string fontDirectory;  // holds LiberationSans-Regular.ttf and -Bold.ttf
  std::string helpTextPath;   // resources/help_pages.txt
};

struct RenderedBitmap {
  std::string name;  // resource name, e.g. "FILTER_MAIN_BITMAP"
  std::string file;  // path relative to resources/, e.g. "bitmaps/filter_main_bitmap.bmp"
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<uint8_t> bytes;  // the whole .bmp file
};

bool renderArtwork(const ArtworkSources& sources, std::vector<RenderedBitmap>& out,
                   std::string& error);

// The resource script that embeds the bitmaps: one "NAME BITMAP "file"" line each.
std::string bitmapScript(const std::vector<RenderedBitmap>& bitmaps);

}  // namespace artwork
