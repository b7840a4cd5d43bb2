// The inkjet command line: what it refuses, with which exit code, and that a failed run leaves
// no output behind.
#include "hostapp/cli_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/persisted_settings.h"
#include "core/print_size.h"
#include "core/setting_names.h"
#include "hostapp/print_resolution.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(folder.path("small.ppm"), ppm(6, 5));
    writeFile(folder.path("wide.ppm"), ppm(4000, 2));
    writeFile(folder.path("truncated.ppm"), ppm(6, 5).substr(0, 40));
  }
  std::string in(const char* name) const { return folder.path(name); }
  ScratchFolder folder;
};

TEST_F(CliTest, ExitCodesAndOneLineErrors) {
  const std::string out = folder.path("out.ppm");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
  };
  for (const Case& c : {
           Case{"no command", {}, 2},
           Case{"unknown command", {"blur", in("small.ppm")}, 2},
           Case{"sharpen without output", {"sharpen", in("small.ppm")}, 2},
           Case{"printer out of range", {"sharpen", in("small.ppm"), out, "--printer", "12"}, 2},
           Case{"printer text matching two entries",
                {"sharpen", in("small.ppm"), out, "--printer", "1440x"},
                2},
           Case{"eye distance 0", {"sharpen", in("small.ppm"), out, "--eye-distance", "0"}, 2},
           Case{"profile 4", {"sharpen", in("small.ppm"), out, "--profile", "4"}, 2},
           Case{"source text", {"report", in("small.ppm"), "--source", "Scan (low end)"}, 0},
           Case{"quality text",
                {"report", in("small.ppm"), "--printer-quality", "above average"},
                0},
           Case{"print width 0", {"sharpen", in("small.ppm"), out, "--print-width", "0"}, 2},
           Case{"resolution -1", {"sharpen", in("small.ppm"), out, "--resolution", "-1"}, 2},
           Case{"unknown engine", {"sharpen", in("small.ppm"), out, "--color-engine", "icc"}, 2},
           Case{"jpeg quality 101", {"sharpen", in("small.ppm"), out, "--jpeg-quality", "101"}, 2},
           Case{"json belongs to report", {"sharpen", in("small.ppm"), out, "--json"}, 2},
           Case{"unknown output format", {"sharpen", in("small.ppm"), folder.path("out.xyz")}, 2},
           Case{"too small a print", {"sharpen", in("wide.ppm"), out, "--print-width", "1"}, 2},
           Case{"missing input", {"sharpen", in("missing.ppm"), out}, 1},
           Case{"truncated input", {"sharpen", in("truncated.ppm"), out}, 1},
           Case{"missing settings file",
                {"sharpen", in("small.ppm"), out, "--settings", in("none.orv")},
                1},
           Case{"foreign settings file",
                {"sharpen", in("small.ppm"), out, "--settings", in("small.ppm")},
                1},
       }) {
    SCOPED_TRACE(c.name);
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    if (c.code != 0) {
      EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    }
  }
  EXPECT_EQ(folder.entries().size(), 3u);
}

