// Dialogs, modal loops, input delivery, message boxes and file dialogs.
#include "platform/dialog_templates.h"
#include "platform_fixture.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace drv = platform::driver;

namespace {

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Received> received;
// What the test dialog does with a message beyond recording it; returns the procedure's answer.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> behaviour;

INT_PTR CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back({window, message, wParam, lParam});
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
  }
  return behaviour ? behaviour(window, message, wParam, lParam) : 0;
}

// The received messages that are among `wanted`, in order.
std::vector<UINT> messagesAmong(std::initializer_list<UINT> wanted) {
  std::vector<UINT> found;
  for (const Received& r : received)
    if (std::find(wanted.begin(), wanted.end(), r.message) != wanted.end())
      found.push_back(r.message);
  return found;
}

const bool templatesDeclared =
    platform::registerDialogTemplate("TESTDIALOG", 100, 80, WS_POPUP | WS_BORDER | DS_SETFONT) &&
    platform::registerDialogTemplate("TESTPOPUP", 0, 0, WS_POPUP | WS_BORDER);

class Dialogs : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    ASSERT_TRUE(templatesDeclared);
    received.clear();
    behaviour = nullptr;
  }
};

// Ends the dialog with `result` when the left button is released.
INT_PTR endOnLeftUp(INT_PTR result, HWND window, UINT message) {
  if (message == WM_LBUTTONUP) EndDialog(window, result);
  return 1;
}

}  // namespace

TEST_F(Dialogs, UnknownTemplateFailsAsWindowsDoes) {
  EXPECT_EQ(DialogBoxParamA(nullptr, "NO_SUCH_DIALOG", nullptr, recordingProc, 0), -1);
  EXPECT_EQ(CreateDialogParamA(nullptr, "NO_SUCH_DIALOG", nullptr, recordingProc, 0), nullptr);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, recordingProc, 0), -1);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(drv::liveWindows(), 0);
}

TEST_F(Dialogs, ModuleTemplatesComeFromItsResourceScript) {
  for (const char* name : {"MAINDIALOG", "HELPDIALOG", "ABOUTDIALOG", "POPUP1", "POPUP2"}) {
    SCOPED_TRACE(name);
    HWND dialog = CreateDialogParamA(nullptr, name, nullptr, recordingProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(GetWindowLongA(dialog, GWL_STYLE) & WS_POPUP, 0);
    DestroyWindow(dialog);
  }
  HWND main = CreateDialogParamA(nullptr, "MAINDIALOG", nullptr, recordingProc, 0);
  RECT client;
  GetClientRect(main, &client);
  // 330 x 195 dialog units in "MS Sans Serif" 8, rounded to the nearest pixel.
  EXPECT_EQ(client.right, 495);
  EXPECT_EQ(client.bottom, 317);
}

TEST_F(Dialogs, ModalLoopInitialisesPaintsDeliversAndEnds) {
  behaviour = [](HWND w, UINT m, WPARAM, LPARAM) { return endOnLeftUp(7, w, m); };
  drv::queueClick(12, 34);
  EXPECT_EQ(DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0x5150), 7);
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.front().message, UINT(WM_INITDIALOG));
  EXPECT_EQ(received.front().lParam, 0x5150);
  EXPECT_EQ(messagesAmong({WM_PAINT, WM_LBUTTONDOWN, WM_DESTROY}),
            (std::vector<UINT>{WM_PAINT, WM_LBUTTONDOWN, WM_DESTROY}));
  for (const Received& r : received)
    if (r.message == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 12);
      EXPECT_EQ(GET_Y_LPARAM(r.lParam), 34);
      EXPECT_EQ(r.wParam, WPARAM(MK_LBUTTON));
    }
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_EQ(drv::liveWindows(), 0);
}

TEST_F(Dialogs, StarvedModalLoopEndsTheDialogAsAFailure) {
  drv::queueClick(1, 1);  // does not end the dialog
  EXPECT_EQ(DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0), -1);
  ASSERT_EQ(drv::failures().size(), 1u);
  EXPECT_NE(drv::failures()[0].find("TESTDIALOG"), std::string::npos);
  EXPECT_EQ(received.back().message, UINT(WM_DESTROY));
  EXPECT_EQ(drv::liveWindows(), 0);
}

TEST_F(Dialogs, InvalidatedWindowIsRepaintedBeforeTheNextInput) {
  behaviour = [](HWND w, UINT m, WPARAM, LPARAM) {
    if (m == WM_LBUTTONDOWN) InvalidateRect(w, nullptr, FALSE);
    return endOnLeftUp(1, w, m);
  };
  drv::queueClick(5, 5);
  DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0);
  EXPECT_EQ(messagesAmong({WM_PAINT, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_PAINT, WM_LBUTTONDOWN, WM_PAINT, WM_LBUTTONUP}));
}

