// The About window and the help window, driven through the stand-in: what closes them, how the
// help pages step, where the windows go, and that every picture and font they make is gone
// once they are.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog/about_window.h"
#include "dialog/help_window.h"
#include "host/about_box.h"
#include "platform/driver.h"

namespace drv = platform::driver;

namespace {

bool sameAsPicture(HWND window, HBITMAP picture) {
  BITMAP info{};
  GetObjectA(picture, sizeof info, &info);
  for (int y = 0; y < info.bmHeight; ++y)
    for (int x = 0; x < info.bmWidth; ++x)
      if (drv::pixel(window, x, y) != drv::bitmapPixel(picture, x, y)) return false;
  return true;
}

RECT windowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// ---- About ----

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { drv::reset(); }
  void TearDown() override { drv::reset(); }

  static INT_PTR runAbout() { return runAboutWindow(nullptr); }
};

TEST_F(AboutWindowTest, ClosesOnAKeyOrAButtonButNotOnAMove) {
  const struct {
    const char* name;
    std::function<void()> input;
    INT_PTR result;  // -1: the window was still open when the input ran out
  } cases[] = {
      {"key", [] { drv::queueKey('A'); }, 1},
      {"Enter", [] { drv::queueKey(VK_RETURN); }, 1},
      {"Escape", [] { drv::queueKey(VK_ESCAPE); }, 1},
      {"left button", [] { drv::queueClick(10, 10); }, 1},
      {"right button", [] { drv::queueRightClick(300, 250); }, 1},
      {"mouse moves",
       [] {
         drv::queueMouse(WM_MOUSEMOVE, 20, 30);
         drv::queueMouse(WM_MOUSEMOVE, 200, 100);
       },
       -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drv::reset();
    c.input();
    EXPECT_EQ(runAbout(), c.result);
    EXPECT_EQ(drv::failures().size(), c.result == -1 ? 1u : 0u);
    EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Font), 0);
    EXPECT_EQ(drv::liveWindows(), 0);
  }
}

TEST_F(AboutWindowTest, ShowsThePictureBorderlessAndCentredWithItsLines) {
  drv::setScreenSize(1280, 1024);
  HBITMAP picture = LoadBitmapA(nullptr, "ABOUT_BITMAP");
  ASSERT_NE(picture, nullptr);
  bool looked = false;
  drv::queueCall([&] {
    HWND about = drv::findWindow("ABOUTDIALOG");
    ASSERT_NE(about, nullptr);
    looked = true;
    RECT r = windowRect(about);
    EXPECT_EQ(r.left, 640 - 175);
    EXPECT_EQ(r.top, 512 - 140);
    EXPECT_EQ(r.right - r.left, 350);
    EXPECT_EQ(r.bottom - r.top, 280);
    EXPECT_EQ(GetWindowLongA(about, GWL_STYLE) & (WS_BORDER | WS_SYSMENU | WS_CAPTION), 0);
    // The picture everywhere but where the grey lines are written.
    EXPECT_EQ(drv::pixel(about, 5, 5), drv::bitmapPixel(picture, 5, 5));
    EXPECT_EQ(drv::pixel(about, 349, 279), drv::bitmapPixel(picture, 349, 279));
    int grey = 0;
    for (int y = 219; y < 272; ++y)
      for (int x = 214; x < 350; ++x) grey += drv::pixel(about, x, y) == RGB(130, 130, 130);
    EXPECT_GT(grey, 100);
    EXPECT_FALSE(drv::savePng(about, "about_native.png").empty());
  });
  drv::queueKey(VK_SPACE);
  EXPECT_EQ(runAbout(), 1);
  EXPECT_TRUE(looked);
  DeleteObject(picture);
}

TEST_F(AboutWindowTest, TheAboutSelectorShowsNoFailureWhenTheWindowRuns) {
  drv::queueKey(VK_RETURN);
  showAbout(nullptr);
  EXPECT_TRUE(drv::messageBoxes().empty());
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_EQ(drv::liveObjects(), 0);
}

// ---- Help ----

// The help window's click areas, in its client coordinates.
constexpr POINT kPrevious{394, 333};
constexpr POINT kClose{419, 333};
constexpr POINT kNext{437, 333};

class HelpWindowTest : public ::testing::Test {
 protected:
  // The help window goes with its owner, as it does with the main dialog, so whatever it holds
  // is released before the stand-in is cleared.
  void SetUp() override {
    closeOwner();
    drv::reset();
    state = HelpWindowState{};
    owner = drv::createWindow(500, 420);
    state.owner = owner;
  }
  void TearDown() override {
    closeOwner();
    drv::reset();
  }
  void closeOwner() {
    if (owner && IsWindow(owner)) DestroyWindow(owner);
    owner = nullptr;
  }

  uint32_t open() { return openHelp(&state); }
  HWND help() const { return drv::findWindow("HELPDIALOG"); }
  void click(POINT at, int times = 1) {
    for (int i = 0; i < times; ++i) drv::queueClick(at.x, at.y, "HELPDIALOG");
    drv::deliverAll();
  }
  int livePages() const {
    int n = 0;
    for (HBITMAP page : state.pages) n += page != nullptr;
    return n;
  }

