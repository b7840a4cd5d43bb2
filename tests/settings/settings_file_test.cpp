// Settings files: the byte layout, round trips through the Save and Load buttons, files of
// other filters, short, long and unreadable files, values out of range, and saving safely.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/control_group.h"
#include "dialog/main_dialog.h"
#include "dialog/settings_file.h"
#include "platform/driver.h"

namespace {

namespace drv = platform::driver;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const SharpenSettings kSaved = {3, 4, 1, 11, 0, 9, 169, 254};
const SharpenSettings kBefore = {2, 1, 2, 4, 2, 5, 300, 450};

// Counts the Init events that reach the dialog's controls.
class InitCounter : public Control {
 public:
  InitCounter() : Control(0, 0, 1, 1, ControlFlags::Active, nullptr) {}
  uint32_t onInit() override {
    ++inits;
    return 0;
  }
  int inits = 0;
};

Bytes fileImage(const char* tag, const std::string& signature,
                const int32_t (&values)[kPersistedSettingCount]) {
  Bytes b(kSettingsFileSize, 0);
  std::copy(tag, tag + 3, b.begin());
  std::copy(signature.begin(), signature.end(), b.begin() + 3);
  for (int i = 0; i < kPersistedSettingCount; ++i)
    for (int k = 0; k < 4; ++k) b[84 + 4 * i + k] = uint8_t(uint32_t(values[i]) >> (8 * k));
  return b;
}

Bytes validImage() { return fileImage("orv", kSettingsFileSignature, {3, 4, 1, 11, 0, 9}); }

bool sameSettings(const SharpenSettings& a, const SharpenSettings& b) {
  return a.personalProfile == b.personalProfile && a.eyeDistance == b.eyeDistance &&
         a.printerQuality == b.printerQuality && a.printerResolution == b.printerResolution &&
         a.imageQuality == b.imageQuality && a.imageSource == b.imageSource &&
         a.printHeight == b.printHeight && a.printWidth == b.printWidth;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drv::reset();
    dir = fs::temp_directory_path() /
          ("inkjet-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    newWindow();
    root = new ControlGroup(0, 0, 500, 420, ControlFlags::Active, nullptr);
    counter = root->add(std::make_unique<InitCounter>());
    acceleration = 1;
    dialog.controls.reset(root);
    dialog.zoom = 3;
    settings = kBefore;
  }
  void TearDown() override {
    dialog.controls.reset();
    fs::remove_all(dir);
    drv::reset();
  }

  // A fresh dialog window with nothing waiting to be repainted.
  void newWindow() {
    window = drv::createWindow(500, 420);
    ValidateRect(window, nullptr);
    dialog.window = window;
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::string put(const std::string& name, const Bytes& bytes) const {
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path(name);
  }
  static Bytes contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  uint32_t load(const std::string& file) {
    drv::queueFileName(file);
    return loadSettings(&dialog);
  }
  uint32_t save(const std::string& file) {
    drv::queueFileName(file);
    return saveSettings(&dialog);
  }
  bool repainted() const {
    const RECT r = drv::invalidArea(window);
    return r.right > r.left && r.bottom > r.top;
  }
  void expectOneError(const std::string& text, const std::string& context) const {
    ASSERT_EQ(drv::messageBoxes().size(), 1u) << context;
    const auto& box = drv::messageBoxes()[0];
    EXPECT_EQ(box.text, text) << context;
    EXPECT_EQ(box.caption, "Error") << context;
    EXPECT_EQ(box.type, UINT(MB_OK)) << context;
    EXPECT_EQ(box.owner, window) << context;
  }

  fs::path dir;
  HWND window = nullptr;
  ControlGroup* root = nullptr;
  InitCounter* counter = nullptr;
  SharpenSettings settings{};
  bool touched = false;
  int32 acceleration = 0;
  MainDialog dialog{
      DialogRun{nullptr, PixelServices{}, nullptr, &acceleration, &settings, &touched}};
};

TEST_F(SettingsFileTest, SavedFileHasTheFixedLayout) {
  settings = kSaved;
  EXPECT_EQ(save(path("look.orv")), 1u);
  const Bytes b = contents(path("look.orv"));
  ASSERT_EQ(b.size(), kSettingsFileSize);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 3), "orv");
  EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 25), "Brindlecraft1.0 Inkjet");
  for (size_t i = 25; i <= 83; ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
  const Bytes values(b.begin() + 84, b.end());
  const Bytes expected = {3, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0, 11, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0};
  EXPECT_EQ(values, expected);
  EXPECT_TRUE(repainted());
  EXPECT_TRUE(drv::messageBoxes().empty());
}

