// Windows only: the scripted test modes of inkjet-host.exe. A script player drives a dialog the
// module opens, from a second thread, the way a user would: it waits for the dialog's window,
// takes screenshots of it and sends it keys and clicks; a Watchdog (hostapp/watchdog.h) fails
// the run if another window shows up or nothing closes.
//
// Contract: steps are played in order against the first visible window of the user-interface
// thread that the target predicate accepts; keys and clicks are posted (the dialog handles them
// in its own modal loop); a screenshot repaints the window's client area and saves it through
// hostapp/files (the extension picks the format, BMP on Windows). Coordinates are client
// pixels. report() lists what could not be done; it is empty after a clean run.
#pragma once

#ifdef _WIN32
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "hostapi/entry_point.h"
#include "platform/win32.h"

struct ScriptStep {
  enum class Action { Screenshot, Key, Click };
  Action action;
  UINT key;          // Key: the virtual key
  int x, y;          // Click: the left button at this client point
  std::string path;  // Screenshot: the image file to write
};

class DialogScript {
 public:
  using Target = std::function<bool(HWND window)>;

  DialogScript() = default;
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  bool start(DWORD uiThread, Target target, std::vector<ScriptStep> steps);
  // Waits for the player; true when every step was played.
  bool finish();
  const std::vector<std::string>& report() const { return report_; }

 private:
  static DWORD WINAPI run(LPVOID self);
  void play();
  HWND waitForTarget();
  void playStep(HWND window, const ScriptStep& step);

  HANDLE thread_ = nullptr;
  DWORD uiThread_ = 0;
  Target target_;
  std::vector<ScriptStep> steps_;
  std::vector<std::string> report_;
  bool played_ = false;
};

// Saves the client area of a window as an image file; false with a message in `error`.
bool saveWindowImage(HWND window, const std::string& path, std::string& error);

// The --about mode: runs the About selector; the player screenshots the About window (when
// `screenshotPath` is not empty) and closes it with a key. Returns 0 when the window appeared,
// was closed by the key and nothing else showed; 1 otherwise, with the reasons on `err`.
int runScriptedAbout(FilterEntryProc entry, const std::string& screenshotPath, std::ostream& out,
                     std::ostream& err);

// The --dialog mode: a filter run with the main dialog on a generated 900 x 600 RGB picture; the
// player screenshots the dialog and presses OK. Returns 0 when the dialog appeared, OK ended it,
// the run succeeded and nothing else showed; 1 otherwise.
int runScriptedDialog(FilterEntryProc entry, const std::string& screenshotPath,
                      std::ostream& out, std::ostream& err);
#endif
