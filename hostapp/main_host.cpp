// inkjet-host.exe: the host application on Windows. It loads Inkjet.8bf from --module-dir (by
// default the executable's own folder) as a host editor does and drives it through ENTRYPOINT.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "hostapp/dialog_script.h"
#include "hostapp/host_sharpen.h"
#include "hostapp/module_library.h"
#include "hostapp/selector_command.h"
#include "hostapp/version.h"

namespace {

const char kUsage[] =
    "usage: inkjet-host.exe [--module-dir DIR] selectors [options] SELECTOR...\n"
    "       inkjet-host.exe [--module-dir DIR] --about|--dialog [--screenshot FILE.bmp]\n"
    "       inkjet-host.exe [--module-dir DIR] sharpen INPUT OUTPUT [options]\n"
    "       inkjet-host.exe --help | --version\n"
    "selectors options: --handles default|none|version2|count6|no-lock,\n"
    "                   --fail-allocation N, --size WxH, --mode M\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    std::cout << (args[0] == "--help" ? kUsage : std::string(inkjetVersion()) + "\n");
    return 0;
  }
  std::string folder = executableFolder();
  if (args.size() >= 2 && args[0] == "--module-dir") {
    folder = args[1] + "\\";
    args.erase(args.begin(), args.begin() + 2);
  }
  if (!args.empty() && args[0] == "sharpen") {
    return runHostSharpen(folder, args, std::cout, std::cerr);
  }
  bool scripted = !args.empty() && (args[0] == "--about" || args[0] == "--dialog");
  bool scriptUsage = args.size() == 1 || (args.size() == 3 && args[1] == "--screenshot");
  if (scripted ? !scriptUsage : (args.empty() || args[0] != "selectors")) {
    std::cerr << kUsage;
    return 2;
  }
  ModuleLibrary module;
  if (!module.load(folder + "Inkjet.8bf", "ENTRYPOINT")) {
    std::cerr << "inkjet-host: " << module.error() << "\n";
    return 1;
  }
  if (scripted) {
    std::string screenshot = args.size() == 3 ? args[2] : "";
    auto mode = args[0] == "--about" ? runScriptedAbout : runScriptedDialog;
    return mode(module.entry(), screenshot, std::cout, std::cerr);
  }
  args.erase(args.begin());
  return runSelectorCommand(module.entry(), args, std::cout, std::cerr);
}