TEST_F(SettingsFileTest, FileDialogsAreSetUpForSettingsFiles) {
  save(path("a.orv"));
  load(path("a.orv"));
  ASSERT_EQ(drv::fileDialogs().size(), 2u);
  for (const auto& d : drv::fileDialogs()) {
    EXPECT_EQ(d.owner, window);
    EXPECT_EQ(d.filter, "orv filterfiles {*.orv}|*.orv|All files {*.*}|*.*");
    EXPECT_EQ(d.defaultExtension, "orv");
    EXPECT_EQ(d.title, "");
  }
  EXPECT_TRUE(drv::fileDialogs()[0].save);
  EXPECT_FALSE(drv::fileDialogs()[1].save);
}

TEST_F(SettingsFileTest, RoundTripRestoresTheSixSettingsOnly) {
  settings = kSaved;
  save(path("round"));  // the dialog adds the extension
  settings = kBefore;
  dialog.zoom = 7;
  acceleration = 0;
  EXPECT_EQ(load(path("round.orv")), 1u);
  SharpenSettings expected = kSaved;
  expected.printHeight = kBefore.printHeight;
  expected.printWidth = kBefore.printWidth;
  EXPECT_TRUE(sameSettings(settings, expected));
  EXPECT_EQ(dialog.zoom, 7);
  EXPECT_EQ(acceleration, 0);
  EXPECT_EQ(counter->inits, 1) << "the controls take the loaded values";
  EXPECT_TRUE(repainted());
  EXPECT_TRUE(drv::failures().empty());
}

TEST_F(SettingsFileTest, AcceptedFiles) {
  Bytes longer = validImage();
  longer.resize(300, 0xAB);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"the exact image", validImage()},
      {"another tag", fileImage("xyz", kSettingsFileSignature, {3, 4, 1, 11, 0, 9})},
      {"a longer file", longer},
  };
  for (const auto& c : cases) {
    settings = kBefore;
    EXPECT_EQ(load(put("accepted.orv", c.bytes)), 1u) << c.name;
    SharpenSettings expected = kSaved;
    expected.printHeight = kBefore.printHeight;
    expected.printWidth = kBefore.printWidth;
    EXPECT_TRUE(sameSettings(settings, expected)) << c.name;
    EXPECT_TRUE(drv::messageBoxes().empty()) << c.name;
  }
}

TEST_F(SettingsFileTest, ValuesOutOfRangeAreClamped) {
  const struct {
    int32_t stored[kPersistedSettingCount];
    int32_t loaded[kPersistedSettingCount];
  } cases[] = {
      {{0, 0, -1, -1, -1, -1}, {1, 1, 0, 0, 0, 0}},
      {{4, 6, 5, 12, 5, 10}, {3, 5, 4, 11, 4, 9}},
      {{INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 2, 3}, {1, 5, 4, 0, 2, 3}},
  };
  for (const auto& c : cases) {
    load(put("range.orv", fileImage("orv", kSettingsFileSignature, c.stored)));
    const SharpenSettings& s = settings;
    const int32_t got[] = {s.personalProfile,   s.eyeDistance,  s.printerQuality,
                           s.printerResolution, s.imageQuality, s.imageSource};
    for (int i = 0; i < kPersistedSettingCount; ++i)
      EXPECT_EQ(got[i], c.loaded[i]) << "value " << i << " stored as " << c.stored[i];
  }
}

