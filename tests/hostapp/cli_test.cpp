// The inkjet command line: what it refuses, with which exit code, and that a failed run leaves
// no output behind.
#include "hostapp/cli_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/entry_point.h"
#include "hostapp/print_resolution.h"
#include "host/print_size.h"
#include "platform/driver.h"
#include "tools/resgen/inkjet_registration.h"

namespace {

// A private folder for one test's files, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "inkjet-cli-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::string path(const std::string& name) const { return (root_ / name).string(); }
  size_t entryCount() const {
    auto entries = std::filesystem::directory_iterator(root_);
    return size_t(std::distance(begin(entries), end(entries)));
  }

 private:
  std::filesystem::path root_;
};

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ppm(int width, int height) {
  std::string pixels(size_t(width) * size_t(height) * 3, '\0');
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = char((i * 29 + i / 7) % 256);
  return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" + pixels;
}

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome runTool(const std::vector<std::string>& args) {
  platform::driver::reset();
  std::ostringstream out, err;
  CliRequest request;
  std::string problem;
  if (!parseCommandLine(args, &request, &problem)) return Outcome{2, "", problem};
  CliPlatform platform;
  platform.entry = ENTRYPOINT;
  platform.propertyList = inkjetPropertyList();
  platform.lcmsAvailable = true;
  platform.report = runReportCommand;
  int code = runCliCommand(request, platform, out, err);
  return Outcome{code, out.str(), err.str()};
}

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
           Case{"printer text not in the list", {"sharpen", in("small.ppm"), out, "--printer", "1440x720"}, 2},
           Case{"eye distance 0", {"sharpen", in("small.ppm"), out, "--eye-distance", "0"}, 2},
           Case{"profile 4", {"sharpen", in("small.ppm"), out, "--profile", "4"}, 2},
           Case{"source text", {"report", in("small.ppm"), "--source", "Scan (low end)"}, 0},
           Case{"quality text", {"report", in("small.ppm"), "--printer-quality", "above average"}, 0},
           Case{"print width 0", {"sharpen", in("small.ppm"), out, "--print-width", "0"}, 2},
           Case{"resolution -1", {"sharpen", in("small.ppm"), out, "--resolution", "-1"}, 2},
           Case{"unknown engine", {"sharpen", in("small.ppm"), out, "--color-engine", "icc"}, 2},
           Case{"jpeg quality 101", {"sharpen", in("small.ppm"), out, "--jpeg-quality", "101"}, 2},
           Case{"json belongs to report", {"sharpen", in("small.ppm"), out, "--json"}, 2},
           Case{"unknown output format", {"sharpen", in("small.ppm"), folder.path("out.xyz")}, 2},
           Case{"too small a print", {"sharpen", in("wide.ppm"), out, "--print-width", "1"}, 2},
           Case{"missing input", {"sharpen", in("missing.ppm"), out}, 1},
           Case{"truncated input", {"sharpen", in("truncated.ppm"), out}, 1},
           Case{"missing settings file", {"sharpen", in("small.ppm"), out, "--settings", in("none.orv")}, 1},
           Case{"foreign settings file", {"sharpen", in("small.ppm"), out, "--settings", in("small.ppm")}, 1},
       }) {
    SCOPED_TRACE(c.name);
    Outcome outcome = runTool(c.args);
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    if (c.code == 1) {
      EXPECT_EQ(outcome.err.rfind("inkjet: ", 0), 0u);
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1);
    }
  }
  EXPECT_EQ(folder.entryCount(), 3u);
}

TEST_F(CliTest, SharpenWritesTheOutputAndSaysWhenThePrintIsCapped) {
  const std::string out = folder.path("out.ppm");
  Outcome outcome = runTool({"sharpen", in("small.ppm"), out, "--print-width", "1000", "--quiet"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("above 600 mm"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(out), std::filesystem::file_size(in("small.ppm")));
}

TEST_F(CliTest, ReportShowsTheSettingsTheModuleEstablished) {
  Outcome outcome = runTool({"report", in("small.ppm"), "--print-width", "1000", "--printer",
                             "2880x720 photo", "--json"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\"printerResolution\": 11"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("\"printWidth\": 600"), std::string::npos);
  EXPECT_NE(outcome.out.find("\"eyeDistance\": 5"), std::string::npos);
  EXPECT_NE(outcome.out.find("\"settingsTouched\": 0"), std::string::npos);
  EXPECT_NE(outcome.out.find("Eye Distance setting has been adjusted due to image size."),
            std::string::npos);
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
  EXPECT_EQ(resolutionForPrintSize(2400, 254, &resolution), PrintResolutionStatus::found);
  EXPECT_EQ(followingPrintSide(254, 2400, 1600), 169);
}

}  // namespace
