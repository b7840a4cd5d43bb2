#include "imagefiles/interrupt_cleanup.h"

#ifdef _WIN32

InterruptCleanup::InterruptCleanup() = default;
InterruptCleanup::~InterruptCleanup() = default;
void InterruptCleanup::watch(const std::string&) {}

#else

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Every signal another process or the terminal may send whose default action ends the
// program. Faults the program itself raises (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP,
// SIGSYS) are left to their handlers and debuggers. SIGXFSZ is not here: it is ignored during
// the write, so a file-size limit shows as a failed write with its own message ("File too
// large") and the usual cleanup, instead of a silent end.
constexpr int kSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT,   SIGPIPE, SIGALRM, SIGTERM,
    SIGUSR1,   SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGIO,
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
struct sigaction previousFileSizeAction;

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
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &previousFileSizeAction);
}

InterruptCleanup::~InterruptCleanup() {
  for (int index = 0; index < kSignalCount; ++index) {
    sigaction(kSignals[index], &previous[index], nullptr);
  }
  sigaction(SIGXFSZ, &previousFileSizeAction, nullptr);
  watching = 0;
}

void InterruptCleanup::watch(const std::string& path) {
  watching = 0;
  if (path.size() >= sizeof(watchedPath)) return;
  std::memcpy(watchedPath, path.c_str(), path.size() + 1);
  watching = 1;
}

#endif
