// The dialog script format of inkjet-host.exe --dialog --script, and the PNG screenshots the
// Windows host writes without a PNG library (read back here with libpng).
#include <gtest/gtest.h>

#include <sstream>

#include "hostapp/dialog_script_format.h"
#include "imagefiles/image_files.h"
#include "hostapp/snapshot_png.h"
#include "platform/driver.h"

namespace {

using Action = ScriptStep::Action;

std::string describe(const std::vector<ScriptStep>& steps) {
  std::ostringstream text;
  for (const ScriptStep& s : steps) {
    switch (s.action) {
      case Action::Move:
        text << "M" << s.x << "," << s.y << " ";
        break;
      case Action::Press:
        text << "P" << s.x << "," << s.y << " ";
        break;
      case Action::Release:
        text << "R" << s.x << "," << s.y << " ";
        break;
      case Action::Key:
        text << "K" << s.key << " ";
        break;
      case Action::Wait:
        text << "W" << s.milliseconds << " ";
        break;
      case Action::Screenshot:
        text << "S[" << s.path << "] ";
        break;
      case Action::ScreenshotFront:
        text << "F[" << s.path << "] ";
        break;
    }
  }
  return text.str();
}

TEST(DialogScript, StepsAndErrors) {
  struct Case {
    const char* text;
    bool ok;
    std::string steps;  // or the problem
  };
  const Case cases[] = {
      {"# a comment\n\nclick 202 215\n", true, "P202,215 R202,215 "},
      {"press 1 2\nmove 3 4\nrelease 5 6", true, "P1,2 M3,4 R5,6 "},
      {"drag 0 0 20 -4", true, "P0,0 M6,-1 M13,-2 M20,-4 R20,-4 "},
      {"drag 5 5 5 5", true, "P5,5 M5,5 R5,5 "},
      {"key a\nkey enter\nkey 7\nkey 0x70\nkey comma", true, "K65 K13 K55 K112 K188 "},
      {"wait 250", true, "W250 "},
      {"screenshot Z:/tmp/a b.png  \r\nscreenshot-front help.png", true,
       "S[Z:/tmp/a b.png] F[help.png] "},
      {"click 1", false, "line 1: click takes X Y"},
      {"move 1 2 3", false, "line 1: move takes X Y"},
      {"\nkey hyper", false, "line 2: unknown key"},
      {"wait -1", false, "line 1: wait takes milliseconds from 0 to 60000"},
      {"screenshot", false, "line 1: screenshot takes a file name"},
      {"jump 1 2", false, "line 1: unknown step \"jump\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream text(c.text);
    std::vector<ScriptStep> steps;
    std::string problem;
    EXPECT_EQ(parseDialogScript(text, &steps, &problem), c.ok);
    EXPECT_EQ(c.ok ? describe(steps) : problem, c.steps);
    if (!c.ok) {
      EXPECT_TRUE(steps.empty());
    }
  }
}

// Larger than one stored deflate block, with distinct samples, so a wrong block split, row
// filter byte or checksum shows.
TEST(SnapshotPng, ReadsBackExactly) {
  Raster raster;
  raster.width = 230;
  raster.height = 101;
  for (int i = 0; i < raster.width * raster.height * 3; ++i)
    raster.pixels.push_back(uint8_t(i * 7 + i / 97));
  std::string path = platform::driver::artifactsDirectory() + "/snapshot_png_test.png";
  ASSERT_TRUE(writeSnapshotPng(path, raster).ok());
  Raster back;
  ASSERT_TRUE(readImageFile(path, back).ok());
  EXPECT_EQ(back.width, raster.width);
  EXPECT_EQ(back.height, raster.height);
  EXPECT_EQ(back.mode, ImageMode::rgb);
  EXPECT_EQ(back.pixels, raster.pixels);
}

}  // namespace
