#ifdef _WIN32
#include "hostapp/host_sharpen.h"

#include <ostream>

#include "host/entry_point.h"
#include "hostapp/cli_commands.h"
#include "hostapp/message_line.h"
#include "hostapp/module_library.h"

int runHostSharpen(const std::string& folder, const std::vector<std::string>& args,
                   std::ostream& out, std::ostream& err) {
  CliRequest request;
  std::string problem;
  if (!parseCommandLine(args, &request, &problem)) {
    err << "inkjet: " << messageLine(problem) << "\n";
    return 2;
  }
  ModuleLibrary module;
  CliPlatform platform;
  if (!module.loadRegistered(folder + "Inkjet.8bf", &platform.propertyList)) {
    err << "inkjet: " << messageLine(module.error()) << "\n";
    return 1;
  }
  platform.entry = module.entry();
  // A module without the call still runs, on the cores it chooses itself.
  platform.setThreads =
      reinterpret_cast<decltype(platform.setThreads)>(module.symbol(kThreadCountExport));
  return runCliCommand(request, platform, out, err);
}
#endif