TEST_F(CliTest, SharpenWritesTheOutputAndSaysWhenThePrintIsReduced) {
  const std::string out = folder.path("out.ppm");
  Outcome outcome = runTool({"sharpen", in("small.ppm"), out, "--print-width", "1000", "--quiet"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("inkjet: warning: " + in("small.ppm") +
                             ": a print of 1000 x 833 mm is above the largest the filter takes "
                             "(600 mm): sharpened as 600 x 499.8 mm, the same proportions; eye "
                             "distance 4 as for the print asked for\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(std::filesystem::file_size(out), std::filesystem::file_size(in("small.ppm")));
}

TEST_F(CliTest, ReportShowsTheSettingsTheModuleEstablished) {
  Outcome outcome = runTool({"report", in("small.ppm"), "--print-width", "1000", "--printer",
                             "2880x720 photo", "--json"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\"printerResolution\": 11"), std::string::npos) << outcome.out;
  // Reduced in proportion, seen from as far as the 1000 mm print asked for.
  EXPECT_NE(outcome.out.find("\"printHeight\": 499, \"printWidth\": 599"), std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("\"eyeDistance\": 4"), std::string::npos);
  EXPECT_NE(outcome.out.find("\"printSize\": {\"width\": 600, \"height\": 499.8}"),
            std::string::npos)
      << outcome.out;
}

// The example document of the tool's manual: 3000 x 2000 pixels printed 254 mm wide (the
// height follows: 169 mm), all six settings given; the whole object, field order and number
// formatting included, is what scripts parse.
TEST_F(CliTest, ReportJsonOfTheManualsExample) {
  std::string pixels(size_t(3000) * 2000 * 3, '\x80');
  writeFile(folder.path("example.ppm"), "P6\n3000 2000\n255\n" + pixels);
  Outcome outcome =
      runTool({"report", in("example.ppm"), "--print-width", "254", "--profile", "2",
               "--eye-distance", "1", "--printer-quality", "average", "--printer", "720x720 dpi",
               "--image-quality", "2", "--source", "Digital Camera (mid range)", "--json"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  // Every field of the first form comes first and unchanged; wider fields follow.
  EXPECT_EQ(outcome.out.substr(0, outcome.out.find(",\n  \"input\"")) + "\n}\n",
            R"({
  "settings": {"personalProfile": 2, "eyeDistance": 1, "printerQuality": 2,
               "printerResolution": 4, "imageQuality": 2, "imageSource": 5,
               "printHeight": 169, "printWidth": 254},
  "settingsTouched": 1,
  "model": {"pixelWidth": 3000, "pixelHeight": 2000, "mmPerPixel": 0.08458333333333334,
            "printDpi": 300.295566502463, "printFactor": 1.6099999999999999, "requiredDpi": 185,
            "realResolutionIndex": 61, "detailLabel": "optimal sharpness",
            "radiusPixels": 1.4275862068965512, "radiusMillimetres": 0.12074999999999997,
            "strength": 175, "operatorRadius": 1.4275862068965512, "operatorRadiusWhole": 1},
  "status": ["Real Resolution Index: ---, sharpening radius = 0.121 = 1.4276 pixels",
             "No printing information available without autoscan.",
             "Size = 3000x2000 pixels, 300.30 dpi, color mode = RGB, Acceleration: Off",
             "No Warnings."],
  "warnings": "No Warnings."
}
)");
  EXPECT_NE(
      outcome.out.find(
          R"J("settingNames": {"printerResolution": "720x720 dpi", "printerQuality": "average",
                   "imageSource": "Digital Camera (mid range)", "imageQuality": "average"},
  "warningList": [],
  "printSize": {"width": 254, "height": 169},
  "rounded": {"printPpi": 300, "radiusPixels": 1.43, "radiusMillimetres": 0.121, "mmPerPixel": 0.0846}
}
)J"),
      std::string::npos)
      << outcome.out;
  Outcome text = runTool({"report", in("example.ppm"), "--print-width", "254", "--print-height",
                          "169", "--source", "5", "--status-lines"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out,
            "Real Resolution Index: ---, sharpening radius = 0.121 = 1.4276 pixels\n"
            "No printing information available without autoscan.\n"
            "Size = 3000x2000 pixels, 300.30 dpi, color mode = RGB, Acceleration: Off\n"
            "No Warnings.\n");
}

// The help names every list entry the parser accepts, so that a photographer can copy it.
TEST(CliHelp, NamesEveryValueTheToolAccepts) {
  Outcome help = runTool({"--help"});
  ASSERT_EQ(help.code, 0);
  EXPECT_EQ(help.err, "");
  // Every setting of the table: its option, its range and each list text, accepted as the
  // help writes it.
  for (const PersistedSetting& setting : kPersistedSettings) {
    SCOPED_TRACE(setting.option);
    EXPECT_NE(help.out.find(std::string("  ") + setting.option + " "), std::string::npos);
    for (int32 value = setting.lowest; value <= setting.highest; ++value) {
      CliRequest request;
      std::string problem;
      EXPECT_TRUE(parseCommandLine({"report", "x.ppm", setting.option, std::to_string(value)},
                                   &request, &problem))
          << problem;
    }
    if (setting.names == nullptr) continue;
    int count = 0;
    for (; setting.names[count] != nullptr; ++count) {
      EXPECT_NE(help.out.find("\"" + std::string(setting.names[count]) + "\""), std::string::npos)
          << setting.names[count];
      CliRequest request;
      std::string problem;
      EXPECT_TRUE(parseCommandLine({"report", "x.ppm", setting.option, setting.names[count]},
                                   &request, &problem))
          << problem;
      EXPECT_EQ(request.settings[&setting - kPersistedSettings], count);
    }
    EXPECT_EQ(count, setting.highest - setting.lowest + 1);
  }
  for (const char* option : {"--print-width", "--print-height", "--resolution", "--image-quality",
                             "--eye-distance", "--profile", "--settings", "--jpeg-quality",
                             "--color-engine", "--quiet", "--json", "sharpen", "report"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(runTool({"sharpen", "a.ppm", "--help"}).out, help.out);
  Outcome version = runTool({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out.rfind("inkjet ", 0), 0u);
}

TEST(PrintResolution, TheModulesFunctionYieldsTheRequestedSize) {
  for (int32 pixels : {1, 6, 2400, 32767}) {
    for (int32 millimetres : {1, 25, 254, 599, 600, 601, 1500}) {
      Fixed resolution = 0;
      if (resolutionForPrintSize(pixels, millimetres, &resolution) !=
          PrintResolutionStatus::found) {
        continue;
      }
      EXPECT_EQ(int32(printMillimetres(pixels, resolution)), millimetres)
          << pixels << " px, " << millimetres << " mm";
    }
  }
  Fixed resolution = 0;
  EXPECT_EQ(resolutionForPrintSize(32767, 1, &resolution), PrintResolutionStatus::tooSmall);
  // 40 pixels over 65535 mm need about 0.0155 ppi, where one 16.16 step moves the print by
  // some 64 mm: reachable in size, not exactly.
  EXPECT_EQ(resolutionForPrintSize(40, 65535, &resolution), PrintResolutionStatus::notExact);
  EXPECT_EQ(resolutionForPrintSize(2400, 254, &resolution), PrintResolutionStatus::found);
  EXPECT_EQ(followingPrintSide(254, 2400, 1600), 169);
}

}  // namespace

// What sharpen says on stderr: one line per file, then each warning in words; --quiet keeps
// the warnings, --silent says nothing.
TEST_F(CliTest, SharpenSaysWhatItDidAndWarnsInWords) {
  const std::string out = folder.path("out.ppm");
  const std::string small = in("small.ppm");
  const std::string wide = in("wide.ppm");
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {"a blurry print",
       {"sharpen", small, out, "--print-width", "29.7cm"},
       "inkjet: " + small +
           ": 297 x 247 mm at 1 ppi, radius 0.2 px (9.89 mm), strength 175, "
           "Real Resolution Index 36053 (print will be blurry)\n"
           "inkjet: warning: " +
           small +
           ": Warning: Image has insufficient dpi!\n"
           "inkjet: warning: " +
           small + ": WARNING: Print will appear blurry!\n"},
      {"extremely high dpi, quiet",
       {"sharpen", wide, out, "-w", "20", "-q"},
       "inkjet: warning: " + wide +
           ": --print-width 20 mm prints 4000 pixels at 5080 ppi; if "
           "the size is in cm or inches, write 20cm or 20in\n"
           "inkjet: warning: " +
           wide + ": Warning: Extremely high dpi!\n"},
      {"silent", {"sharpen", wide, out, "-w", "20", "--silent"}, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.err, c.err);
  }
}

// Options before, between and after the files, "--name=value", short forms, list names in
// any case or by a unique beginning; and the refusals, which name the choices.
TEST_F(CliTest, OptionsAnywhereAndListNamesByCaseAndPrefix) {
  const std::string out = folder.path("out.ppm");
  const std::string small = in("small.ppm");
  auto printerOf = [](const Outcome& o) {
    size_t at = o.out.find("\"printerResolution\": ");
    return at == std::string::npos ? std::string() : o.out.substr(at + 21, 2);
  };
  const struct {
    std::vector<std::string> args;
    const char* printer;
  } kAccepted[] = {
      {{"report", "--printer=1440x720", small, "--json"}, "5,"},
      {{"report", "--json", "--printer", "1440X720 DPI", small}, "5,"},
      {{"report", small, "--printer", "2880x720 P", "--json"}, "11"},
      {{"report", "--printer", "7", "--json", "--", small}, "7,"},
  };
  for (const auto& c : kAccepted) {
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(printerOf(outcome), c.printer) << outcome.out;
  }
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kRefused[] = {
      {{"sharpen", small, out, "--printer", "1440x"},
       "inkjet: --printer does not take \"1440x\": it could be \"1440x720 dpi\" or \"1440x1440 "
       "dpi\"\n"},
      {{"sharpen", small, out, "--printer-quality", "best"},
       "inkjet: --printer-quality does not take \"best\": expected 0..4 or one of \"bad\", "
       "\"below average\", \"average\", \"above average\" or \"good\"\n"},
      {{"sharpen", small, out, "--prnter", "3"},
       "inkjet: unknown option --prnter (did you mean --printer?)\n"},
      {{"sharpen", "-w", "3", small, out, "--print-width=4"},
       "inkjet: --print-width is given twice\n"},
      {{"sharpen", small, out, "--jpeg-quality", "80"},
       "inkjet: --jpeg-quality applies to a JPEG output, not " + folder.path("out.ppm") +
           " (PPM)\n"},
      {{"sharpen", small, out, "--paper", "A4", "-w", "200"},
       "inkjet: --paper and --print-width/--print-height say the same thing: give one of them\n"},
      {{"sharpen", small, out, small},
       "inkjet: sharpen takes one INPUT and one OUTPUT, not 3 files (several go into a folder with "
       "-o DIR)\n"},
      {{"--version", "extra"}, "inkjet: --version takes nothing after it, not \"extra\"\n"},
      {{"report", small, "--jpeg-quality", "80"},
       "inkjet: --jpeg-quality applies to an output file; report writes none\n"},
      {{"sharpen", small, folder.path("out.png"), "--jpeg-subsampling=420"},
       "inkjet: --jpeg-subsampling applies to a JPEG output, not " + folder.path("out.png") +
           " (PNG)\n"},
      {{"sharpen", small, out, "-q", "--quiet"}, "inkjet: --quiet is given twice\n"},
      {{"sharpen", small, out, "--quiet=yes"}, "inkjet: --quiet takes no value\n"},
  };
  for (const auto& c : kRefused) {
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.err, c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// report IN...: one file gives the object as before, several an array in their order, with an
// error object where a file failed; the others are reported all the same, and the exit code
// is the worst. A command line refused under --json is an error object too.
TEST_F(CliTest, ReportOfSeveralFilesAndErrorsAsJson) {
  const std::string small = in("small.ppm");
  const std::string missing = in("missing.ppm");
  Outcome one = runTool({"report", small, "--json"});
  ASSERT_EQ(one.code, 0) << one.err;
  ASSERT_EQ(one.out.rfind("{\n  \"settings\"", 0), 0u) << one.out;
  const std::string object = one.out.substr(0, one.out.size() - 1);  // without its newline
  const std::string missingError = "{\"input\": \"" + missing + "\", \"error\": \"" + missing +
                                   ": cannot open: No such file or directory\", \"exitCode\": 1}";

  Outcome several = runTool({"report", small, missing, small, "--json"});
  EXPECT_EQ(several.code, 1);
  EXPECT_EQ(several.out, "[\n" + object + ",\n" + missingError + ",\n" + object + "\n]\n");
  EXPECT_EQ(several.err, "inkjet: " + missing + ": cannot open: No such file or directory\n");

  Outcome alone = runTool({"report", missing, "--json"});
  EXPECT_EQ(alone.code, 1);
  EXPECT_EQ(alone.out, missingError + "\n");
  EXPECT_TRUE(isOneErrorLine(alone.err)) << alone.err;

  Outcome text = runTool({"report", small, in("truncated.ppm"), small});
  EXPECT_EQ(text.code, 1);
  Outcome textOne = runTool({"report", small});
  EXPECT_EQ(text.out, textOne.out + "\n" + textOne.out);
  EXPECT_TRUE(isOneErrorLine(text.err)) << text.err;

  Outcome lines = runTool({"report", small, small, "--status-lines"});
  Outcome linesOne = runTool({"report", small, "--status-lines"});
  EXPECT_EQ(lines.out, small + "\n" + linesOne.out + "\n" + small + "\n" + linesOne.out);

  const struct {
    std::vector<std::string> args;
    std::string out;
  } kRefused[] = {
      {{"report", small, "--json", "--printer", "99"},
       "{\"input\": null, \"error\": \"--printer does not take \\\"99\\\": expected 0..11 or a "
       "name\", \"exitCode\": 2}\n"},
      {{"report", "--json", small, "--frobnicate"},
       "{\"input\": null, \"error\": \"unknown option --frobnicate (see inkjet --help)\", "
       "\"exitCode\": 2}\n"},
      // A value that reads "--json" asks for no JSON; nor does a "--json" after "--".
      {{"report", small, "--settings", "--json", "--printer", "99"}, ""},
      {{"report", small, "--printer", "99", "--", "--json"}, ""},
  };
  for (const auto& c : kRefused) {
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
  }
}
