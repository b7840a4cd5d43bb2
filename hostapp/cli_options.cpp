#include "hostapp/cli_options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "core/setting_names.h"
#include "hostapp/files/raster.h"
#include "hostapp/print_resolution.h"

namespace {

// Positions of the settings in CliRequest::settings (the persisted order).
enum SettingSlot { kProfile, kEyeDistance, kPrinterQuality, kPrinter, kImageQuality, kSource };

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

// An index, or one of the list's texts.
bool parseListValue(const std::string& text, const char* const names[], long maximum,
                    int32* value) {
  long number = 0;
  if (parseInteger(text, 0, maximum, &number)) {
    *value = int32(number);
    return true;
  }
  int index = settingNameIndex(names, text.c_str());
  *value = index;
  return index >= 0;
}

struct ListOption {
  const char* name;
  int slot;
  const char* const* names;
  long maximum;
};

constexpr ListOption kListOptions[] = {
    {"--printer", kPrinter, kPrinterResolutionNames, 11},
    {"--printer-quality", kPrinterQuality, kQualityNames, 4},
    {"--source", kSource, kImageSourceNames, 9},
    {"--image-quality", kImageQuality, kQualityNames, 4},
    {"--eye-distance", kEyeDistance, nullptr, 5},
    {"--profile", kProfile, nullptr, 3},
};

bool parseSetting(const ListOption& option, const std::string& value, CliRequest* request) {
  int32 parsed = 0;
  long number = 0;
  bool ok = option.names != nullptr ? parseListValue(value, option.names, option.maximum, &parsed)
                                    : parseInteger(value, 1, option.maximum, &number);
  if (option.names == nullptr) parsed = int32(number);
  if (ok) {
    request->settings[option.slot] = parsed;
    request->settingGiven[option.slot] = true;
  }
  return ok;
}

bool parseResolution(const std::string& text, double* value) {
  if (!isDecimal(text, true)) return false;
  *value = std::strtod(text.c_str(), nullptr);
  Fixed fixed = 0;
  return fixedResolution(*value, &fixed);
}

bool parseValueOption(const std::string& name, const std::string& value, CliRequest* request) {
  for (const ListOption& option : kListOptions) {
    if (name == option.name) return parseSetting(option, value, request);
  }
  long number = 0;
  if (name == "--print-width" || name == "--print-height") {
    bool ok = parseInteger(value, 1, 1000000, &number);
    (name == "--print-width" ? request->printWidth : request->printHeight) = int32(number);
    return ok;
  }
  if (name == "--jpeg-quality") {
    bool ok = parseInteger(value, 1, 100, &number);
    request->jpegQuality = int(number);
    return ok;
  }
  if (name == "--jpeg-subsampling") {
    request->jpegSubsampling = value == "444" ? 444 : value == "422" ? 422 : value == "420" ? 420 : 0;
    return request->jpegSubsampling != 0;
  }
  if (name == "--max-pixels") {
    bool ok = parseInteger(value, 1, kMaxPixelsOption, &number);
    request->maxPixels = number;
    return ok;
  }
  if (name == "--resolution") return parseResolution(value, &request->resolution);
  if (name == "--settings") {
    request->settingsFile = value;
    return !value.empty();
  }
  if (name == "--color-engine") {
    request->colorEngineGiven = true;
    request->colorEngine =
        value == "formula" ? ColorEngineChoice::formula : ColorEngineChoice::lcms;
    return value == "formula" || value == "lcms";
  }
  return false;
}

// What an option takes, for the message about a value it refuses; empty for an unknown option.
std::string expectedValue(const std::string& name) {
  for (const ListOption& option : kListOptions) {
    if (name != option.name) continue;
    std::string range = (option.names != nullptr ? "0.." : "1..") + std::to_string(option.maximum);
    return option.names != nullptr ? range + " or a name listed by inkjet --help" : range;
  }
  if (name == "--print-width" || name == "--print-height") return "whole millimetres, 1 or more";
  if (name == "--jpeg-quality") return "1..100";
  if (name == "--jpeg-subsampling") return "444, 422 or 420";
  if (name == "--max-pixels") return "1.." + std::to_string(kMaxPixelsOption);
  if (name == "--resolution") return "pixels per inch, above 0 and below 32768";
  if (name == "--settings") return "a settings file";
  if (name == "--color-engine") return "lcms or formula";
  return "";
}

std::string badValue(const std::string& name, const std::string& value) {
  std::string expected = expectedValue(name);
  if (name == "--json") return "--json belongs to the report command";
  if (expected.empty()) return "unknown option " + name + " (see inkjet --help)";
  return name + " does not take \"" + value + "\": expected " + expected;
}

bool parseOptions(const std::vector<std::string>& args, size_t first, CliRequest* request,
                  std::string* problem) {
  for (size_t index = first; index < args.size(); ++index) {
    const std::string& name = args[index];
    if (name == "--quiet" || name == "--stats" ||
        (name == "--json" && request->command == CliCommand::report)) {
      (name == "--quiet" ? request->quiet : name == "--stats" ? request->stats : request->json) =
          true;
      continue;
    }
    if (name.rfind("--", 0) != 0) {
      *problem = "unexpected argument: " + name;
      return false;
    }
    if (expectedValue(name).empty()) {
      *problem = badValue(name, "");
      return false;
    }
    if (index + 1 >= args.size()) {
      *problem = name + " needs a value: " + expectedValue(name);
      return false;
    }
    if (!parseValueOption(name, args[index + 1], request)) {
      *problem = badValue(name, args[index + 1]);
      return false;
    }
    ++index;
  }
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& args, CliRequest* request,
                      std::string* problem) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      request->command = CliCommand::help;
      return true;
    }
  }
  if (args.size() == 1 && args[0] == "--version") {
    request->command = CliCommand::version;
    return true;
  }
  size_t operands = 0;
  if (!args.empty() && (args[0] == "sharpen" || args[0] == "dialog")) {
    request->command = args[0] == "sharpen" ? CliCommand::sharpen : CliCommand::dialog;
    operands = 2;
  } else if (!args.empty() && args[0] == "report") {
    request->command = CliCommand::report;
    operands = 1;
  } else {
    *problem = args.empty() ? "no command given (see inkjet --help)"
                            : "unknown command: " + args[0] + " (see inkjet --help)";
    return false;
  }
  for (size_t index = 1; index <= operands; ++index) {
    if (index >= args.size() || args[index].rfind("--", 0) == 0) {
      *problem = operands == 2 ? args[0] + " needs INPUT and OUTPUT" : "report needs INPUT";
      return false;
    }
  }
  request->input = args[1];
  if (operands == 2) request->output = args[2];
  return parseOptions(args, operands + 1, request, problem);
}
