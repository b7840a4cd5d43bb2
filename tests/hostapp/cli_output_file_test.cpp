// What sharpen's OUTPUT may be: never the input file, however it is spelled or linked; a
// symbolic link has its target replaced; a replaced file keeps its permissions.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        writeImageFile(folder.path("a.jpg"), files_test::distinctRaster(16, 12, ImageMode::rgb, 0))
            .ok());
    original = readFile(folder.path("a.jpg"));
  }
  ScratchFolder folder;
  std::string original;
};

TEST_F(OutputFileTest, TheInputIsAUsageErrorThroughAnyPath) {
  ASSERT_EQ(link(folder.path("a.jpg").c_str(), folder.path("hard.jpg").c_str()), 0);
  ASSERT_EQ(symlink(folder.path("a.jpg").c_str(), folder.path("soft.jpg").c_str()), 0);
  ASSERT_EQ(symlink("soft.jpg", folder.path("chain.jpg").c_str()), 0);
  const std::string dotted = folder.path(".") + "/./a.jpg";
  for (const std::string& output : {folder.path("a.jpg"), dotted, folder.path("hard.jpg"),
                                    folder.path("soft.jpg"), folder.path("chain.jpg")}) {
    Outcome outcome = runTool({"sharpen", folder.path("a.jpg"), output, "--quiet"});
    EXPECT_EQ(outcome.code, 2) << output;
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    EXPECT_EQ(readFile(folder.path("a.jpg")), original) << output;
  }
  // The input named through a link is the same file too.
  EXPECT_EQ(runTool({"sharpen", folder.path("soft.jpg"), folder.path("a.jpg")}).code, 2);
  EXPECT_EQ(readFile(folder.path("a.jpg")), original);
}

TEST_F(OutputFileTest, ALinkHasItsTargetReplacedAndAReplacedFileKeepsItsMode) {
  const std::string target = folder.path("print.jpg");
  writeFile(target, "old contents");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink("print.jpg", folder.path("latest.jpg").c_str()), 0);
  Outcome outcome =
      runTool({"sharpen", folder.path("a.jpg"), folder.path("latest.jpg"), "--quiet"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  struct stat link, file;
  ASSERT_EQ(lstat(folder.path("latest.jpg").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link is kept";
  ASSERT_EQ(stat(target.c_str(), &file), 0);
  EXPECT_EQ(file.st_mode & 07777, 0640u);
  Raster written;
  EXPECT_TRUE(readImageFile(target, written).ok());
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a.jpg", "latest.jpg", "print.jpg"}))
      << "no temporary file left";
  // A link to nothing is not followed into a file of the link's making.
  ASSERT_EQ(symlink("missing/x.jpg", folder.path("dangling.jpg").c_str()), 0);
  EXPECT_EQ(runTool({"sharpen", folder.path("a.jpg"), folder.path("dangling.jpg"), "--quiet"}).code,
            1);
}

}  // namespace
