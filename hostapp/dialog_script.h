// Windows only: the scripted test modes of inkjet-host.exe. A script player drives a dialog the
// module opens, from a second thread, the way a user would: it waits for the dialog's window,
// takes screenshots of it and sends it keys and clicks; a Watchdog (hostapp/watchdog.h) fails
// the run if another window shows up or nothing closes.
//
// Contract: steps (hostapp/dialog_script_format.h) are played in order against the first
// visible window of the user-interface thread that the target predicate accepts; input is
// posted as the system would post it (to the capture window or the window under the point,
// in its client coordinates) and each step waits until the dialog's thread has taken it. A
// screenshot repaints and saves the client area (with windows over it) as .png, or through
// imagefiles for other extensions. report() lists what could not be done; it is empty after
// a clean run.
#pragma once

#ifdef _WIN32
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "hostapi/entry_point.h"
#include "hostapp/dialog_script_format.h"
#include "platform/win32.h"

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
  void postMouse(HWND dialog, const ScriptStep& step);
  void postKey(HWND dialog, UINT key);
  bool waitUntilTaken(HWND dialog);
  void screenshot(HWND dialog, const ScriptStep& step);

  HANDLE thread_ = nullptr;
  DWORD uiThread_ = 0;
  Target target_;
  std::vector<ScriptStep> steps_;
  std::vector<std::string> report_;
  bool played_ = false;
  bool leftDown_ = false;
};

// Saves the client area of a window as an image file; false with a message in `error`.
bool saveWindowImage(HWND window, const std::string& path, std::string& error);

// The --about mode: runs the About selector; the player screenshots the About window (when
// `screenshotPath` is not empty) and closes it with a key. Returns 0 when the window appeared,
// was closed by the key and nothing else showed; 1 otherwise, with the reasons on `err`.
int runScriptedAbout(FilterEntryProc entry, const std::string& screenshotPath, std::ostream& out,
                     std::ostream& err);

struct ScriptedDialogRun {
  std::string input, output;  // both empty: a generated 900 x 600 RGB picture, nothing written
  std::string script;         // empty: screenshot (when asked) and press OK
  std::string screenshot;
};

// The --dialog mode: a filter run with the main dialog on the picture, played by the script.
// On success prints the settings the run recorded as the inkjet command line's options and
// writes the result to `output`. Returns 0 when the dialog appeared, the script played, the
// run succeeded (OK) and nothing unexpected showed; 1 otherwise; 2 for a bad script.
int runScriptedDialog(FilterEntryProc entry, const ScriptedDialogRun& run, std::ostream& out,
                      std::ostream& err);
#endif
