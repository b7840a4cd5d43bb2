#include "hostapp/cli_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>

#include "core/persisted_settings.h"
#include "core/setting_names.h"
#include "imagefiles/image_files.h"
#include "imagefiles/raster.h"
#include "hostapp/print_resolution.h"

namespace {

// Every value the options take is a number of no sign, so there is one grammar for them all:
// decimal digits, with a fractional part where a value may have one. No signs, spaces, hex,
// exponents or anything after.
bool isDecimal(const std::string& text, bool fraction) {
  size_t digits = 0, point = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++digits;
    } else if (text[i] == '.' && fraction && point == std::string::npos) {
      point = i;
    } else {
      return false;
    }
  }
  return digits > 0;
}

bool parseInteger(const std::string& text, long minimum, long maximum, long* value) {
  if (!isDecimal(text, false)) return false;
  errno = 0;
  *value = std::strtol(text.c_str(), nullptr, 10);
  return errno == 0 && *value >= minimum && *value <= maximum;
}

// The most --max-pixels can raise the limit to: no document is larger.
constexpr long kMaxPixelsOption = long(kMaxDocumentSide) * kMaxDocumentSide;

std::string lowered(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = char(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// The entries of a list whose text is `text` in any letter case, or else begins with it.
std::vector<int> matchingNames(const char* const names[], const std::string& text) {
  std::vector<int> exact, beginning;
  const std::string wanted = lowered(text);
  for (int index = 0; names[index] != nullptr; ++index) {
    const std::string name = lowered(names[index]);
    if (name == wanted) exact.push_back(index);
    if (!wanted.empty() && name.compare(0, wanted.size(), wanted) == 0) beginning.push_back(index);
  }
  return exact.empty() ? beginning : exact;
}

std::string quotedNames(const char* const names[], const std::vector<int>& indices) {
  std::string text;
  for (size_t at = 0; at < indices.size(); ++at) {
    text += (at == 0 ? "" : at + 1 == indices.size() ? " or " : ", ");
    text += "\"" + std::string(names[indices[at]]) + "\"";
  }
  return text;
}

// The settings' options are the rows of the settings table: their flag, range and list texts
// live there, and CliRequest::settings keeps the table's order.
int settingSlot(const std::string& name) {
  for (int slot = 0; slot < kPersistedSettingCount; ++slot) {
    if (name == kPersistedSettings[slot].option) return slot;
  }
  return -1;
}

std::string settingRange(const PersistedSetting& setting) {
  return std::to_string(setting.lowest) + ".." + std::to_string(setting.highest) +
         (setting.names != nullptr ? " or a name" : "");
}

// An index, or one of the list's texts; a refusal names the entries it could mean.
bool parseSetting(int slot, const std::string& value, CliRequest* request, std::string* problem) {
  const PersistedSetting& setting = kPersistedSettings[slot];
  long number = 0;
  if (parseInteger(value, setting.lowest, setting.highest, &number)) {
    request->settings[slot] = int32(number);
    request->settingGiven[slot] = true;
    return true;
  }
  const std::string refused = std::string(setting.option) + " does not take \"" + value + "\": ";
  if (setting.names == nullptr || isDecimal(value, false) ||
      (value.size() > 1 && value[0] == '-' && isDecimal(value.substr(1), false))) {
    *problem = refused + "expected " + settingRange(setting);
    return false;
  }
  std::vector<int> matches = matchingNames(setting.names, value);
  if (matches.size() == 1) {
    request->settings[slot] = matches[0];
    request->settingGiven[slot] = true;
    return true;
  }
  std::vector<int> all;
  for (int index = 0; setting.names[index] != nullptr; ++index) all.push_back(index);
  *problem = refused + (matches.empty() ? "expected " + std::to_string(setting.lowest) + ".." +
                                              std::to_string(setting.highest) + " or one of " +
                                              quotedNames(setting.names, all)
                                        : "it could be " + quotedNames(setting.names, matches));
  return false;
}

bool parseResolution(const std::string& text, double* value) {
  if (!isDecimal(text, true)) return false;
  *value = std::strtod(text.c_str(), nullptr);
  Fixed fixed = 0;
  return fixedResolution(*value, &fixed);
}

// A kilometre: beyond any print, and far from where the arithmetic loses its meaning.
constexpr double kLongestPrint = 1e6;

bool bareNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
}

// The options that take a value, with what they take (for the message about a value refused).
struct ValueOption {
  const char* name;
  char shortName;
  const char* expected;
};

constexpr ValueOption kValueOptions[] = {
    {"--print-width", 'w', "a length such as 297, 297mm, 29.7cm or 11.7in"},
    {"--print-height", 'H', "a length such as 210, 210mm, 21cm or 8.3in"},
    {"--paper", 'p', "A0..A6, B0..B6, letter, legal, tabloid or WxH with a unit (10x15cm)"},
    {"--border", 0, "a length, 0 or more, such as 5mm"},
    {"--resolution", 0, "pixels per inch, above 0 and below 32768"},
    {"--settings", 0, "a settings file"},
    {"--jpeg-quality", 0, "1..100"},
    {"--jpeg-subsampling", 0, "444, 422 or 420"},
    {"--max-pixels", 0, "1..1073676289"},
    {"--output-dir", 'o', "an existing folder"},
    {"--suffix", 0, "text for the output names, before the extension"},
    {"--format", 0, "an output extension such as jpg, png or tif"},
    {"--jobs", 'j', "1..256"},
    {"--color-engine", 0, "lcms or formula"},
    {"--threads", 0, "1..64"},
};

constexpr const char* kFlags[] = {"--quiet", "--silent", "--stats", "--json", "--status-lines"};

// Options that only one format of output file takes.
struct OutputOption {
  const char* name;
  const char* format;  // as image_files names it
};

constexpr OutputOption kOutputOptions[] = {
    {"--jpeg-quality", "JPEG"},
    {"--jpeg-subsampling", "JPEG"},
};

bool parseValueOption(const std::string& name, const std::string& value, CliRequest* request,
                      std::string* problem) {
  const int slot = settingSlot(name);
  if (slot >= 0) return parseSetting(slot, value, request, problem);
  bool ok = false;
  long number = 0;
  PrintRequest& print = request->print;
  if (name == "--print-width") {
    ok = parsePrintLength(value, &print.width) && print.width <= kLongestPrint;
    print.widthBare = bareNumber(value);
  } else if (name == "--print-height") {
    ok = parsePrintLength(value, &print.height) && print.height <= kLongestPrint;
    print.heightBare = bareNumber(value);
  } else if (name == "--paper") {
    ok = parsePaper(value, &print.paper);
    print.hasPaper = ok;
  } else if (name == "--border") {
    ok = parsePrintLength(value, &print.border) ||
         (value.find_first_not_of("0.") == std::string::npos &&
          value.find('0') != std::string::npos);
  } else if (name == "--jpeg-quality") {
    ok = parseInteger(value, 1, 100, &number);
    request->jpegQuality = int(number);
  } else if (name == "--jpeg-subsampling") {
    request->jpegSubsampling = value == "444"   ? 444
                               : value == "422" ? 422
                               : value == "420" ? 420
                                                : 0;
    ok = request->jpegSubsampling != 0;
  } else if (name == "--max-pixels") {
    ok = parseInteger(value, 1, kMaxPixelsOption, &number);
    request->maxPixels = number;
  } else if (name == "--output-dir") {
    request->outputDir = value;
    ok = !value.empty();
  } else if (name == "--suffix") {
    request->suffix = value;
    ok = value.find('/') == std::string::npos;
  } else if (name == "--format") {
    request->format = lowered(value[0] == '.' ? value.substr(1) : value);
    ok = !request->format.empty() && request->format.find('/') == std::string::npos;
  } else if (name == "--jobs") {
    ok = parseInteger(value, 1, 256, &number);
    request->jobs = int(number);
  } else if (name == "--resolution") {
    ok = parseResolution(value, &request->resolution);
  } else if (name == "--settings") {
    request->settingsFile = value;
    ok = !value.empty();
  } else if (name == "--threads") {
    ok = parseInteger(value, 1, 64, &number);
    request->threads = int(number);
  } else if (name == "--color-engine") {
    request->colorEngineGiven = true;
    request->colorEngine =
        value == "formula" ? ColorEngineChoice::formula : ColorEngineChoice::lcms;
    ok = value == "formula" || value == "lcms";
  }
  if (!ok) {
    for (const ValueOption& option : kValueOptions) {
      if (name == option.name) {
        *problem = name + " does not take \"" + value + "\": expected " + option.expected;
      }
    }
  }
  return ok;
}

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string unknownOption(const std::string& name) {
  std::string closest;
  size_t best = 4;  // a closer name than this is a likely typing slip
  auto consider = [&](const std::string& known) {
    size_t distance = editDistance(name, known);
    if (distance < best) {
      best = distance;
      closest = known;
    }
  };
  for (const ValueOption& option : kValueOptions) consider(option.name);
  for (const PersistedSetting& setting : kPersistedSettings) consider(setting.option);
  for (const char* flag : kFlags) consider(flag);
  return "unknown option " + name +
         (closest.empty() ? " (see inkjet --help)" : " (did you mean " + closest + "?)");
}

// The long name of an option word: "--name" or "--name=value" or a short form "-w".
const ValueOption* valueOption(const std::string& name) {
  for (const ValueOption& option : kValueOptions) {
    if (name == option.name) return &option;
    if (name.size() == 2 && name[0] == '-' && option.shortName != 0 &&
        name[1] == option.shortName) {
      return &option;
    }
  }
  return nullptr;
}

bool parseWords(const std::vector<std::string>& args, CliRequest* request,
                std::vector<std::string>* operands, std::string* problem) {
  std::set<std::string> seen;
  bool optionsEnd = false;
  for (size_t index = 1; index < args.size(); ++index) {
    const std::string& word = args[index];
    if (optionsEnd || word.size() < 2 || word[0] != '-') {
      operands->push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnd = true;
      continue;
    }
    std::string name = word;
    std::string value;
    const size_t equals = word.find('=');
    const bool inlineValue = word.rfind("--", 0) == 0 && equals != std::string::npos;
    if (inlineValue) {
      name = word.substr(0, equals);
      value = word.substr(equals + 1);
    }
    if (name == "-q") name = "--quiet";
    const ValueOption* option = valueOption(name);
    if (option != nullptr) name = option->name;
    const int slot = settingSlot(name);
    if (!seen.insert(name).second) {
      *problem = name + " is given twice";
      return false;
    }
    request->given.insert(name);
    if (option == nullptr && slot < 0) {
      const bool flag = std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags);
      if (!flag) {
        *problem = unknownOption(name);
        return false;
      }
      if (inlineValue) {
        *problem = name + " takes no value";
        return false;
      }
      if ((name == "--json" || name == "--status-lines") &&
          request->command != CliCommand::report) {
        *problem = name + " belongs to the report command";
        return false;
      }
      if (name != "--stats") request->settingWords.push_back(name);
      (name == "--quiet"    ? request->quiet
       : name == "--silent" ? request->silent
       : name == "--stats"  ? request->stats
       : name == "--json"   ? request->json
                            : request->statusLines) = true;
      continue;
    }
    if (!inlineValue) {
      if (index + 1 >= args.size()) {
        *problem = name + " needs a value: " +
                   (option != nullptr ? option->expected : settingRange(kPersistedSettings[slot]));
        return false;
      }
      value = args[++index];
    }
    if (!parseValueOption(name, value, request, problem)) return false;
    if (name != "--output-dir" && name != "--suffix" && name != "--format" && name != "--jobs") {
      request->settingWords.push_back(name);
      request->settingWords.push_back(value);
    }
  }
  return true;
}

