// --threads: every thread count writes the same file, over the file formats and colour modes
// the tool reads (16-bit and CMYK included) and both blur paths; and a count out of range is a
// usage error.
#include <gtest/gtest.h>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

struct FileCase {
  const char* name;
  const char* extension;
  ImageMode mode;
  int extraChannels;
  bool deep;  // 16-bit samples
};

// More than one tile across, with edges and ramps in every channel.
Raster picture(const FileCase& c) {
  Raster raster;
  raster.width = 700;
  raster.height = 260;
  raster.mode = c.mode;
  raster.extraChannels = c.extraChannels;
  raster.pixels.resize(size_t(raster.height) * raster.rowBytes());
  const int channels = raster.channels();
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) {
      for (int k = 0; k < channels; ++k) {
        int edge = (x / 23 + y / 17) % 2 ? 60 : 180;
        raster.row(y)[x * channels + k] = uint8_t(edge + (x * 3 + y * 5 + k * 41) % 50);
      }
    }
  }
  if (c.deep) {
    raster.deep.resize(raster.pixels.size());
    for (size_t i = 0; i < raster.pixels.size(); ++i)
      raster.deep[i] = uint16_t(raster.pixels[i] * 257 + (i % 200));
  }
  return raster;
}

TEST(CliThreads, EveryCountWritesTheSameFile) {
  const FileCase cases[] = {{"rgb", ".ppm", ImageMode::rgb, 0, false},
                            {"gray", ".pgm", ImageMode::grayscale, 0, false},
                            {"rgbWithTransparency", ".png", ImageMode::rgb, 1, false},
                            {"cmyk", ".tif", ImageMode::cmyk, 0, false},
                            {"jpeg", ".jpg", ImageMode::rgb, 0, false},
                            {"rgb16", ".png", ImageMode::rgb, 0, true}};
  // A small print gives a Gaussian radius below 2.5 pixels; a tiny one seen from afar the box
  // blur's widest window.
  const std::vector<std::vector<std::string>> prints = {
      {"--print-width", "60"}, {"--print-width", "30", "--eye-distance", "5"}};
  ScratchFolder folder;
  for (const FileCase& c : cases) {
    const std::string in = folder.path(std::string("in-") + c.name + c.extension);
    ASSERT_TRUE(writeImageFile(in, picture(c)).ok()) << c.name;
    for (size_t p = 0; p < prints.size(); ++p) {
      std::string one;
      for (const char* threads : {"1", "2", "8"}) {
        SCOPED_TRACE(std::string(c.name) + ", print " + std::to_string(p) + ", " + threads +
                     " threads");
        const std::string out =
            folder.path(std::string("out-") + c.name + "-" + threads + c.extension);
        std::vector<std::string> args = {"sharpen", in, out, "--quiet", "--threads", threads};
        args.insert(args.end(), prints[p].begin(), prints[p].end());
        Outcome outcome = runTool(args);
        ASSERT_EQ(outcome.code, 0) << outcome.err;
        if (one.empty()) {
          one = readFile(out);
          ASSERT_NE(one, readFile(in)) << "nothing was sharpened";
        } else {
          EXPECT_TRUE(readFile(out) == one) << "differs from one thread";
        }
      }
    }
  }
}

TEST(CliThreads, ACountOutOfRangeIsAUsageError) {
  ScratchFolder folder;
  const std::string in = folder.path("in.ppm");
  writeFile(in, ppm(8, 8));
  for (const char* count : {"0", "65", "-1", "two", ""}) {
    Outcome outcome = runTool({"sharpen", in, folder.path("out.ppm"), "--threads", count});
    EXPECT_EQ(outcome.code, 2) << count;
    EXPECT_NE(
        outcome.err.find("--threads does not take \"" + std::string(count) + "\": expected 1..64"),
        std::string::npos)
        << outcome.err;
  }
}

}  // namespace