TEST_F(Dialogs, DialogManagerTurnsEnterEscapeAndTabIntoCommands) {
  struct Case {
    UINT key;
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {{VK_RETURN, WM_COMMAND, IDOK},
                        {VK_ESCAPE, WM_COMMAND, IDCANCEL},
                        {VK_TAB, WM_NEXTDLGCTL, 0},
                        {'V', WM_KEYDOWN, 'V'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    received.clear();
    behaviour = [](HWND w, UINT m, WPARAM, LPARAM) {
      if (m == WM_KEYUP) EndDialog(w, 1);
      return INT_PTR(1);
    };
    drv::queueKey(c.key);
    EXPECT_EQ(DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0), 1);
    bool seen = false;
    for (const Received& r : received)
      seen = seen || (r.message == c.message && r.wParam == c.wParam);
    EXPECT_TRUE(seen);
  }
}

TEST_F(Dialogs, NestedPopupRunsItsOwnLoopAndGetsItsOwnInput) {
  static INT_PTR popupResult = 0;
  behaviour = [](HWND w, UINT m, WPARAM, LPARAM) -> INT_PTR {
    bool inPopup = w == drv::findWindow("TESTPOPUP");
    if (m == WM_LBUTTONDOWN && !inPopup)
      popupResult = DialogBoxParamA(nullptr, "TESTPOPUP", w, recordingProc, 0);
    if (m == WM_LBUTTONUP) EndDialog(w, inPopup ? 3 : 4);
    return 1;
  };
  drv::queueMouse(WM_LBUTTONDOWN, 10, 10);  // opens the popup
  drv::queueClick(2, 2);                    // taken by the popup, ends it
  drv::queueMouse(WM_LBUTTONUP, 10, 10);    // back in the main dialog
  EXPECT_EQ(DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0), 4);
  EXPECT_EQ(popupResult, 3);
  EXPECT_TRUE(drv::failures().empty());
}

TEST_F(Dialogs, MouseGoesToTheCaptureInItsOwnCoordinates) {
  behaviour = [](HWND w, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) MoveWindow(w, 100, 100, 50, 50, TRUE);
    if (m == WM_LBUTTONDOWN) SetCapture(w);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    if (m == WM_RBUTTONUP) EndDialog(w, 1);
    return 1;
  };
  HWND other = CreateDialogParamA(nullptr, "TESTPOPUP", nullptr, recordingProc, 0);
  MoveWindow(other, 300, 200, 40, 40, FALSE);
  drv::queueMouse(WM_LBUTTONDOWN, 5, 5);
  drv::queueMessageTo(other, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));  // captured: reaches the dialog
  drv::queueMouse(WM_LBUTTONUP, 5, 5);
  drv::queueMessageTo(other, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));  // released: reaches `other`
  drv::queueRightClick(0, 0);
  DialogBoxParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0);
  std::vector<Received> moves;
  for (const Received& r : received)
    if (r.message == WM_MOUSEMOVE) moves.push_back(r);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_NE(moves[0].window, other);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 300 + 1 - 100);  // popup at 300 has a 1-pixel border
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 200 + 2 - 100);
  EXPECT_EQ(moves[1].window, other);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Dialogs, DestroyingAnOwnerDestroysWhatItOwnsFirst) {
  HWND owner = CreateDialogParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0);
  HWND owned = CreateDialogParamA(nullptr, "TESTPOPUP", owner, recordingProc, 0);
  received.clear();
  EXPECT_TRUE(DestroyWindow(owner));
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].window, owned);
  EXPECT_EQ(received[1].window, owner);
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_FALSE(DestroyWindow(owner));
  EXPECT_EQ(drv::liveWindows(), 0);
}

