// The dialog command without a real display: the stand-in's driver plays the user (the display
// is a token), so OK, Cancel and a missing display are checked against sharpen.
#include <gtest/gtest.h>

#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;
namespace drv = platform::driver;

constexpr POINT kOk{465, 334};
constexpr int kPrinterY = 215;

// Runs a command line as the tool does, with a display that opens (or fails with `problem`).
Outcome runWithDisplay(const std::vector<std::string>& args, const char* problem = nullptr) {
  std::ostringstream out, err;
  CliRequest request;
  std::string parseProblem;
  if (!parseCommandLine(args, &request, &parseProblem)) return Outcome{2, "", parseProblem};
  CliPlatform platform;
  platform.entry = ENTRYPOINT;
  platform.propertyList = inkjetPropertyList();
  platform.lcmsAvailable = true;
  platform.dialog.open = [problem](std::string* why) -> std::shared_ptr<void> {
    if (problem) {
      *why = problem;
      return nullptr;
    }
    return std::make_shared<int>(0);
  };
  platform.dialog.describe = describeEstablishedSettings;
  int code = runCliCommand(request, platform, out, err);
  return Outcome{code, out.str(), err.str()};
}

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> result;
  std::string word;
  bool quoted = false;
  for (char c : line) {
    if (c == '\'')
      quoted = !quoted;
    else if ((c == ' ' || c == '\n') && !quoted) {
      if (!word.empty()) result.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) result.push_back(word);
  return result;
}

class DialogCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    drv::reset();
    writeFile(input, ppm(60, 40));
  }
  void TearDown() override { drv::reset(); }
  ScratchFolder folder;
  std::string input = folder.path("in.ppm");
};

}  // namespace

// OK after a change: the settings printed are options that make sharpen write the same bytes.
TEST_F(DialogCommand, OkWritesTheOutputAndPrintsSettingsThatSharpenRepeats) {
  drv::queueClick(17 + 185, kPrinterY, "MAINDIALOG");
  drv::queueClick(kOk.x, kOk.y, "MAINDIALOG");
  Outcome dialog =
      runWithDisplay({"dialog", input, folder.path("dialog.ppm"), "--print-width", "120"});
  ASSERT_EQ(dialog.code, 0) << dialog.err;
  EXPECT_EQ(dialog.err, "");
  EXPECT_NE(dialog.out.find("--print-width 120 "), std::string::npos) << dialog.out;
  EXPECT_NE(dialog.out.find("--printer '2880x720 photo' "), std::string::npos) << dialog.out;
  std::vector<std::string> args = {"sharpen", input, folder.path("sharpen.ppm"), "--quiet"};
  for (const std::string& w : words(dialog.out)) args.push_back(w);
  Outcome sharpen = runTool(args);
  ASSERT_EQ(sharpen.code, 0) << sharpen.err;
  EXPECT_EQ(readFile(folder.path("dialog.ppm")), readFile(folder.path("sharpen.ppm")));
}

TEST_F(DialogCommand, CancelWritesNothingAndSaysSoOnOneLine) {
  drv::queueKey(VK_ESCAPE, "MAINDIALOG");
  Outcome outcome = runWithDisplay({"dialog", input, folder.path("out.ppm")});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
  EXPECT_NE(outcome.err.find("cancelled"), std::string::npos);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.ppm"});
}

// No display, or a build without one, is a usage error before anything is read or written.
TEST_F(DialogCommand, WithoutADisplayItIsAUsageError) {
  Outcome noDisplay =
      runWithDisplay({"dialog", input, folder.path("out.ppm")}, "cannot open the display \"\"");
  EXPECT_EQ(noDisplay.code, 2);
  EXPECT_TRUE(isOneErrorLine(noDisplay.err)) << noDisplay.err;
  EXPECT_NE(noDisplay.err.find("display"), std::string::npos);
  Outcome noBuild = runTool({"dialog", input, folder.path("out.ppm")});
  EXPECT_EQ(noBuild.code, 2);
  EXPECT_TRUE(isOneErrorLine(noBuild.err)) << noBuild.err;
  Outcome noOutput = runTool({"dialog", input});
  EXPECT_EQ(noOutput.code, 2);
  EXPECT_EQ(noOutput.err, "inkjet: dialog needs INPUT and OUTPUT\n");
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.ppm"});
}
