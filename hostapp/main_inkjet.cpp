// inkjet: the native command-line tool. It hosts the module's code, linked in, through its
// entry point, and checks the module's property list as a host reads it from a .8bf.
#include <iostream>
#include <string>
#include <vector>

#include "host/entry_point.h"
#include "hostapp/batch_command.h"
#include "hostapp/cli_commands.h"
#include "hostapp/progress_services.h"
#include "registration/inkjet_registration.h"
#ifdef INKJET_HAVE_X11
#include "hostapp/x11/x11_presenter.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  CliRequest request;
  std::string problem;
  if (!parseCommandLine(args, &request, &problem)) {
    return refuseCommandLine(args, problem, std::cout, std::cerr);
  }
  if (!request.outputDir.empty()) {
    return runBatchCommand(request, "/proc/self/exe", ProgressServices::stderrIsTerminal(),
                           std::cerr);
  }
  CliPlatform platform;
  platform.entry = ENTRYPOINT;
  platform.setThreads = InkjetSetThreads;
  platform.propertyList = inkjetPropertyList();
  platform.lcmsAvailable = true;
  platform.report = runReportCommand;
  platform.summary = summarizeRun;
#ifdef INKJET_HAVE_X11
  platform.dialog.open = [](std::string* problem) -> std::shared_ptr<void> {
    return X11Presenter::open(nullptr, "Inkjet", 0, problem);
  };
  platform.dialog.describe = describeEstablishedSettings;
#endif
  return runCliCommand(request, platform, std::cout, std::cerr);
}
