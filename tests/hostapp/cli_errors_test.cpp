// The command line's failures end to end: every bad input or request gives exit code 1 or 2,
// one "inkjet:" line on stderr, nothing on stdout, and leaves the output folder as it was (an
// OUTPUT that existed before keeps its bytes).
#include <gtest/gtest.h>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

constexpr int kRunError = 1;
constexpr int kUsageError = 2;

class CliErrors : public ::testing::Test {
 protected:
  // A valid small image of each format, saved by the tool's own file layer.
  std::string sample(const std::string& name, ImageMode mode, int extras = 0) {
    std::string path = folder.path(name);
    writeImageFile(path, files_test::distinctRaster(7, 5, mode, extras));
    return path;
  }

  // Runs the tool and checks what every failure must look like; the files present before
  // the run are all that is left after it.
  void expectFailure(const std::vector<std::string>& args, int code) {
    std::vector<std::string> before = folder.entries();
    Outcome outcome = runTool(args);
    EXPECT_EQ(outcome.code, code) << outcome.err;
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(folder.entries(), before);
  }

  ScratchFolder folder;
};

// Each format cut short and with its contents after the signature overwritten.
TEST_F(CliErrors, TruncatedAndCorruptInputsOfEveryFormat) {
  struct Format {
    const char* name;
    ImageMode mode;
  };
  const std::string out = folder.path("out.tif");
  for (const Format& f : {Format{"in.png", ImageMode::rgb}, Format{"in.jpg", ImageMode::rgb},
                          Format{"in.tif", ImageMode::cmyk}, Format{"in.ppm", ImageMode::rgb},
                          Format{"in.pgm", ImageMode::grayscale}, Format{"in.pam", ImageMode::cmyk},
                          Format{"in.bmp", ImageMode::rgb}}) {
    SCOPED_TRACE(f.name);
    std::string path = sample(f.name, f.mode);
    const std::string whole = readFile(path);
    writeFile(path, whole.substr(0, whole.size() / 2));
    expectFailure({"sharpen", path, out, "--quiet"}, kRunError);
    expectFailure({"report", path}, kRunError);
    writeFile(path, whole.substr(0, 8) + std::string(whole.size() - 8, '\xff'));
    expectFailure({"sharpen", path, out, "--quiet"}, kRunError);
    writeFile(path, "");
    expectFailure({"sharpen", path, out, "--quiet"}, kRunError);
  }
}

TEST_F(CliErrors, ImagesTheFilterCannotTake) {
  const std::string out = folder.path("out.tif");
  struct Case {
    const char* name;
    const char* file;
    std::string bytes;
  };
  for (const Case& c : {
           Case{"wider than 32767 pixels", "wide.pgm",
                "P5\n32768 1\n255\n" + std::string(32768, '\1')},
           Case{"taller than 32767 pixels", "tall.pam",
                "P7\nWIDTH 1\nHEIGHT 32768\nDEPTH 1\nMAXVAL 255\nTUPLTYPE GRAYSCALE\nENDHDR\n" +
                    std::string(32768, '\1')},
           Case{"16-bit PPM", "deep.ppm", "P6\n1 1\n65535\n" + std::string(6, '\1')},
           Case{"unknown PAM tuple type", "odd.pam",
                "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 2\nMAXVAL 255\nTUPLTYPE HSV\nENDHDR\n\1\1"},
       }) {
    SCOPED_TRACE(c.name);
    writeFile(folder.path(c.file), c.bytes);
    expectFailure({"sharpen", folder.path(c.file), out, "--quiet"}, kRunError);
  }
  std::string deepTiff = folder.path("deep.tif");
  // 16-bit grayscale, RGB and CMYK are read; 16-bit Lab is not.
  TIFF* tif = files_test::startTiff(deepTiff, 1, 1, 16, 3, PHOTOMETRIC_CIELAB);
  uint16_t samples[3] = {1000, 60000, 20};
  TIFFWriteScanline(tif, samples, 0, 0);
  TIFFClose(tif);
  expectFailure({"sharpen", deepTiff, out, "--quiet"}, kRunError);
}

// A resolution 16.16 cannot carry is refused unless a print size takes its place.
TEST_F(CliErrors, ResolutionsTheFilterCannotBeGiven) {
  for (double ppi : {1e6, 0.001}) {
    SCOPED_TRACE(ppi);
    Raster raster = files_test::distinctRaster(7, 5, ImageMode::rgb, 0);
    raster.resolution = {true, ppi, ppi};
    std::string input = folder.path("odd.tif");
    ASSERT_TRUE(writeImageFile(input, raster).ok());
    expectFailure({"sharpen", input, folder.path("out.tif"), "--quiet"}, kRunError);
    expectFailure({"report", input}, kRunError);
    Outcome sized = runTool({"report", input, "--print-width", "2", "--json"});
    EXPECT_EQ(sized.code, 0) << sized.err;
    EXPECT_NE(sized.out.find("\"printWidth\": 2}"), std::string::npos) << sized.out;
  }
}

