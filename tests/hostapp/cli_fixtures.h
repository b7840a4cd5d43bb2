// What the command-line tests share: a private scratch folder (the file tests' one), small
// files to feed the tool, and one call that runs the tool's command line as main does (parse,
// then run the command with the module linked in), returning the exit code and what went to
// stdout and stderr.
#pragma once

#include <fstream>
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
  if (!parseCommandLine(args, &request, &problem)) return Outcome{2, "", "inkjet: " + messageLine(problem) + "\n"};
  CliPlatform platform;
  platform.entry = ENTRYPOINT;
  platform.propertyList = inkjetPropertyList();
  platform.lcmsAvailable = true;
  platform.report = runReportCommand;
  platform.summary = summarizeRun;
  int code = runCliCommand(request, platform, out, err);
  return Outcome{code, out.str(), err.str()};
}

// An error as the tool must give it: one line on stderr beginning "inkjet: ".
inline bool isOneErrorLine(const std::string& err) {
  return err.rfind("inkjet: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

}  // namespace cli_fixtures
