// A save cut short leaves nothing behind: a signal that ends the program part-way still ends
// it, but the half-written temporary file is gone; a file size limit fails the save with its
// own message. Either way the old file is untouched.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "imagefiles/file_bytes.h"
#include "imagefiles/interrupt_cleanup.h"
#include "tests/hostapp/files_test_fixtures.h"

namespace {

// Runs `body` in a child process and returns its wait status.
template <typename Body>
int inChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// The kernel stops the write at the limit, at a known point. Whether the program had left
// SIGXFSZ at its default (which would end it silently) or ignored it, the save fails with
// "File too large" and removes its temporary file.
TEST(InterruptedWrite, AFileSizeLimitFailsTheSaveWithItsReason) {
  for (const bool ignoredBefore : {false, true}) {
    SCOPED_TRACE(ignoredBefore ? "ignored before" : "default action");
    files_test::ScratchFolder folder;
    const std::string path = folder.path("out.ppm");
    files_test::writeBytes(path, Bytes{1, 2, 3});
    const int status = inChild([&] {
      if (ignoredBefore) std::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {4096, 4096};
      setrlimit(RLIMIT_FSIZE, &limit);
      const FileStatus written = writeFileAtomically(path, Bytes(1 << 20, 7));
      return !written.ok() && written.message.find("File too large") != std::string::npos ? 0 : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.ppm"});
    EXPECT_EQ(files_test::readBytes(path), (Bytes{1, 2, 3}));
  }
}

// Signals sent from outside (a terminal's quit key, kill, a timer) while a temporary file is
// watched: each removes it and still ends the program by that signal.
TEST(InterruptedWrite, EverySignalThatEndsTheProgramRemovesTheTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE}) {
    SCOPED_TRACE(strsignal(signal));
    files_test::ScratchFolder folder;
    const std::string temporary = folder.path(".half-written.tmp");
    files_test::writeBytes(temporary, Bytes{1});
    const int status = inChild([&] {
      struct rlimit noCore = {0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      InterruptCleanup cleanup;
      cleanup.watch(temporary);
      raise(signal);
      return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_TRUE(folder.entries().empty());
  }
}

}  // namespace