// Combinations that cannot all apply.
bool checkCombinations(const CliRequest& request, const std::set<std::string>& given,
                       std::string* problem) {
  (void)given;
  const PrintRequest& print = request.print;
  if (print.hasPaper && (print.width > 0 || print.height > 0)) {
    *problem = "--paper and --print-width/--print-height say the same thing: give one of them";
    return false;
  }
  if (print.border > 0 && !print.hasPaper) {
    *problem = "--border applies to a --paper";
    return false;
  }
  if (request.json && request.statusLines) {
    *problem = "--status-lines and --json are two forms of the report: give one of them";
    return false;
  }
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& args, CliRequest* request,
                      std::string* problem) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      request->command = CliCommand::help;
      return true;
    }
  }
  if (!args.empty() && args[0] == "--version") {
    if (args.size() > 1) {
      *problem = "--version takes nothing after it, not \"" + args[1] + "\"";
      return false;
    }
    request->command = CliCommand::version;
    return true;
  }
  size_t operandCount = 0;
  if (!args.empty() && (args[0] == "sharpen" || args[0] == "dialog")) {
    request->command = args[0] == "sharpen" ? CliCommand::sharpen : CliCommand::dialog;
    operandCount = 2;
  } else if (!args.empty() && args[0] == "report") {
    request->command = CliCommand::report;
    operandCount = 1;
  } else {
    *problem = args.empty() ? "no command given (see inkjet --help)"
                            : "unknown command: " + args[0] + " (see inkjet --help)";
    return false;
  }
  std::vector<std::string> operands;
  if (!parseWords(args, request, &operands, problem)) return false;
  if (!checkCombinations(*request, {}, problem)) return false;
  const bool batch = !request->outputDir.empty();
  if (!batch && (!request->suffix.empty() || !request->format.empty() || request->jobs > 0)) {
    *problem = "--suffix, --format and --jobs apply to sharpen with --output-dir";
    return false;
  }
  if (batch && request->command != CliCommand::sharpen) {
    *problem = "--output-dir applies to sharpen";
    return false;
  }
  if (batch) {
    if (operands.empty()) {
      *problem = "sharpen -o DIR needs one INPUT or more";
      return false;
    }
    request->inputs = operands;
    return true;
  }
  if (operandCount == 2 && operands.size() != 2) {
    *problem = operands.size() < 2 ? args[0] + " needs INPUT and OUTPUT"
                                   : args[0] + " takes one INPUT and one OUTPUT, not " +
                                         std::to_string(operands.size()) +
                                         " files (several go into a folder with -o DIR)";
    return false;
  }
  if (operands.empty()) {
    *problem = "report needs INPUT";
    return false;
  }
  request->inputs = operands;
  request->input = operands[0];
  if (operandCount == 2) request->output = operands[1];
  return checkOutputOptions(*request, request->output, problem);
}

bool checkOutputOptions(const CliRequest& request, const std::string& output,
                        std::string* problem) {
  for (const OutputOption& option : kOutputOptions) {
    if (request.given.count(option.name) == 0) continue;
    if (request.command == CliCommand::report) {
      *problem = std::string(option.name) + " applies to an output file; report writes none";
      return false;
    }
    std::string format;
    // An unknown extension is refused on its own, with the extensions there are.
    if (!outputFormatName(output, &format).ok()) continue;
    if (format != option.format) {
      *problem = std::string(option.name) + " applies to a " + option.format + " output, not " +
                 output + " (" + format + ")";
      return false;
    }
  }
  return true;
}

bool jsonRequested(const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "report") return false;
  for (size_t index = 1; index < args.size(); ++index) {
    const std::string& word = args[index];
    if (word == "--") return false;
    if (word == "--json") return true;
    // The word after an option that takes a value is that value, whatever it looks like.
    if (valueOption(word) != nullptr || settingSlot(word) >= 0) ++index;
  }
  return false;
}
