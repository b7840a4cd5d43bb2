// Windows only: the guard of the host's test modes. A thread that watches the visible top-level
// windows of the user-interface thread while a dialog runs, so a scripted run can never hang or
// quietly click through something nobody expected.
//
// Contract: every window the `expected` predicate rejects (a failure message box, a stray
// dialog) is recorded and asked to close; when the deadline passes before stop(), the watchdog
// records that too and ends the process with exit code 3, because a modal loop that nobody
// closes would otherwise wait for ever. The predicate runs on the watchdog's thread.
// report() lists what went wrong, one line each; it is empty after a clean run.
#pragma once

#ifdef _WIN32
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

class Watchdog {
 public:
  using Expected = std::function<bool(HWND window)>;

  Watchdog() = default;
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Starts watching the windows of `uiThread` for at most `seconds`.
  bool start(DWORD uiThread, int seconds, Expected expected);
  // Stops watching and waits for the thread; safe to call twice.
  void stop();

  bool failed() const;
  std::vector<std::string> report() const;

 private:
  static DWORD WINAPI run(LPVOID self);
  void watch();
  void checkWindows();
  void note(const std::string& line);

  HANDLE thread_ = nullptr;
  HANDLE stopEvent_ = nullptr;
  DWORD uiThread_ = 0;
  DWORD milliseconds_ = 0;
  Expected expected_;
  mutable CRITICAL_SECTION lock_;
  bool lockReady_ = false;
  std::vector<std::string> report_;
  std::vector<HWND> refused_;
};
#endif