TEST_F(Dialogs, ModelessWindowTakesInputByTemplateName) {
  HWND help = CreateDialogParamA(nullptr, "TESTPOPUP", nullptr, recordingProc, 0);
  ShowWindow(help, SW_SHOW);
  drv::queueClick(3, 4, "TESTPOPUP");
  drv::queueClick(3, 4, "NOT_OPEN");
  drv::deliverAll();
  EXPECT_EQ(messagesAmong({WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(drv::failures().size(), 2u);  // both halves of the click for the missing window
}

TEST_F(Dialogs, MessageBoxesAreRecordedAndAnswered) {
  EXPECT_EQ(MessageBoxA(nullptr, "dialog failure", "orv Brindlecraft 1.02", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Replace?", nullptr, MB_YESNO), IDYES);
  drv::queueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OKCANCEL), IDCANCEL);
  const auto& boxes = drv::messageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "dialog failure");
  EXPECT_EQ(boxes[0].caption, "orv Brindlecraft 1.02");
  EXPECT_EQ(boxes[1].caption, "Error");
  EXPECT_EQ(boxes[2].type, UINT(MB_OKCANCEL));
}

TEST_F(Dialogs, FileDialogsTakeQueuedAnswers) {
  char file[32] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "Settings (*.orv)\0*.orv\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = "orv";
  drv::queueFileName("/tmp/print");
  drv::queueFileCancel();
  drv::queueFileName("/tmp/a-name-much-too-long-for-the-buffer.orv");
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ(file, "/tmp/print.orv");
  EXPECT_EQ(ofn.nFileOffset, 5);
  EXPECT_EQ(ofn.nFileExtension, 11);
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file, "/tmp/print.orv");  // untouched by the cancel and the failure
  EXPECT_TRUE(drv::failures().empty());
  EXPECT_FALSE(GetOpenFileNameA(&ofn));  // nothing queued
  ASSERT_EQ(drv::fileDialogs().size(), 4u);
  EXPECT_TRUE(drv::fileDialogs()[0].save);
  EXPECT_EQ(drv::fileDialogs()[0].filter, "Settings (*.orv)|*.orv");
  EXPECT_EQ(drv::failures().size(), 1u);
}

TEST_F(Dialogs, WindowPlacementStyleAndMetrics) {
  drv::setScreenSize(800, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  HWND w = CreateDialogParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0);
  SetWindowLongA(w, GWL_STYLE, 0);
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE), 0);
  EXPECT_TRUE(MoveWindow(w, 150, 90, 500, 420, TRUE));
  RECT r, client;
  GetWindowRect(w, &r);
  GetClientRect(w, &client);
  EXPECT_EQ(r.left, 150);
  EXPECT_EQ(r.bottom, 510);
  // Without a border the client area is the whole window once it has been moved.
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 420);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_FALSE(ShowWindow(w, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(w));
}

// A dialog opens where Windows puts it: its client area at the template's position counted from
// the owner's client origin, pushed back onto the screen when it would stick out.
TEST_F(Dialogs, DialogsOpenAtTheirTemplatePositionFromTheOwnersClientArea) {
  static const bool declared =
      platform::registerDialogTemplate("PLACED", 8, 16, 20, 20, WS_POPUP | WS_BORDER) &&
      platform::registerDialogTemplate("PLACEDBARE", 8, 16, 20, 20, WS_POPUP) &&
      platform::registerDialogTemplate("PLACEDABS", 8, 16, 20, 20,
                                       WS_POPUP | WS_BORDER | DS_ABSALIGN) &&
      platform::registerDialogTemplate("PLACEDFAR", 2000, 2000, 20, 20, WS_POPUP | WS_BORDER) &&
      platform::registerDialogTemplate("PLACEDBEFORE", -40, -40, 20, 20, WS_POPUP | WS_BORDER) &&
      platform::registerDialogTemplate("PLACEDCENTRE", 8, 16, 20, 20,
                                       WS_POPUP | WS_BORDER | DS_CENTER);
  ASSERT_TRUE(declared);
  // The owner's client area starts at (101, 51): a one-pixel border around it.
  HWND owner = CreateDialogParamA(nullptr, "TESTDIALOG", nullptr, recordingProc, 0);
  ASSERT_TRUE(MoveWindow(owner, 100, 50, 300, 200, FALSE));
  // 20 x 20 units are 40 x 40 pixels of client area; 8, 16 units are 16, 32 pixels.
  const struct {
    const char* name;
    bool owned;
    LONG left, top;  // of the window rectangle; 42 x 42 with the border
  } cases[] = {
      {"PLACED", true, 101 + 16 - 1, 51 + 32 - 1},
      {"PLACEDBARE", true, 101 + 16, 51 + 32},
      {"PLACEDABS", true, 16 - 1, 32 - 1},
      {"PLACED", false, 16 - 1, 32 - 1},
      {"PLACEDFAR", true, 1280 - 42 - 3, 1024 - 42 - 3},
      {"PLACEDBEFORE", true, 101 - 80 - 1, 0},
      {"PLACEDCENTRE", true, (1280 - 42) / 2, (1024 - 42) / 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.owned ? " owned" : " without owner"));
    HWND dialog = CreateDialogParamA(nullptr, c.name, c.owned ? owner : nullptr, recordingProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, c.left);
    EXPECT_EQ(r.top, c.top);
    EXPECT_EQ(r.right - r.left, (GetWindowLongA(dialog, GWL_STYLE) & WS_BORDER) ? 42 : 40);
    DestroyWindow(dialog);
  }
  DestroyWindow(owner);
}

TEST_F(Dialogs, VirtualKeysMapToUnshiftedCharacters) {
  const std::pair<UINT, UINT> cases[] = {
      {'5', '5'},           {'V', 'V'},         {VK_NUMPAD7, '7'}, {VK_OEM_COMMA, ','},
      {VK_OEM_PERIOD, '.'}, {VK_SUBTRACT, '-'}, {VK_BACK, 8},      {VK_RETURN, 13},
      {VK_SHIFT, 0},        {VK_LEFT, 0}};
  for (auto [key, character] : cases)
    EXPECT_EQ(MapVirtualKeyA(key, MAPVK_VK_TO_CHAR), character) << key;
}
