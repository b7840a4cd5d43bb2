#ifdef _WIN32
#include "hostapp/watchdog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr UINT kExitOnTimeout = 3;

struct Listing {
  std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM listing) {
  if (IsWindowVisible(window)) reinterpret_cast<Listing*>(listing)->windows.push_back(window);
  return TRUE;
}

std::string describe(HWND window) {
  char title[128] = "";
  char kind[64] = "";
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, kind, sizeof kind);
  return std::string("class \"") + kind + "\", title \"" + title + "\"";
}

}  // namespace

Watchdog::~Watchdog() {
  stop();
  if (lockReady_) DeleteCriticalSection(&lock_);
}

bool Watchdog::start(DWORD uiThread, int seconds, Expected expected) {
  if (thread_) return false;
  if (!lockReady_) InitializeCriticalSection(&lock_);
  lockReady_ = true;
  uiThread_ = uiThread;
  milliseconds_ = DWORD(seconds) * 1000;
  expected_ = std::move(expected);
  stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stopEvent_) return false;
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
  return thread_ != nullptr;
}

void Watchdog::stop() {
  if (thread_) {
    SetEvent(stopEvent_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (stopEvent_) CloseHandle(stopEvent_);
  stopEvent_ = nullptr;
}

bool Watchdog::failed() const { return !report().empty(); }

std::vector<std::string> Watchdog::report() const {
  if (!lockReady_) return {};
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = report_;
  LeaveCriticalSection(&lock_);
  return copy;
}

DWORD WINAPI Watchdog::run(LPVOID self) {
  static_cast<Watchdog*>(self)->watch();
  return 0;
}

void Watchdog::watch() {
  DWORD waited = 0;
  while (WaitForSingleObject(stopEvent_, kPollMilliseconds) == WAIT_TIMEOUT) {
    checkWindows();
    waited += kPollMilliseconds;
    if (waited >= milliseconds_) {
      note("no window closed within " + std::to_string(milliseconds_ / 1000) + " seconds");
      for (const std::string& line : report()) std::fprintf(stderr, "watchdog: %s\n", line.c_str());
      std::fflush(stderr);
      ExitProcess(kExitOnTimeout);
    }
  }
}

void Watchdog::checkWindows() {
  Listing listing;
  EnumThreadWindows(uiThread_, collectWindow, reinterpret_cast<LPARAM>(&listing));
  for (HWND window : listing.windows) {
    if (expected_(window)) continue;
    if (std::find(refused_.begin(), refused_.end(), window) == refused_.end()) {
      refused_.push_back(window);
      note("unexpected window: " + describe(window));
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
}

void Watchdog::note(const std::string& line) {
  EnterCriticalSection(&lock_);
  report_.push_back(line);
  LeaveCriticalSection(&lock_);
}
#endif
