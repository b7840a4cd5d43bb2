// inkjet-host.exe: the host application on Windows. It loads Inkjet.8bf from --module-dir (by
// default the executable's own folder) as a host editor does and drives it through ENTRYPOINT.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "hostapp/dialog_script.h"
#include "hostapp/host_sharpen.h"
#include "hostapp/message_line.h"
#include "hostapp/module_library.h"
#include "hostapp/selector_command.h"
#include "hostapp/version.h"

namespace {

const char kUsage[] =
    "usage: inkjet-host.exe [--module-dir DIR] selectors [options] SELECTOR...\n"
    "       inkjet-host.exe [--module-dir DIR] --about [--screenshot FILE]\n"
    "       inkjet-host.exe [--module-dir DIR] --dialog [INPUT OUTPUT] [--script FILE]\n"
    "                       [--screenshot FILE]\n"
    "       inkjet-host.exe [--module-dir DIR] sharpen INPUT OUTPUT [options]\n"
    "       inkjet-host.exe --help | --version\n"
    "selectors options: --handles default|none|version2|count6|no-lock,\n"
    "                   --fail-allocation N, --size WxH, --mode M\n";

// The words after --dialog: an optional INPUT OUTPUT pair, --script FILE, --screenshot FILE.
bool parseScriptedDialogRun(const std::vector<std::string>& words, ScriptedDialogRun* run) {
  std::vector<std::string> files;
  for (size_t i = 0; i < words.size(); ++i) {
    bool valued = words[i] == "--script" || words[i] == "--screenshot";
    if (valued && i + 1 == words.size()) return false;
    if (words[i] == "--script")
      run->script = words[++i];
    else if (words[i] == "--screenshot")
      run->screenshot = words[++i];
    else if (words[i].compare(0, 2, "--") == 0)
      return false;
    else
      files.push_back(words[i]);
  }
  if (files.size() == 2) {
    run->input = files[0];
    run->output = files[1];
  }
  return files.empty() || files.size() == 2;
}

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
  // The tool's own commands, with its messages (report among them, to say where it exists).
  if (!args.empty() && (args[0] == "sharpen" || args[0] == "report")) {
    return runHostSharpen(folder, args, std::cout, std::cerr);
  }
  bool about = !args.empty() && args[0] == "--about";
  bool dialog = !args.empty() && args[0] == "--dialog";
  ScriptedDialogRun dialogRun;
  bool usable = about    ? args.size() == 1 || (args.size() == 3 && args[1] == "--screenshot")
                : dialog ? parseScriptedDialogRun(
                               std::vector<std::string>(args.begin() + 1, args.end()), &dialogRun)
                         : !args.empty() && args[0] == "selectors";
  if (!usable) {
    // One line, as every other error: the usage is for --help.
    std::cerr << "inkjet: "
              << messageLine(args.empty() ? std::string("no command given")
                                          : "cannot use '" + args[0] + "' here")
              << " (see inkjet-host.exe --help)\n";
    return 2;
  }
  ModuleLibrary module;
  if (!module.load(folder + "Inkjet.8bf", "ENTRYPOINT")) {
    std::cerr << "inkjet-host: " << module.error() << "\n";
    return 1;
  }
  if (about)
    return runScriptedAbout(module.entry(), args.size() == 3 ? args[2] : "", std::cout, std::cerr);
  if (dialog) return runScriptedDialog(module.entry(), dialogRun, std::cout, std::cerr);
  args.erase(args.begin());
  return runSelectorCommand(module.entry(), args, std::cout, std::cerr);
}
