// The committed bitmaps against what the dialogs load: every name, its size and bit depth,
// and files that decode cleanly.
#include <gtest/gtest.h>

#include <set>

#include "resource_files.h"

namespace {

using namespace resources_test;

struct Expected {
  std::string name;
  int width, height, bitsPerPixel;
};

std::vector<Expected> loadedBitmaps() {
  std::vector<Expected> all = {
      {"FILTER_MAIN_BITMAP", 500, 420, 8},   {"OK_BUTTON", 39, 23, 8},
      {"PRESSED_OK_BUTTON", 39, 23, 24},     {"CANCEL_BUTTON", 79, 23, 8},
      {"PRESSED_CANCEL_BUTTON", 79, 23, 24}, {"SAVE_BUTTON", 37, 18, 4},
      {"PRESSED_SAVE_BUTTON", 37, 18, 24},   {"LOAD_BUTTON", 37, 18, 8},
      {"PRESSED_LOAD_BUTTON", 37, 18, 24},   {"HELP_BUTTON", 37, 18, 8},
      {"PRESSED_HELP_BUTTON", 37, 18, 24},   {"ENTE_BUTTON", 37, 18, 8},
      {"FAST_ENTE_BUTTON", 37, 18, 24},      {"ABOUT_BITMAP", 350, 280, 24}};
  for (int i = 1; i <= 3; ++i) {
    all.push_back({"FILTER_BUTTONUP_BITMAP" + std::to_string(i), 81, 16, 8});
    all.push_back({"FILTER_BUTTONDOWN_BITMAP" + std::to_string(i), 81, 16, 8});
  }
  for (int i = 1; i <= 5; ++i) {
    all.push_back({"FILTER_BUTTONUP2_BITMAP" + std::to_string(i), 81, 16, 4});
    all.push_back({"FILTER_BUTTONDOWN2_BITMAP" + std::to_string(i), 81, 16, 4});
  }
  for (int i = 1; i <= 9; ++i)
    all.push_back({"FILTER_HELP_BITMAP" + std::to_string(i), 460, 350, 4});
  return all;
}

TEST(BitmapResources, ScriptListsExactlyTheLoadedBitmaps) {
  std::set<std::string> expected, listed;
  for (const auto& e : loadedBitmaps()) expected.insert(e.name);
  for (const auto& [name, file] : bitmapScriptEntries()) listed.insert(name);
  EXPECT_EQ(listed, expected);
}

TEST(BitmapResources, EveryBitmapDecodesWithItsSizeAndDepth) {
  const auto entries = bitmapScriptEntries();
  for (const Expected& e : loadedBitmaps()) {
    SCOPED_TRACE(e.name);
    const auto found = entries.find(e.name);
    ASSERT_NE(found, entries.end());
    EXPECT_EQ(found->second.rfind("bitmaps/", 0), 0u) << "paths are relative to resources/";
    const auto bytes = readBytes(resourcesDir() + "/" + found->second);
    ASSERT_FALSE(bytes.empty()) << found->second << " is missing";
    artwork::DecodedBitmap picture;
    std::string error;
    ASSERT_TRUE(artwork::decodeBitmap(bytes, picture, error)) << error;
    EXPECT_EQ(picture.width, e.width);
    EXPECT_EQ(picture.height, e.height);
    EXPECT_EQ(picture.bitsPerPixel, e.bitsPerPixel);
  }
}

// Pictures of different choices, and the normal and pressed forms of one, must differ: the
// popup shows the hovered choice by its pressed picture.
TEST(BitmapResources, StepPicturesAreDistinct) {
  std::vector<std::string> names;
  for (int i = 1; i <= 3; ++i) names.push_back("FILTER_BUTTONUP_BITMAP" + std::to_string(i));
  for (int i = 1; i <= 3; ++i) names.push_back("FILTER_BUTTONDOWN_BITMAP" + std::to_string(i));
  for (int i = 1; i <= 5; ++i) names.push_back("FILTER_BUTTONUP2_BITMAP" + std::to_string(i));
  for (int i = 1; i <= 5; ++i) names.push_back("FILTER_BUTTONDOWN2_BITMAP" + std::to_string(i));
  for (size_t a = 0; a < names.size(); ++a) {
    for (size_t b = a + 1; b < names.size(); ++b) {
      const auto pa = committedBitmap(names[a]), pb = committedBitmap(names[b]);
      if (pa.width != pb.width || pa.height != pb.height) continue;
      EXPECT_FALSE(pa.pixels == pb.pixels) << names[a] << " and " << names[b] << " look the same";
    }
  }
}

}  // namespace
