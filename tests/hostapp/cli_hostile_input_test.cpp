// Inputs a careless or hostile user can hand the tool: control characters in options and file
// names, inputs that are not files, names at the length limit, a damaged colour profile, a
// file size limit. Each fails, when it fails, with one readable line and nothing written.
#include <gtest/gtest.h>

#include <lcms2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

class HostileInput : public ::testing::Test {
 protected:
  std::string sample(const std::string& name) {
    writeFile(folder.path(name), ppm(40, 30));
    return folder.path(name);
  }
  ScratchFolder folder;
};

TEST_F(HostileInput, ControlCharactersAreEscapedSoTheErrorStaysOneLine) {
  const std::string input = sample("in.ppm");
  struct Case {
    std::vector<std::string> args;
    const char* shown;  // how the hostile text must appear in the message
  };
  const std::string badName = folder.path("bad\nname.png");
  for (const Case& c : {
           Case{{"sharpen", input, folder.path("o.ppm"), "--printer", "1\n"}, "\"1\\n\""},
           Case{{"report", badName}, "bad\\nname.png"},
           Case{{"report", folder.path("esc\x1b[31m.ppm")}, "esc\\x1b[31m.ppm"},
           Case{{"sharpen", input, folder.path("o.ppm"), "--source", std::string("a\0b", 3)},
                "a\\x00b"},
       }) {
    SCOPED_TRACE(c.shown);
    const Outcome outcome = runTool(c.args);
    EXPECT_NE(outcome.code, 0);
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    EXPECT_NE(outcome.err.find(c.shown), std::string::npos) << outcome.err;
  }
  // A PAM header stuffed with control bytes and a very long tuple type is neither echoed raw
  // nor echoed whole.
  const std::string pam = folder.path("odd.pam");
  writeFile(pam, "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE \x1b" +
                     std::string(100000, 'A') + "\nENDHDR\n" + std::string(12, 'x'));
  const Outcome outcome = runTool({"report", pam});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err.substr(0, 200);
  EXPECT_LT(outcome.err.size(), 1100u);
  EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos);
}

// Character devices and FIFOs are refused before a byte is read: /dev/zero would never end,
// a FIFO without a writer would never start.
TEST_F(HostileInput, InputsThatAreNotRegularFilesAreRefused) {
  const std::string fifo = folder.path("pipe.ppm");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = folder.path("zero.ppm");
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  std::filesystem::create_directory(folder.path("dir.ppm"));
  for (const std::string& input : {fifo, zero, folder.path("dir.ppm")}) {
    SCOPED_TRACE(input);
    const Outcome outcome = runTool({"report", input});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
  }
}

// The temporary file is a short name in OUTPUT's folder, so an OUTPUT whose name is as long as
// the file system allows is still written.
TEST_F(HostileInput, AnOutputNameAtTheLengthLimitIsWritten) {
  const std::string input = sample("in.ppm");
  for (size_t length : {size_t(250), size_t(255)}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(length - 4, 'n') + ".ppm";
    const Outcome outcome = runTool({"sharpen", input, folder.path(name), "--quiet"});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_TRUE(std::filesystem::exists(folder.path(name)));
    std::filesystem::remove(folder.path(name));
  }
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.ppm"});
}

// Under `ulimit -f` the save fails with the system's reason instead of the program ending by
// SIGXFSZ without a word.
TEST_F(HostileInput, AFileSizeLimitGivesFileTooLarge) {
  const std::string input = sample("in.ppm");
  const std::string output = folder.path("out.ppm");
  const ChildRun run = runInChild([&](int* exitCode) {
    struct rlimit limit = {1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Outcome outcome = runTool({"sharpen", input, output, "--quiet"});
    *exitCode = outcome.code;
    return outcome.err;
  });
  ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
  EXPECT_EQ(WEXITSTATUS(run.status), 1);
  EXPECT_TRUE(isOneErrorLine(run.text)) << run.text;
  EXPECT_NE(run.text.find("File too large"), std::string::npos) << run.text;
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.ppm"});
}

// A CMYK output profile (version 2, 16-bit tables with 2 grid points) whose B2A1 table can be
// told to declare 255 grid points while still holding the data of 2.
Bytes cmykProfile(bool damaged) {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 2.1);
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsPipeline* toLab = cmsPipelineAlloc(nullptr, 4, 3);
  cmsPipelineInsertStage(toLab, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, 4, 3, nullptr));
  cmsWriteTag(profile, cmsSigAToB0Tag, toLab);
  cmsPipeline* fromLab = cmsPipelineAlloc(nullptr, 3, 4);
  cmsPipelineInsertStage(fromLab, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, 3, 4, nullptr));
  cmsWriteTag(profile, cmsSigBToA1Tag, fromLab);
  cmsPipelineFree(toLab);
  cmsPipelineFree(fromLab);
  Bytes bytes = files_test::saveProfile(profile);
  if (damaged) {
    // The tag table: a count, then signature, offset and size of each tag. In a lut16 table
    // the grid points are the byte after the signature, reserved word and channel counts.
    const auto big32 = [&](size_t at) {
      return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
             uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    for (uint32_t tag = 0; tag < big32(128); ++tag) {
      const size_t entry = 132 + 12 * size_t(tag);
      if (big32(entry) == cmsSigBToA1Tag) bytes[big32(entry + 4) + 10] = 255;
    }
  }
  return bytes;
}

TEST_F(HostileInput, ACmykProfileThatCannotConvertRefusesTheFile) {
  for (const bool damaged : {false, true}) {
    SCOPED_TRACE(damaged ? "damaged" : "intact");
    Raster raster = files_test::distinctRaster(100, 70, ImageMode::cmyk, 0);
    raster.iccProfile = cmykProfile(damaged);
    const std::string input = folder.path("cmyk.tif");
    ASSERT_TRUE(writeImageFile(input, raster).ok());
    const std::string output = folder.path("out.tif");
    const Outcome outcome = runTool({"sharpen", input, output, "--quiet"});
    if (!damaged) {
      EXPECT_EQ(outcome.code, 0) << outcome.err;
      std::filesystem::remove(output);
      continue;
    }
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    EXPECT_NE(outcome.err.find("profile"), std::string::npos) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}

// Standard output that cannot be written (a full disk, as with > /dev/full) fails the
// command instead of passing for done.
TEST_F(HostileInput, StandardOutputThatCannotBeWrittenFailsTheCommand) {
  struct FullDevice : std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
  };
  const std::string input = sample("in.ppm");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"report", input, "--json"}, {"report", input}, {"--version"}, {"--help"}}) {
    SCOPED_TRACE(args[0] + " " + args.back());
    platform::driver::reset();
    CliRequest request;
    std::string problem;
    ASSERT_TRUE(parseCommandLine(args, &request, &problem)) << problem;
    CliPlatform platform;
    platform.entry = ENTRYPOINT;
    platform.propertyList = inkjetPropertyList();
    platform.lcmsAvailable = true;
    platform.report = runReportCommand;
    FullDevice full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(runCliCommand(request, platform, out, err), 1);
    EXPECT_TRUE(isOneErrorLine(err.str())) << err.str();
  }
}

}  // namespace