TEST_F(CliErrors, BadValuesOfEveryOption) {
  std::string input = sample("in.ppm", ImageMode::rgb);
  const std::string out = folder.path("out.ppm");
  struct Case {
    const char* option;
    std::vector<const char*> values;
  };
  for (const Case& c : {
           Case{"--print-width",
                {"0", "-5", "12.5.1", "wide", "", "99999999999999999999", "-0", "+5", "0x10"}},
           Case{"--print-height", {"0", "1e3", "x"}},
           // 32767.999993 would round to 2^31 in 16.16 and wrap to a negative resolution.
           Case{"--resolution",
                {"0", "-72", "nan", "inf", "72dpi", "1e-9", "40000", "0x48", "-0", "+72", "1e2",
                 ".", "32767.999993"}},
           Case{"--max-pixels", {"0", "-0", "1073676290", "1e6"}},
           Case{"--printer", {"-1", "12", "1440x", "1440x720 dpix", " 5"}},
           Case{"--printer-quality", {"5", "a", "best"}},
           Case{"--source", {"10", "scanner", "Digital Camera"}},
           Case{"--image-quality", {"-1", "perfect"}},
           Case{"--eye-distance", {"0", "6", "far"}},
           Case{"--profile", {"0", "4", "2.5"}},
           Case{"--jpeg-quality", {"0", "101", "high"}},
           Case{"--color-engine", {"icc", "LCMS", ""}},
           Case{"--settings", {""}},
       }) {
    for (const char* value : c.values) {
      SCOPED_TRACE(std::string(c.option) + " '" + value + "'");
      expectFailure({"sharpen", input, out, c.option, value}, kUsageError);
    }
    SCOPED_TRACE(std::string(c.option) + " without a value");
    expectFailure({"sharpen", input, out, c.option}, kUsageError);
  }
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"sharpen", input, out, "--unknown"},
           {"sharpen", input, out, "--json"},
           {"sharpen", input, out, "extra"},
           {"report"},
           {"report", input, "--jpeg-quality", "80"},
           {"sharpen", input, folder.path("out.gif")},
           {"sharpen", input, folder.path("out")},
           {"--version", "--quiet"},
       }) {
    SCOPED_TRACE(args.back());
    expectFailure(args, kUsageError);
  }
}

// The mode is known only once the input is read; the check comes before any sharpening.
TEST_F(CliErrors, OutputFormatsThatCannotHoldTheMode) {
  struct Case {
    std::string input;
    const char* output;
    const char* suggestion;
  };
  for (const Case& c : {Case{sample("cmyk.tif", ImageMode::cmyk), "out.png", ".tif"},
                        Case{sample("lab.tif", ImageMode::lab), "out.pam", ".tif"},
                        Case{sample("alpha.png", ImageMode::rgb, 1), "out.jpg", ".tif"},
                        Case{sample("rgb.png", ImageMode::rgb), "out.pgm", ".tif"}}) {
    SCOPED_TRACE(c.output);
    expectFailure({"sharpen", c.input, folder.path(c.output)}, kUsageError);
    EXPECT_NE(runTool({"sharpen", c.input, folder.path(c.output)}).err.find(c.suggestion),
              std::string::npos);
  }
}

TEST_F(CliErrors, MissingInputAndUnwritableOutput) {
  std::string input = sample("in.ppm", ImageMode::rgb);
  expectFailure({"sharpen", folder.path("missing.ppm"), folder.path("out.ppm")}, kRunError);
  expectFailure({"report", folder.path("missing.ppm")}, kRunError);
  expectFailure({"sharpen", folder.path(""), folder.path("out.ppm")}, kUsageError);
  expectFailure({"sharpen", input, folder.path("no-such-folder/out.ppm"), "--quiet"}, kRunError);
  expectFailure({"sharpen", input, folder.path("in.ppm/out.ppm"), "--quiet"}, kRunError);
  std::filesystem::create_directory(folder.path("taken.ppm"));
  expectFailure({"sharpen", input, folder.path("taken.ppm"), "--quiet"}, kRunError);
}

// A failed run never touches an OUTPUT that was already there.
TEST_F(CliErrors, AnExistingOutputSurvivesAFailedRun) {
  std::string input = sample("in.ppm", ImageMode::rgb);
  std::string output = folder.path("out.ppm");
  writeFile(output, "an earlier result");
  writeFile(folder.path("bad.ppm"), "P6\n7 5\n255\n");
  expectFailure({"sharpen", folder.path("bad.ppm"), output, "--quiet"}, kRunError);
  expectFailure({"sharpen", input, output, "--printer", "99"}, kUsageError);
  EXPECT_EQ(readFile(output), "an earlier result");
  Outcome replaced = runTool({"sharpen", input, output, "--quiet"});
  EXPECT_EQ(replaced.code, 0) << replaced.err;
  EXPECT_NE(readFile(output), "an earlier result");
}

}  // namespace
