// What the command-line tests share: a private scratch folder (the file tests' one), small
// files to feed the tool, and one call that runs the tool's command line as main does (parse,
// then run the command with the module linked in), returning the exit code and what went to
// stdout and stderr.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/entry_point.h"
#include "hostapp/cli_commands.h"
#include "hostapp/message_line.h"
#include "platform/driver.h"
#include "tests/hostapp/files_test_fixtures.h"
#include "registration/inkjet_registration.h"

namespace cli_fixtures {

using ScratchFolder = files_test::ScratchFolder;

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A binary PPM whose pixels vary, so that sharpening changes them.
inline std::string ppm(int width, int height) {
  std::string pixels(size_t(width) * size_t(height) * 3, '\0');
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = char((i * 29 + i / 7) % 256);
  return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" + pixels;
}

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

inline Outcome runTool(const std::vector<std::string>& args) {
  platform::driver::reset();
  std::ostringstream out, err;
  CliRequest request;
  std::string problem;
  if (!parseCommandLine(args, &request, &problem)) {
    const int code = refuseCommandLine(args, problem, out, err);
    return Outcome{code, out.str(), err.str()};
  }
  CliPlatform platform;
  platform.entry = ENTRYPOINT;
  platform.setThreads = InkjetSetThreads;
  platform.propertyList = inkjetPropertyList();
  platform.lcmsAvailable = true;
  platform.report = runReportCommand;
  platform.summary = summarizeRun;
  int code = runCliCommand(request, platform, out, err);
  return Outcome{code, out.str(), err.str()};
}

// An error as the tool must give it: one line on stderr beginning "inkjet: ".
// Runs `work` in a child process, for runs that change the process itself (resource limits,
// memory counters): the child sends back the text `work` returns and exits with the code it sets.
// The parent gets the text and the child's wait status.
struct ChildRun {
  int status = 0;
  std::string text;
};

inline ChildRun runInChild(const std::function<std::string(int* exitCode)>& work) {
  ChildRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return run;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    int exitCode = 0;
    const std::string text = work(&exitCode);
    const ssize_t ignored = write(pipeEnds[1], text.data(), text.size());
    (void)ignored;
    _exit(exitCode);
  }
  close(pipeEnds[1]);
  char chunk[4096];
  for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
    run.text.append(chunk, size_t(n));
  close(pipeEnds[0]);
  waitpid(child, &run.status, 0);
  return run;
}

inline bool isOneErrorLine(const std::string& err) {
  return err.rfind("inkjet: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

}  // namespace cli_fixtures
