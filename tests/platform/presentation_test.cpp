// The presentation hooks a host uses to show the stand-in's windows and feed them real input.
#include "platform/dialog_templates.h"
#include "platform/presentation.h"
#include "platform_fixture.h"

#include <string>
#include <vector>

namespace drv = platform::driver;
namespace pres = platform::presentation;

namespace {

const bool templateDeclared = platform::registerDialogTemplate("HOOKDIALOG", 20, 10, 40, 30,
                                                               WS_POPUP | WS_BORDER | DS_SETFONT);

INT_PTR CALLBACK endOnLeftUp(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_LBUTTONUP) EndDialog(window, 5);
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetPixel(dc, 1, 2, RGB(10, 20, 30));
    EndPaint(window, &paint);
  }
  return 1;
}

class Presentation : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    ASSERT_TRUE(templateDeclared);
  }
};

}  // namespace

// The source is asked only when the queue is empty, sees the painted window, and its input
// drives the dialog to its end.
TEST_F(Presentation, InputSourceFeedsAStarvedModalLoopWithTheWindowPainted) {
  std::vector<pres::WindowView> seen;
  COLORREF painted = CLR_INVALID;  // the pixels live only as long as the window
  int calls = 0;
  pres::setInputSource([&] {
    ++calls;
    seen = pres::visibleWindows();
    if (seen.size() == 1) painted = seen[0].pixels[2 * seen[0].width + 1];
    drv::queueClick(3, 4);
    return true;
  });
  drv::queueMouse(WM_MOUSEMOVE, 1, 1);
  EXPECT_EQ(DialogBoxParamA(nullptr, "HOOKDIALOG", nullptr, endOnLeftUp, 0), 5);
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(seen.size(), 1u);
  const pres::WindowView& view = seen[0];
  EXPECT_EQ(view.templateName, "HOOKDIALOG");
  EXPECT_TRUE(view.modal);
  EXPECT_EQ(view.owner, nullptr);
  EXPECT_EQ(view.width, view.client.right - view.client.left);
  EXPECT_EQ(view.height, view.client.bottom - view.client.top);
  EXPECT_EQ(painted, RGB(10, 20, 30));
  EXPECT_TRUE(drv::failures().empty());
}

TEST_F(Presentation, InputSourceThatGivesUpEndsTheDialogAsAFailure) {
  pres::setInputSource([] { return false; });
  EXPECT_EQ(DialogBoxParamA(nullptr, "HOOKDIALOG", nullptr, endOnLeftUp, 0), -1);
  ASSERT_EQ(drv::failures().size(), 1u);
  EXPECT_NE(drv::failures()[0].find("input source"), std::string::npos);
}

// Tests never inherit a host's hooks: the starvation rule holds again after a reset.
TEST_F(Presentation, ResetUnsetsEveryHook) {
  pres::setInputSource([] {
    ADD_FAILURE() << "a reset input source was called";
    return false;
  });
  pres::setMessageBoxHandler(
      [](HWND, const std::string&, const std::string&, UINT) { return IDNO; });
  pres::setFileDialogHandler([](const pres::FileRequest&, std::string*) { return true; });
  drv::reset();
  EXPECT_EQ(DialogBoxParamA(nullptr, "HOOKDIALOG", nullptr, endOnLeftUp, 0), -1);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "q", MB_YESNO), IDYES);
  char file[64] = "";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  EXPECT_FALSE(GetOpenFileNameA(&dialog));
  EXPECT_EQ(drv::failures().size(), 2u);  // the starved loop and the unanswered file dialog
}

TEST_F(Presentation, HandlersAnswerMessageBoxesAndFileDialogsWhichAreStillRecorded) {
  std::string text, caption;
  pres::setMessageBoxHandler([&](HWND, const std::string& t, const std::string& c, UINT) {
    text = t;
    caption = c;
    return IDNO;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Replace it?", nullptr, MB_YESNO), IDNO);
  EXPECT_EQ(text, "Replace it?");
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(drv::messageBoxes().size(), 1u);

  struct Case {
    bool cancel;
    const char* answer;
    BOOL result;
    const char* file;
  };
  const Case cases[] = {{false, "/tmp/look", TRUE, "/tmp/look.ijs"}, {true, "", FALSE, ""}};
  for (const Case& c : cases) {
    pres::FileRequest seen;
    pres::setFileDialogHandler([&](const pres::FileRequest& request, std::string* path) {
      seen = request;
      *path = c.answer;
      return !c.cancel;
    });
    char file[64] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrFilter = "Settings (*.ijs)\0*.ijs\0All files\0*.*\0";
    dialog.lpstrDefExt = "ijs";
    dialog.lpstrTitle = "Save settings";
    EXPECT_EQ(GetSaveFileNameA(&dialog), c.result);
    EXPECT_STREQ(file, c.file);
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.title, "Save settings");
    EXPECT_EQ(seen.defaultExtension, "ijs");
    ASSERT_EQ(seen.filters.size(), 2u);
    EXPECT_EQ(seen.filters[1].second, "*.*");
  }
  EXPECT_EQ(drv::fileDialogs().size(), 2u);
  EXPECT_TRUE(drv::failures().empty());
}