TEST_F(SettingsFileTest, ForeignAndShortFilesAreRefusedWithTheSignatureMessage) {
  Bytes shortValid = validImage();
  shortValid.resize(107);
  const Bytes valid = validImage();
  Bytes unterminated = valid;
  std::fill(unterminated.begin() + 3, unterminated.begin() + 84, 'x');
  const struct {
    const char* name;
    Bytes bytes;
    std::string shown;
  } cases[] = {
      {"one letter in another case",
       fileImage("orv", "Brindlecraft1.0 inkjet", {3, 4, 1, 11, 0, 9}), "Brindlecraft1.0 inkjet"},
      {"another filter", fileImage("orv", "Brindlecraft1.0 Other", {3, 4, 1, 11, 0, 9}),
       "Brindlecraft1.0 Other"},
      {"a longer signature", fileImage("orv", "Brindlecraft1.0 Inkjet2", {1, 1, 1, 1, 1, 1}),
       "Brindlecraft1.0 Inkjet2"},
      {"one byte short", shortValid, "Brindlecraft1.0 Inkjet"},
      {"cut inside the signature", Bytes(valid.begin(), valid.begin() + 15), "Brindlecraft"},
      {"empty", Bytes(), ""},
      {"no zero in the signature field", unterminated, std::string(80, 'x')},
  };
  for (const auto& c : cases) {
    drv::reset();
    newWindow();
    settings = kBefore;
    counter->inits = 0;
    EXPECT_EQ(load(put("foreign.orv", c.bytes)), 1u) << c.name;
    const std::string name = c.name;
    // The message names the signature text found: "by the\n <text> filter!".
    expectOneError("This file was created by the\n " + c.shown + " filter!", name);
    EXPECT_TRUE(sameSettings(settings, kBefore)) << c.name;
    EXPECT_EQ(counter->inits, 0) << c.name;
    EXPECT_TRUE(repainted()) << c.name;
  }
}

TEST_F(SettingsFileTest, UnreadableAndUnwritableFilesAreReportedAndChangeNothing) {
  const std::string missing = path("missing.orv");
  EXPECT_EQ(load(missing), 1u);
  expectOneError("This file could not be opened:\n " + missing, "load");
  EXPECT_TRUE(sameSettings(settings, kBefore));
  EXPECT_EQ(counter->inits, 0);

  drv::reset();
  newWindow();
  const std::string nowhere = path("no-such-folder/x.orv");
  EXPECT_EQ(save(nowhere), 1u);
  expectOneError("This file could not be written:\n " + nowhere, "save");
  EXPECT_FALSE(fs::exists(nowhere));
  EXPECT_TRUE(repainted());
}

TEST_F(SettingsFileTest, SavingReplacesAFileWholeOrNotAtAll) {
  const std::string target = put("existing.orv", Bytes(500, 0x55));
  settings = kSaved;
  save(target);
  EXPECT_EQ(contents(target), validImage()) << "an existing file is replaced without asking";
  EXPECT_TRUE(drv::messageBoxes().empty());

  // A target that cannot be replaced (here a folder) keeps what it held, and no temporary
  // file is left next to it.
  const std::string folder = path("folder.orv");
  fs::create_directories(folder);
  fs::path kept = fs::path(folder) / "inside";
  std::ofstream(kept) << "kept";
  save(folder);
  EXPECT_EQ(drv::messageBoxes().size(), 1u);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 2)
      << "only existing.orv and folder.orv";
}

TEST_F(SettingsFileTest, CancelledDialogsChangeNothing) {
  drv::queueFileCancel();
  EXPECT_EQ(loadSettings(&dialog), 1u);
  EXPECT_FALSE(repainted()) << "a cancelled load does not repaint";
  drv::queueFileCancel();
  EXPECT_EQ(saveSettings(&dialog), 1u);
  EXPECT_TRUE(repainted());
  EXPECT_TRUE(sameSettings(settings, kBefore));
  EXPECT_EQ(counter->inits, 0);
  EXPECT_TRUE(drv::messageBoxes().empty());
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST(SettingsFormat, DecodingTakesOnlyThePersistedSettings) {
  const Bytes image = validImage();
  SharpenSettings s = kBefore;
  std::string signature;
  EXPECT_EQ(decodeSettingsFile(image.data(), image.size(), s, signature), SettingsStatus::Loaded);
  EXPECT_EQ(signature, kSettingsFileSignature);
  EXPECT_EQ(s.printerResolution, 11);
  EXPECT_EQ(s.printWidth, kBefore.printWidth);
  uint8_t again[kSettingsFileSize];
  encodeSettingsFile(s, again);
  EXPECT_EQ(Bytes(again, again + kSettingsFileSize), image);
  EXPECT_EQ(decodeSettingsFile(nullptr, 0, s, signature), SettingsStatus::Foreign);
}

}  // namespace
