// The main dialog in scripted sessions through the stand-in: clicks and keys against FilterProc,
// then the settings, the status lines, the preview and what is left alive afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "controls/control_group.h"
#include "controls/text_label.h"
#include "core/status_report.h"
#include "dialog/main_dialog.h"
#include "dialog/print_size_links.h"
#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "platform/driver.h"
#include "tests/dialog/preview_host.h"

namespace drv = platform::driver;

namespace {

// Window points of the dialog's controls.
constexpr POINT kOk{465, 334};
constexpr POINT kCancel{390, 334};
constexpr POINT kSave{34, 340};
constexpr POINT kLoad{85, 340};
constexpr POINT kHelp{136, 340};
constexpr POINT kZoomIn{466, 61};
constexpr POINT kZoomOut{479, 61};
constexpr POINT kZoomReset{440, 61};
constexpr POINT kPaneCentre{358, 180};
constexpr POINT kWidthNumber{170, 98};
// The Printer field's track: item i sits at x = 10 + 7 + i * 185 / 11.
constexpr int kPrinterY = 215;

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { drv::reset(); }
  void TearDown() override { drv::reset(); }

  // Runs the dialog on `host` with the queued input as Start does, and keeps what it ended with.
  INT_PTR run(PreviewHost& host) {
    MainDialog dialog(host.dialogRun());
    INT_PTR result = dialog.runModal();
    confirmed = dialog.confirmed;
    zoom = dialog.zoom;
    helpWindow = dialog.help.window;
    return result;
  }
  static void click(POINT p) { drv::queueClick(p.x, p.y, "MAINDIALOG"); }
  static void look(std::function<void()> f) { drv::queueCall(std::move(f)); }
  static HWND dialog() { return drv::findWindow("MAINDIALOG"); }
  // The open dialog's state; only inside look().
  static MainDialog& open() { return *MainDialog::of(dialog()); }
  static std::string status(int line) { return open().statusLabels[line]->text(); }

  bool confirmed = false;
  int32 zoom = 0;
  HWND helpWindow = nullptr;

  static void expectNothingLeft() {
    EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Font), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Pen), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::Region), 0);
    EXPECT_EQ(drv::liveObjects(drv::Object::DeviceContext), 0);
    EXPECT_EQ(drv::liveWindows(), 0);
    EXPECT_EQ(drv::liveGlobalBlocks(), 0);
  }
};

