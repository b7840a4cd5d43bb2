// Removing a half-written temporary file when the program is ended by a signal while it writes.
//
// While an InterruptCleanup is alive, every sent signal that would end the program (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1 and the like) removes the file named by
// `watch` and then ends the program as the signal would have, and SIGXFSZ is ignored so that a
// file size limit fails the write with EFBIG instead of ending the program unannounced.
// Signals the program ignores stay ignored; the previous handlers come back when it is
// destroyed.
// One at a time (the handler has no context but a single static slot). On Windows it does
// nothing: a console interrupt there is left to the system.
#pragma once

#include <string>

class InterruptCleanup {
 public:
  InterruptCleanup();
  ~InterruptCleanup();
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  // The file to remove from now on; a path too long for the slot is not watched.
  void watch(const std::string& path);
};
