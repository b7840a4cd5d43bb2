// A save ended by a signal part-way leaves nothing behind: the program still ends by that
// signal, but the half-written temporary file is gone and the old file is untouched.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "hostapp/files/file_bytes.h"
#include "tests/hostapp/files_test_fixtures.h"

namespace {

// A file size limit makes the kernel send SIGXFSZ in the middle of the write, at a known point.
TEST(InterruptedWrite, TheTemporaryFileIsRemovedAndTheSignalStillEndsTheProgram) {
  files_test::ScratchFolder folder;
  const std::string path = folder.path("out.ppm");
  files_test::writeBytes(path, Bytes{1, 2, 3});
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    writeFileAtomically(path, Bytes(1 << 20, 7));
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.ppm"});
  EXPECT_EQ(files_test::readBytes(path), (Bytes{1, 2, 3}));
}

// Where the program ignores the signal, the write fails as an error instead, and still
// leaves nothing behind.
TEST(InterruptedWrite, AnIgnoredSignalLeavesAnOrdinaryFailure) {
  files_test::ScratchFolder folder;
  const std::string path = folder.path("out.ppm");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(writeFileAtomically(path, Bytes(1 << 20, 7)).ok() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
