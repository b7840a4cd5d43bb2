// draw_artwork: draws every bitmap of the filter and writes them with their resource script.
//
//   draw_artwork [--fonts DIR] [--help-text FILE] [--contact-sheet PNG] RESOURCES_DIR
//
// Writes RESOURCES_DIR/bitmaps/*.bmp and RESOURCES_DIR/bitmaps.rc, each through a temporary
// file renamed into place, so an interrupted run leaves no half-written file. The help text
// defaults to RESOURCES_DIR/help_pages.txt, the fonts to Debian's Liberation directory.
// Exit status 0 on success, 1 with a message on standard error otherwise, 2 for bad usage.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "resources/artwork/artwork.h"
#include "resources/artwork/contact_sheet.h"
#include "resources/artwork/text.h"

namespace {

bool writeWhole(const std::filesystem::path& path, const char* data, size_t size,
                std::string& error) {
  const std::filesystem::path temporary = path.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    if (!out.flush()) {
      error = "cannot write " + temporary.string();
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) error = "cannot rename " + temporary.string() + ": " + ec.message();
  return !ec;
}

int usage() {
  std::fprintf(
      stderr,
      "usage: draw_artwork [--fonts DIR] [--help-text FILE] [--contact-sheet PNG] RESOURCES_DIR\n");
  return 2;
}

struct Options {
  artwork::ArtworkSources sources{artwork::defaultFontDirectory(), ""};
  std::string contactSheet;
  std::filesystem::path resources;
};

bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--fonts" && hasValue) {
      options.sources.fontDirectory = argv[++i];
    } else if (arg == "--help-text" && hasValue) {
      options.sources.helpTextPath = argv[++i];
    } else if (arg == "--contact-sheet" && hasValue) {
      options.contactSheet = argv[++i];
    } else if (options.resources.empty() && !arg.empty() && arg[0] != '-') {
      options.resources = arg;
    } else {
      return false;
    }
  }
  if (options.sources.helpTextPath.empty())
    options.sources.helpTextPath = (options.resources / "help_pages.txt").string();
  return !options.resources.empty();
}

bool writeAll(const Options& options, const std::vector<artwork::RenderedBitmap>& bitmaps,
              std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(options.resources / "bitmaps", ec);
  for (const auto& b : bitmaps) {
    if (!writeWhole(options.resources / b.file, reinterpret_cast<const char*>(b.bytes.data()),
                    b.bytes.size(), error)) {
      return false;
    }
  }
  const std::string script = artwork::bitmapScript(bitmaps);
  if (!writeWhole(options.resources / "bitmaps.rc", script.data(), script.size(), error))
    return false;
  if (options.contactSheet.empty()) return true;
  const artwork::Fonts fonts(options.sources.fontDirectory);
  return artwork::writeContactSheet(bitmaps, fonts, options.contactSheet, error);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) return usage();
  std::vector<artwork::RenderedBitmap> bitmaps;
  std::string error;
  if (!artwork::renderArtwork(options.sources, bitmaps, error) ||
      !writeAll(options, bitmaps, error)) {
    std::fprintf(stderr, "draw_artwork: %s\n", error.c_str());
    return 1;
  }
  std::printf("draw_artwork: wrote %zu bitmaps and bitmaps.rc to %s\n", bitmaps.size(),
              options.resources.c_str());
  return 0;
}