  HelpWindowState state{};
  HWND owner = nullptr;
};

TEST_F(HelpWindowTest, OpensOnceWithNinePagesPlacedRightOfAndAboveTheCentre) {
  drv::setScreenSize(1280, 1024);
  int windowsBefore = drv::liveWindows();
  EXPECT_EQ(open(), 1u);
  HWND first = state.window;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(open(), 1u);
  EXPECT_EQ(state.window, first);
  EXPECT_EQ(drv::liveWindows(), windowsBefore + 1);
  EXPECT_EQ(state.page, 1);
  EXPECT_EQ(livePages(), 9);
  EXPECT_EQ(state.pages[0], nullptr);
  EXPECT_NE(state.controls, nullptr);
  EXPECT_EQ(GetParent(first), owner);
  EXPECT_TRUE(IsWindowVisible(first));
  RECT r = windowRect(first);
  EXPECT_EQ(r.left, 640 - 230 + 80);
  EXPECT_EQ(r.top, 512 - 175 - 80);
  EXPECT_EQ(r.right - r.left, 460);
  EXPECT_EQ(r.bottom - r.top, 350);
  drv::paintPending();
  EXPECT_TRUE(sameAsPicture(first, state.pages[1]));
}

TEST_F(HelpWindowTest, PagesStepWithinOneToNine) {
  const struct {
    const char* name;
    int previous, next, thenPrevious;
    int page;
  } cases[] = {
      {"previous on page 1", 1, 0, 0, 1},       {"next three times", 0, 3, 0, 4},
      {"next past the last page", 0, 12, 0, 9}, {"back from the last page", 0, 12, 2, 7},
      {"back past page 1", 0, 2, 5, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    open();
    click(kPrevious, c.previous);
    click(kNext, c.next);
    click(kPrevious, c.thenPrevious);
    EXPECT_EQ(state.page, c.page);
    EXPECT_TRUE(sameAsPicture(help(), state.pages[c.page]));
  }
}

TEST_F(HelpWindowTest, APageTurnsOnlyOnAReleaseInsideItsArea) {
  open();
  drv::queueMouse(WM_LBUTTONDOWN, kNext.x, kNext.y, "HELPDIALOG");
  drv::queueMouse(WM_LBUTTONUP, kNext.x - 60, kNext.y, "HELPDIALOG");
  drv::deliverAll();
  EXPECT_EQ(state.page, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HelpWindowTest, ClosingReleasesEverythingAndReopeningStartsAtPageOne) {
  open();
  click(kNext, 4);
  ASSERT_EQ(state.page, 5);
  click(kClose);
  EXPECT_EQ(state.window, nullptr);
  EXPECT_EQ(help(), nullptr);
  EXPECT_EQ(state.controls, nullptr);
  EXPECT_EQ(livePages(), 0);
  EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  open();
  EXPECT_EQ(state.page, 1);
  EXPECT_EQ(livePages(), 9);
  drv::paintPending();
  EXPECT_TRUE(sameAsPicture(help(), state.pages[1]));
  EXPECT_TRUE(drv::failures().empty());
}

// Each page picture is deleted once, whichever way the window goes: a second delete would hit
// whatever bitmap was made since in the freed handle's place.
TEST_F(HelpWindowTest, PicturesAreDeletedExactlyOnceWhicheverWayTheWindowGoes) {
  const struct {
    const char* name;
    bool closeFirst;
  } cases[] = {{"close area, then the owner", true}, {"with the owner", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    open();
    click(kNext, 2);
    if (c.closeFirst) click(kClose);
    std::vector<HBITMAP> bystanders;
    for (int i = 0; i < 12; ++i) bystanders.push_back(LoadBitmapA(nullptr, "OK_BUTTON"));
    DestroyWindow(owner);
    EXPECT_EQ(state.window, nullptr);
    EXPECT_EQ(state.controls, nullptr);
    EXPECT_EQ(livePages(), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), int(bystanders.size()));
    for (HBITMAP b : bystanders) EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(drv::liveObjects(), 0);
    EXPECT_EQ(drv::liveWindows(), 0);
  }
}

TEST_F(HelpWindowTest, DraggingThePageMovesTheWindow) {
  open();
  RECT before = windowRect(help());
  drv::queueMouse(WM_LBUTTONDOWN, 100, 100, "HELPDIALOG");
  drv::queueMouse(WM_MOUSEMOVE, 130, 120, "HELPDIALOG");
  drv::queueMouse(WM_LBUTTONUP, 130, 120, "HELPDIALOG");
  drv::deliverAll();
  RECT after = windowRect(help());
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_EQ(state.page, 1);
}

TEST_F(HelpWindowTest, ScreenshotsOfTheFirstAndLastPage) {
  open();
  drv::paintPending();
  EXPECT_FALSE(drv::savePng(help(), "help_page1_native.png").empty());
  click(kNext, 8);
  EXPECT_FALSE(drv::savePng(help(), "help_page9_native.png").empty());
}

}  // namespace
