// The test driver of the native stand-in: what tests use to steer and observe the Windows
// calls the module makes. Natively only.
//
// Input is queued before the code under test opens its dialog; each modal loop takes it in
// order, painting whatever is invalid before every message. Coordinates are client
// coordinates of the target window: by default the innermost dialog whose modal loop is
// running when the message is taken, or the most recent live window made from the named
// template. A modal loop that finds the queue empty ends its dialog with -1 and records a
// failure; failures() lists these and other unexpected events (an unanswered file dialog,
// input for a window that does not exist). reset() returns everything to the initial state:
// windows, GDI objects, device contexts and global memory still alive are freed, queues and
// records are emptied, the screen is 1280 x 1024; declared dialog templates stay.
#pragma once

#include "platform/win32.h"

#include <functional>
#include <string>
#include <vector>

namespace platform::driver {

void reset();
void setScreenSize(int width, int height);

// Input for the next modal loops.
void queueMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& window = "");
void queueMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A mouse message; wParam carries the buttons held down, as queued so far.
void queueMouse(UINT message, int x, int y, const std::string& window = "");
void queueClick(int x, int y, const std::string& window = "");       // left down and up
void queueRightClick(int x, int y, const std::string& window = "");  // right down and up
void queueKey(UINT virtualKey, const std::string& window = "");      // key down and up
// Runs a function when its turn comes, e.g. to look at a window while its dialog is open.
void queueCall(std::function<void()> call);
size_t pendingInput();
// Delivers queued input outside any modal loop (to modeless windows), painting first.
void deliverAll();
// Sends WM_PAINT to every visible window that has an invalid area.
void paintPending();

// Windows and what went wrong.
HWND findWindow(const std::string& templateName);  // the most recent live one, or null
HWND activeDialog();                               // innermost running modal dialog, or null
int liveWindows();
HWND createWindow(int width, int height);  // a visible plain window at (0, 0) without procedure
RECT invalidArea(HWND window);             // empty when the window is valid
const std::vector<std::string>& failures();

// Message boxes: recorded; answered with the queued answers, then with the first button.
struct RecordedMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};
const std::vector<RecordedMessageBox>& messageBoxes();
void queueMessageBoxAnswer(int answer);

// File dialogs: each takes the next queued answer.
struct FileDialog {
  bool save;
  HWND owner;
  std::string title;
  std::string filter;  // the filter pairs joined with '|'
  std::string defaultExtension;
};
void queueFileName(const std::string& path);
void queueFileCancel();
const std::vector<FileDialog>& fileDialogs();

// Global memory: after `skip` successful allocations, the next `count` fail.
void failAllocations(int skip, int count = 1);
int liveGlobalBlocks();

// Leak checks: live objects the code created (stock objects are not counted).
enum class Object { Bitmap, Pen, Brush, Font, Region, DeviceContext };
int liveObjects(Object kind);
int liveObjects();

// Pictures.
COLORREF pixel(HWND window, int x, int y);  // CLR_INVALID outside the client area
COLORREF bitmapPixel(HBITMAP bitmap, int x, int y);
// Makes a bitmap from rows of COLORREF, top row first; the caller deletes it.
HBITMAP createBitmap(int width, int height, const COLORREF* pixels);
std::string artifactsDirectory();
// Saves the client area as build/artifacts/<fileName>; returns the path, empty on failure.
std::string savePng(HWND window, const std::string& fileName);
std::string savePng(HBITMAP bitmap, const std::string& fileName);

}  // namespace platform::driver