TEST_F(MainDialogTest, OkKeepsTheSettingsAndCancelLeavesCancelled) {
  const struct {
    const char* name;
    std::function<void()> input;
    INT_PTR result;
    int cancelled;
  } cases[] = {
      {"OK", [] { click(kOk); }, 1, 0},
      {"Cancel", [] { click(kCancel); }, 1, 1},
      {"Escape", [] { drv::queueKey(VK_ESCAPE, "MAINDIALOG"); }, 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drv::reset();
    PreviewHost host(640, 480);
    c.input();
    EXPECT_EQ(run(host), c.result);
    EXPECT_EQ(!confirmed, c.cancelled);
    EXPECT_TRUE(drv::failures().empty());
    EXPECT_TRUE(drv::messageBoxes().empty());
    expectNothingLeft();
  }
}

TEST_F(MainDialogTest, OpensCentredWithStatusLinesAndASharpenedPreview) {
  PreviewHost host(640, 480);
  look([&] {
    RECT r{};
    GetWindowRect(dialog(), &r);
    EXPECT_EQ(r.left, 1280 / 2 - 250);
    EXPECT_EQ(r.top, 1024 / 2 - 210);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(std::string(open().zoomLabel->text()), "1:3");
    EXPECT_EQ(status(1), "No printing information available without autoscan.");
    EXPECT_NE(status(0).find("Real Resolution Index: ---"), std::string::npos);
    EXPECT_NE(status(2).find("Size = 640x480 pixels"), std::string::npos);
    EXPECT_NE(status(2).find("Acceleration: On"), std::string::npos);
    // 640 x 480 at 1:3 is 213 x 160, centred in the 252 x 218 pane.
    int left = 232 + (252 - 213) / 2, top = 71 + (218 - 160) / 2;
    EXPECT_NE(drv::pixel(dialog(), left + 100, top + 80), RGB(255, 255, 255));
    EXPECT_EQ(drv::pixel(dialog(), left - 3, top + 80), RGB(255, 255, 255));
    drv::savePng(dialog(), "main_dialog_native.png");
  });
  click(kOk);
  EXPECT_EQ(run(host), 1);
  EXPECT_EQ(host.globals.colors.acceleration, 1);
}

TEST_F(MainDialogTest, ChangingThePrinterRewritesTheStatusLines) {
  PreviewHost host(640, 480);
  std::string before, after;
  look([&] { before = status(0) + status(2); });
  drv::queueClick(17 + 185, kPrinterY, "MAINDIALOG");
  look([&] { after = status(0) + status(2); });
  click(kOk);
  run(host);
  EXPECT_EQ(host.parameters.settings.printerResolution, 11);
  EXPECT_NE(before, after);
  EXPECT_EQ(host.parameters.settingsTouched, 1);
}

// The status lines belong to a settings change: one report when the dialog opens and one for
// each change, whatever the preview repaints or drags in between.
TEST_F(MainDialogTest, TheStatusReportIsComposedOncePerChange) {
  PreviewHost host(640, 480);
  const long before = statusReportsComposed();
  long opened = 0, changed = 0, dragged = 0;
  look([&] { opened = statusReportsComposed() - before; });
  drv::queueClick(17 + 185, kPrinterY, "MAINDIALOG");
  look([&] { changed = statusReportsComposed() - before; });
  drv::queueMouse(WM_LBUTTONDOWN, kPaneCentre.x, kPaneCentre.y, "MAINDIALOG");
  drv::queueMouse(WM_MOUSEMOVE, kPaneCentre.x + 20, kPaneCentre.y + 10, "MAINDIALOG");
  drv::queueMouse(WM_LBUTTONUP, kPaneCentre.x + 20, kPaneCentre.y + 10, "MAINDIALOG");
  look([&] { dragged = statusReportsComposed() - before; });
  click(kOk);
  EXPECT_EQ(run(host), 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(dragged, 2);
}

TEST_F(MainDialogTest, ZoomButtonsStopAtTheirLimits) {
  const struct {
    const char* name;
    int width, height;
    std::vector<POINT> clicks;
    int zoom;
  } cases[] = {
      {"+ at 1", 640, 480, {kZoomReset, kZoomIn}, 1},
      {"- up to 10", 640, 480, std::vector<POINT>(12, kZoomOut), 10},
      {"reset then -", 640, 480, {kZoomReset, kZoomOut}, 2},
      {"a start above 10 stays", 3000, 2600, {kZoomOut}, 12},
      {"+ from above 10", 3000, 2600, {kZoomIn, kZoomIn, kZoomIn, kZoomOut}, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drv::reset();
    PreviewHost host(c.width, c.height);
    for (POINT p : c.clicks) click(p);
    std::string label;
    look([&] { label = open().zoomLabel->text(); });
    click(kOk);
    run(host);
    EXPECT_EQ(zoom, c.zoom);
    EXPECT_EQ(label, "1:" + std::to_string(c.zoom));
  }
}

TEST_F(MainDialogTest, DraggingThePreviewShowsOtherPartsAndFetchesAgainWhenLimited) {
  PreviewHost host(2000, 1500);
  int fetchesBefore = 0;
  COLORREF before = 0, after = 0;
  click(kZoomReset);
  look([&] {
    fetchesBefore = host.fetches;
    before = drv::pixel(dialog(), kPaneCentre.x, kPaneCentre.y);
  });
  drv::queueMouse(WM_LBUTTONDOWN, kPaneCentre.x, kPaneCentre.y, "MAINDIALOG");
  drv::queueMouse(WM_MOUSEMOVE, kPaneCentre.x + 100, kPaneCentre.y + 60, "MAINDIALOG");
  drv::queueMouse(WM_LBUTTONUP, kPaneCentre.x + 100, kPaneCentre.y + 60, "MAINDIALOG");
  look([&] {
    after = drv::pixel(dialog(), kPaneCentre.x, kPaneCentre.y);
    drv::savePng(dialog(), "main_dialog_dragged_native.png");
  });
  click(kOk);
  run(host);
  EXPECT_GT(host.fetches, fetchesBefore);
  // The red channel grows to the right: a drag to the right shows parts further left.
  EXPECT_LT(GetRValue(after), GetRValue(before));
  EXPECT_LT(GetGValue(after), GetGValue(before));
}

TEST_F(MainDialogTest, TypingAPrintWidthMakesTheHeightFollow) {
  PreviewHost host(4000, 2000);
  click(kWidthNumber);
  for (UINT key : {UINT('3'), UINT('0'), UINT(VK_NUMPAD1)}) drv::queueKey(key, "MAINDIALOG");
  drv::queueKey(VK_RETURN, "MAINDIALOG");
  click(kOk);
  run(host);
  EXPECT_EQ(host.parameters.settings.printWidth, 301);
  EXPECT_EQ(host.parameters.settings.printHeight, 150);
}

// A document whose natural print size is about 1200 x 800 mm, printed at 600 x 400 with Image
// Width at its highest position: the large poster distance proposes the natural size and lets
// both fields run to 4000.
TEST_F(MainDialogTest, EyeDistanceLargePosterRaisesThePrintSizeAndItsRange) {
  PreviewHost host(1200, 800);
  host.record.imageHRes = host.record.imageVRes = Fixed(25.4 * 65536);
  host.parameters.settings.printWidth = 600;
  host.parameters.settings.printHeight = 400;
  drv::queueMouse(WM_LBUTTONDOWN, 140, 257, "MAINDIALOG");  // opens the picture list
  drv::queueMouse(WM_MOUSEMOVE, 15, 4 * 15 + 8);
  drv::queueMouse(WM_LBUTTONUP, 15, 4 * 15 + 8);  // Large Poster
  SharpenSettings proposed{};
  look([&] { proposed = host.parameters.settings; });
  click(kWidthNumber);
  for (UINT key : {UINT('3'), UINT('0'), UINT('0'), UINT('0')}) drv::queueKey(key, "MAINDIALOG");
  drv::queueKey(VK_RETURN, "MAINDIALOG");
  click(kOk);
  run(host);
  float naturalWidth = naturalPrintSize(1200, host.record.imageHRes);
  float naturalHeight = naturalPrintSize(800, host.record.imageVRes);
  EXPECT_EQ(host.parameters.settings.eyeDistance, 5);
  EXPECT_EQ(host.parameters.settings.printWidth, 3000);
  EXPECT_EQ(host.parameters.settings.printHeight, 2000);
  EXPECT_EQ(proposed.printWidth, int32(naturalWidth));
  EXPECT_EQ(proposed.printHeight, int32(naturalHeight));
  EXPECT_NEAR(naturalWidth, 1200.0f, 0.5f);
  EXPECT_NEAR(naturalHeight, 800.0f, 0.5f);
}

TEST_F(MainDialogTest, EscapeFirstLeavesAFocusedFieldThenCancels) {
  PreviewHost host(640, 480);
  bool openAfterFirst = false;
  click(kWidthNumber);
  drv::queueKey(VK_ESCAPE, "MAINDIALOG");
  look([&] { openAfterFirst = dialog() != nullptr && drv::activeDialog() == dialog(); });
  drv::queueKey(VK_ESCAPE, "MAINDIALOG");
  EXPECT_EQ(run(host), 2);
  EXPECT_TRUE(openAfterFirst);
  EXPECT_FALSE(confirmed);
}

TEST_F(MainDialogTest, HelpOpensBesideTheDialogAndGoesWithIt) {
  PreviewHost host(640, 480);
  click(kHelp);
  click(kHelp);
  drv::queueClick(437, 333, "HELPDIALOG");
  drv::queueClick(437, 333, "HELPDIALOG");
  int page = 0, windows = 0;
  look([&] {
    page = open().help.page;
    windows = drv::liveWindows();
  });
  click(kOk);
  run(host);
  EXPECT_EQ(page, 3);
  EXPECT_EQ(windows, 2);
  EXPECT_EQ(helpWindow, nullptr);
  expectNothingLeft();
}

TEST_F(MainDialogTest, SavedSettingsLoadBack) {
  std::string path = drv::artifactsDirectory() + "/dialog_session.orv";
  std::remove(path.c_str());
  PreviewHost host(640, 480);
  drv::queueFileName(path);
  click(kSave);
  drv::queueClick(17 + 185, kPrinterY, "MAINDIALOG");
  drv::queueFileName(path);
  click(kLoad);
  click(kOk);
  run(host);
  EXPECT_EQ(host.parameters.settings.printerResolution, 4);
  EXPECT_TRUE(drv::messageBoxes().empty());
  std::remove(path.c_str());
}

TEST_F(MainDialogTest, ARefusedFetchLeavesThePaneWhiteAndTheDialogUsable) {
  PreviewHost host(640, 480);
  host.refuse = true;
  COLORREF centre = 0;
  std::string before, after;
  look([&] {
    centre = drv::pixel(dialog(), kPaneCentre.x, kPaneCentre.y);
    before = status(0);
  });
  click(kZoomOut);
  drv::queueClick(17 + 185, kPrinterY, "MAINDIALOG");
  look([&] { after = status(0); });
  click(kOk);
  EXPECT_EQ(run(host), 1);
  EXPECT_EQ(centre, RGB(255, 255, 255));
  EXPECT_NE(before.find("Real Resolution Index"), std::string::npos);
  EXPECT_NE(before, after);
  EXPECT_EQ(zoom, 4);
  EXPECT_EQ(host.parameters.settings.printerResolution, 11);
  expectNothingLeft();
}

TEST_F(MainDialogTest, TheVKeyShowsTheBuildDateAndReachesTheControls) {
  PreviewHost host(640, 480);
  int white = 0;
  drv::queueKey('V', "MAINDIALOG");
  look([&] {
    for (int y = 10; y < 24; ++y)
      for (int x = 400; x < 480; ++x) white += drv::pixel(dialog(), x, y) == RGB(255, 255, 255);
  });
  click(kOk);
  run(host);
  EXPECT_GT(white, 20);
  EXPECT_EQ(host.parameters.settingsTouched, 1);
}

// A failure while the dialog handles a message (the host's display throwing as the preview is
// painted) abandons the dialog: Start, called as a host calls it, reports out of memory with no
// tile requested and nothing of the dialog left alive.
TEST_F(MainDialogTest, AnExceptionInsideTheDialogEndsStartOutOfMemory) {
  PreviewHost host(640, 480);
  host.throwOnDisplay = true;
  intptr_t data = 0;
  int16 result = 0;
  for (int16 selector : {filterSelectorParameters, filterSelectorPrepare}) {
    ENTRYPOINT(selector, &host.record, &data, &result);
    ASSERT_EQ(result, noErr);
  }
  click(kOk);
  ENTRYPOINT(filterSelectorStart, &host.record, &data, &result);
  EXPECT_EQ(result, memFullErr);
  EXPECT_EQ(host.record.outRect.bottom, 0);
  EXPECT_EQ(host.record.inRect.right, 0);
  EXPECT_TRUE(drv::messageBoxes().empty());
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_EQ(drv::liveWindows(), 0);
  EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 0);
  EXPECT_EQ(drv::liveObjects(drv::Object::Font), 0);
}

}  // namespace
