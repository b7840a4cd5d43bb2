// The command line of `inkjet` and `inkjet-host.exe` (the contract is the tool's manual):
//   sharpen INPUT OUTPUT [options] | sharpen INPUT... -o DIR [options] |
//   dialog INPUT OUTPUT [options] | report INPUT... [options] [--json] | --help | --version
// (--help or -h anywhere asks for the help). Options may stand before or after the files,
// up to a "--" after which every word is a file; "--name=value" is the same as "--name value".
// Parsing only checks the words: values in range, list texts matched in any letter case or
// by a unique beginning, a known colour engine, no option given twice, none that cannot apply. A
// usage problem comes back as false with a one-line message (without the program's name). Settings
// are kept as the six persisted values plus which of them were given, so that only those are
// replayed to the filter.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/sharpen_settings.h"
#include "hostapi/types.h"
#include "hostapp/print_units.h"

enum class CliCommand { sharpen, dialog, report, help, version };
enum class ColorEngineChoice { lcms, formula };

constexpr int kCliSettingCount = kPersistedSettingCount;

struct CliRequest {
  CliCommand command = CliCommand::help;
  std::string input;
  std::string output;
  std::vector<std::string> inputs;  // every file named (sharpen with --output-dir: the inputs)
  // sharpen IN... -o DIR: each result in DIR under its own name, NAME + suffix + extension.
  std::string outputDir;
  std::string suffix;
  std::string format;  // the output extension without its dot; empty: the input's
  int jobs = 0;        // 0: one per core
  int threads = 0;     // threads the filter splits each tile across; 0: the machine's cores
  std::vector<std::string> settingWords;  // the options each file of a batch is run with
  PrintRequest print;                     // sizes or paper, as displayed
  double resolution = 72.0;
  int32 settings[kCliSettingCount] = {};  // personal profile .. image source
  bool settingGiven[kCliSettingCount] = {};
  std::string settingsFile;
  int jpegQuality = 0;      // 0: not given (the input's quality, or 95)
  int jpegSubsampling = 0;  // 0: not given (the input's subsampling, or 444)
  long maxPixels = 0;       // 0: not given, the readers' default
  ColorEngineChoice colorEngine = ColorEngineChoice::lcms;
  bool colorEngineGiven = false;
  bool quiet = false;        // no progress and no summary line; warnings still shown
  bool silent = false;       // errors only
  bool statusLines = false;  // report: the filter's four status lines as they are
  bool json = false;
  bool stats = false;           // sharpen: colour and Continue calls on stderr
  std::set<std::string> given;  // the options on the command line, by their long names
};

bool parseCommandLine(const std::vector<std::string>& args, CliRequest* request,
                      std::string* problem);

// Whether the options given can apply to `output` (an output of one kind, such as JPEG
// quality, to an output of another kind is refused); parseCommandLine checks OUTPUT with it,
// a batch each of its outputs before any work.
bool checkOutputOptions(const CliRequest& request, const std::string& output, std::string* problem);

// Whether the words ask for report --json, even when they fail to parse: its errors are then
// a JSON object on stdout too.
bool jsonRequested(const std::vector<std::string>& args);
