// sharpen IN... -o DIR: results byte-identical to single runs, a corrupt file failing alone,
// and outputs that would collide or overwrite an input refused before any work.
#include "hostapp/batch_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

CliRequest batchRequest(const std::vector<std::string>& args) {
  CliRequest request;
  std::string problem;
  EXPECT_TRUE(parseCommandLine(args, &request, &problem)) << problem;
  return request;
}

TEST(CliBatch, EachFileAsASingleRunAndAFailureAlone) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.path("out"));
  std::vector<std::string> args = {"sharpen", "-o",  folder.path("out"), "--jobs", "2",
                                   "-w",      "5cm", "--suffix",         "-s",     "-q"};
  for (int index = 0; index < 4; ++index) {
    std::string name = folder.path(("p" + std::to_string(index) + ".ppm").c_str());
    writeFile(name, ppm(40 + index * 7, 30 + index * 3));
    args.push_back(name);
  }
  writeFile(folder.path("broken.ppm"), ppm(40, 30).substr(0, 100));
  args.push_back(folder.path("broken.ppm"));
  std::ostringstream err;
  EXPECT_EQ(runBatchCommand(batchRequest(args), INKJET_TOOL, false, err), 1);
  EXPECT_NE(err.str().find("inkjet: 4 of 5 written to " + folder.path("out") +
                           "; failed: " + folder.path("broken.ppm") + "\n"),
            std::string::npos)
      << err.str();
  for (int index = 0; index < 4; ++index) {
    const std::string stem = "p" + std::to_string(index);
    const std::string single = folder.path((stem + "-single.ppm").c_str());
    Outcome outcome =
        runTool({"sharpen", folder.path((stem + ".ppm").c_str()), single, "-w", "5cm"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(readFile(folder.path(("out/" + stem + "-s.ppm").c_str())), readFile(single)) << stem;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("out/broken-s.ppm")));
}

// What any one run would refuse is refused for all, before a file is read or written.
TEST(CliBatch, CollisionsInputsAndOptionsThatCannotApplyAreRefusedBeforeAnyWork) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.path("a"));
  std::filesystem::create_directory(folder.path("out"));
  writeFile(folder.path("p.ppm"), ppm(8, 8));
  writeFile(folder.path("a/p.ppm"), ppm(8, 8));
  const struct {
    std::vector<std::string> args;
    std::string says;
  } kCases[] = {
      {{"sharpen", folder.path("p.ppm"), folder.path("a/p.ppm"), "-o", folder.path("out")},
       "would both be written to"},
      {{"sharpen", folder.path("p.ppm"), "-o", folder.path("")}, "is the input file"},
      {{"sharpen", folder.path("p.ppm"), "-o", folder.path("none")}, "is not a folder"},
      {{"sharpen", folder.path("p.ppm"), "-o", folder.path("out"), "--format", "jpg",
        "--jpeg-quality", "90", folder.path("a/p.ppm"), "--suffix", "-a"},
       "would both be written to"},
      {{"sharpen", folder.path("p.ppm"), "-o", folder.path("out"), "--jpeg-quality", "90"},
       "--jpeg-quality applies to a JPEG output, not " + folder.path("out/p.ppm") + " (PPM)"},
      {{"sharpen", folder.path("p.ppm"), "-o", folder.path("out"), "--format", "gif"},
       "unsupported file type '.gif'"},
  };
  for (const auto& c : kCases) {
    std::ostringstream err;
    EXPECT_EQ(runBatchCommand(batchRequest(c.args), INKJET_TOOL, false, err), 2);
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path("out")));
}

}  // namespace
