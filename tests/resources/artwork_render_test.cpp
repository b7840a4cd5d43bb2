// The drawing program: it draws the same bytes every time, and the committed files are what
// it draws (so an edited help text or picture cannot be forgotten in the repository).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "resource_files.h"
#include "resources/artwork/artwork.h"
#include "resources/artwork/text.h"

namespace {

using namespace resources_test;

artwork::ArtworkSources committedSources() {
  return {artwork::defaultFontDirectory(), resourcesDir() + "/help_pages.txt"};
}

TEST(ArtworkProgram, DrawsTheSameBytesTwiceAndMatchesTheCommittedFiles) {
  std::vector<artwork::RenderedBitmap> first, second;
  std::string error;
  ASSERT_TRUE(artwork::renderArtwork(committedSources(), first, error)) << error;
  ASSERT_TRUE(artwork::renderArtwork(committedSources(), second, error)) << error;
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) {
    SCOPED_TRACE(first[i].name);
    EXPECT_EQ(first[i].name, second[i].name);
    EXPECT_TRUE(first[i].bytes == second[i].bytes) << "drawing is not reproducible";
    EXPECT_TRUE(first[i].bytes == readBytes(resourcesDir() + "/" + first[i].file))
        << "committed file is stale: redraw with the artwork target";
  }
  EXPECT_EQ(artwork::bitmapScript(first), readText(resourcesDir() + "/bitmaps.rc"));
}

TEST(ArtworkProgram, ReportsMissingSources) {
  struct Case {
    const char* what;
    artwork::ArtworkSources sources;
    const char* mentions;
  };
  const Case cases[] = {
      {"no fonts", {"/nonexistent", resourcesDir() + "/help_pages.txt"}, "LiberationSans"},
      {"no help text", {artwork::defaultFontDirectory(), "/nonexistent/help.txt"}, "help.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<artwork::RenderedBitmap> out;
    std::string error;
    EXPECT_FALSE(artwork::renderArtwork(c.sources, out, error));
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
  }
}

#ifdef INKJET_WINDRES
// The module's resource script includes both scripts; they must compile as Windows resources
// with the bitmap paths resolved from resources/.
TEST(ResourceScripts, CompileWithTheWindowsResourceCompiler) {
  const std::string dir = ::testing::TempDir();
  const std::string script = dir + "/artwork_resources.rc";
  std::ofstream(script) << "#include \"bitmaps.rc\"\n#include \"dialogs.rc\"\n";
  const std::string command = std::string(INKJET_WINDRES) + " --include-dir \"" + resourcesDir() +
                              "\" -i \"" + script + "\" -O coff -o \"" + dir +
                              "/artwork_resources.res\"";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}
#endif

TEST(ResourceScripts, DialogTemplatesAreAllThere) {
  const std::string text = readText(resourcesDir() + "/dialogs.rc");
  for (const char* name : {"MAINDIALOG DIALOG 0, 0, 330, 195", "HELPDIALOG DIALOG 0, 0, 330, 195",
                           "ABOUTDIALOG DIALOG 0, 0, 330, 195", "POPUP1 DIALOG 0, 0, 0, 0",
                           "POPUP2 DIALOG 0, 0, 0, 0"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
}

}  // namespace
