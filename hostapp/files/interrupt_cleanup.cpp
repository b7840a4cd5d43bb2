#include "hostapp/files/interrupt_cleanup.h"

#ifdef _WIN32

InterruptCleanup::InterruptCleanup() = default;
InterruptCleanup::~InterruptCleanup() = default;
void InterruptCleanup::watch(const std::string&) {}

#else

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);

// Only async-signal-safe work in the handler: the path is copied in before it is armed.
char watchedPath[4096];
volatile sig_atomic_t watching = 0;
struct sigaction previous[kSignalCount];

extern "C" void removeWatchedAndEnd(int signal) {
  if (watching) unlink(watchedPath);
  // SA_RESETHAND put the default action back; the signal, blocked during this handler,
  // is delivered again as soon as it returns and ends the program.
  raise(signal);
}

}  // namespace

InterruptCleanup::InterruptCleanup() {
  struct sigaction action = {};
  action.sa_handler = removeWatchedAndEnd;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int index = 0; index < kSignalCount; ++index) {
    sigaction(kSignals[index], nullptr, &previous[index]);
    if (previous[index].sa_handler != SIG_IGN) sigaction(kSignals[index], &action, nullptr);
  }
}

InterruptCleanup::~InterruptCleanup() {
  for (int index = 0; index < kSignalCount; ++index) {
    sigaction(kSignals[index], &previous[index], nullptr);
  }
  watching = 0;
}

void InterruptCleanup::watch(const std::string& path) {
  watching = 0;
  if (path.size() >= sizeof(watchedPath)) return;
  std::memcpy(watchedPath, path.c_str(), path.size() + 1);
  watching = 1;
}

#endif
