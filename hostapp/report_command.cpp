// The report command of the native tool: the filter runs Prepare on the document as a host
// would, and the settings it established are read back from its record; the print model and
// the status lines then come from the module's own functions, as a run without the dialog
// would compose them (acceleration off).
#ifndef _WIN32
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>
#include <utility>

#include "core/print_model.h"
#include "core/setting_names.h"
#include "core/status_report.h"
#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/cli_commands.h"
#include "hostapp/json_text.h"

namespace {

// Doubles as the shortest text that reads back to the same value.
std::string number(double value) {
  char text[64];
  auto written = std::to_chars(text, text + sizeof(text), value);
  return std::string(text, written.ptr);
}

std::string quoted(const char* text) { return jsonString(text); }

std::string rounded(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  std::string result = text;
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result;
}

// What one run establishes, told as the picture is displayed.
struct RunFigures {
  SharpenSettings settings{};
  int32 touched = 0;
  PrintModel model{};
  StatusReport report{};
  std::vector<std::string> warnings;  // the host's, then the filter's, each in its own words
};

// The filter's warnings line as separate sentences, without the blank that joins them.
void splitWarnings(const char* line, std::vector<std::string>* warnings) {
  const std::string text = line;
  if (text == "No Warnings.") return;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("! ", start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string warning = text.substr(start, end - start);
    while (!warning.empty() && warning.back() == ' ') warning.pop_back();
    if (!warning.empty()) warnings->push_back(warning);
    start = end;
    while (start < text.size() && text[start] == ' ') ++start;
  }
}

RunFigures figuresOf(FilterHost& host, const PreparedRun& prepared, bool* known) {
  RunFigures figures;
  *known = establishedSettings(&host.session().record(), &figures.settings, &figures.touched);
  const DocumentDescription& d = prepared.document.description;
  // Sizes are told as the picture is displayed; the sharpening itself does not depend on
  // which side is which.
  int32 width = d.width;
  int32 height = d.height;
  if (prepared.sidesSwapped) {
    std::swap(width, height);
    std::swap(figures.settings.printWidth, figures.settings.printHeight);
  }
  figures.model = computePrintModel(figures.settings, width, height, 0, 1);
  figures.report =
      composeStatusReport(figures.model, d.mode, 0, figures.touched, figures.settings.eyeDistance);
  figures.warnings = prepared.print.warnings;
  if (figures.touched == 0 && figures.settings.eyeDistance != 1) {
    figures.warnings.push_back(figures.report.fourthLine);
  }
  splitWarnings(figures.report.warningsLine, &figures.warnings);
  return figures;
}

// The print as displayed, in millimetres with the decimals the filter saw.
std::string printSizeText(const PreparedRun& prepared, const RunFigures& figures) {
  if (prepared.print.sized) {
    return millimetreText(prepared.print.size.width) + " x " +
           millimetreText(prepared.print.size.height);
  }
  return std::to_string(figures.settings.printWidth) + " x " +
         std::to_string(figures.settings.printHeight);
}

std::string settingsText(const SharpenSettings& s) {
  return std::string("printer \"") + kPrinterResolutionNames[s.printerResolution] +
         "\", printer quality \"" + kQualityNames[s.printerQuality] + "\", source \"" +
         kImageSourceNames[s.imageSource] + "\", image quality \"" + kQualityNames[s.imageQuality] +
         "\", eye distance " + std::to_string(s.eyeDistance) + ", profile " +
         std::to_string(s.personalProfile);
}

std::string figuresText(const PreparedRun& prepared, const RunFigures& f) {
  const PrintModel& m = f.model;
  return printSizeText(prepared, f) + " mm at " + rounded(m.printDpi, 0) + " ppi, radius " +
         rounded(m.radiusPixels, 2) + " px (" + rounded(m.radiusMillimetres, 3) +
         " mm), strength " + std::to_string(m.strength) + ", Real Resolution Index " +
         std::to_string(m.realResolutionIndex) + " (" + m.detailLabel + ")";
}

void printJson(std::ostream& out, const SharpenSettings& s, int32 touched, const PrintModel& m,
               const StatusReport& r) {
  out << "{\n  \"settings\": {\"personalProfile\": " << s.personalProfile
      << ", \"eyeDistance\": " << s.eyeDistance << ", \"printerQuality\": " << s.printerQuality
      << ",\n               \"printerResolution\": " << s.printerResolution
      << ", \"imageQuality\": " << s.imageQuality << ", \"imageSource\": " << s.imageSource
      << ",\n               \"printHeight\": " << s.printHeight
      << ", \"printWidth\": " << s.printWidth << "},\n  \"settingsTouched\": " << touched
      << ",\n  \"model\": {\"pixelWidth\": " << m.pixelWidth
      << ", \"pixelHeight\": " << m.pixelHeight << ", \"mmPerPixel\": " << number(m.mmPerPixel)
      << ",\n            \"printDpi\": " << number(m.printDpi)
      << ", \"printFactor\": " << number(m.printFactor) << ", \"requiredDpi\": " << m.requiredDpi
      << ",\n            \"realResolutionIndex\": " << m.realResolutionIndex
      << ", \"detailLabel\": " << quoted(m.detailLabel)
      << ",\n            \"radiusPixels\": " << number(m.radiusPixels)
      << ", \"radiusMillimetres\": " << number(m.radiusMillimetres)
      << ",\n            \"strength\": " << m.strength
      << ", \"operatorRadius\": " << number(m.operatorRadius)
      << ", \"operatorRadiusWhole\": " << m.operatorRadiusWhole << "},\n  \"status\": ["
      << quoted(r.resolutionLine) << ",\n             " << quoted(r.printingLine)
      << ",\n             " << quoted(r.sizeLine) << ",\n             " << quoted(r.fourthLine)
      << "],\n  \"warnings\": " << quoted(r.warningsLine);
}

// The fields that came after the first form of the report; the figures people read, rounded.
void printWiderJson(std::ostream& out, const std::string& input, const PreparedRun& prepared,
                    const RunFigures& f) {
  const SharpenSettings& s = f.settings;
  const PrintModel& m = f.model;
  out << ",\n  \"input\": " << quoted(input.c_str())
      << ",\n  \"settingNames\": {\"printerResolution\": "
      << quoted(kPrinterResolutionNames[s.printerResolution])
      << ", \"printerQuality\": " << quoted(kQualityNames[s.printerQuality])
      << ",\n                   \"imageSource\": " << quoted(kImageSourceNames[s.imageSource])
      << ", \"imageQuality\": " << quoted(kQualityNames[s.imageQuality]) << "}"
      << ",\n  \"warningList\": [";
  for (size_t index = 0; index < f.warnings.size(); ++index) {
    out << (index == 0 ? "" : ", ") << quoted(f.warnings[index].c_str());
  }
  const double width = prepared.print.sized ? prepared.print.size.width : s.printWidth;
  const double height = prepared.print.sized ? prepared.print.size.height : s.printHeight;
  out << "],\n  \"printSize\": {\"width\": " << rounded(width, 1)
      << ", \"height\": " << rounded(height, 1) << "}"
      << ",\n  \"rounded\": {\"printPpi\": " << rounded(m.printDpi, 0)
      << ", \"radiusPixels\": " << rounded(m.radiusPixels, 2)
      << ", \"radiusMillimetres\": " << rounded(m.radiusMillimetres, 3)
      << ", \"mmPerPixel\": " << rounded(m.mmPerPixel, 4) << "}\n}";
}

}  // namespace

void summarizeRun(const CliRequest& request, FilterHost& host, const PreparedRun& prepared,
                  std::ostream& err) {
  if (request.silent) return;
  bool known = false;
  RunFigures figures = figuresOf(host, prepared, &known);
  if (!known) return;
  if (!request.quiet)
    err << "inkjet: " << request.input << ": " << figuresText(prepared, figures) << "\n";
  for (const std::string& warning : figures.warnings) {
    err << "inkjet: warning: " << request.input << ": " << warning << "\n";
  }
}

int runReportCommand(const CliRequest& request, const CliPlatform& platform, PreparedRun* prepared,
                     std::ostream& out, std::ostream& err) {
  HostServices services;
  services.colors = prepared->colors.get();
  FilterHost host(platform.entry, &prepared->document, services);
  RunRequest run;
  run.replay = prepared->hasReplay ? &prepared->replay : nullptr;
  host.beginRun(run);
  int16 result = host.call(filterSelectorPrepare);
  bool known = false;
  RunFigures figures = result == noErr ? figuresOf(host, *prepared, &known) : RunFigures{};
  host.call(filterSelectorFinish);
  if (!known) {
    err << "inkjet: the filter failed with error " << result << " (selector 2)\n";
    return 1;
  }
  const StatusReport& report = figures.report;
  if (request.json) {
    printJson(out, figures.settings, figures.touched, figures.model, report);
    printWiderJson(out, request.input, *prepared, figures);
    out << "\n";
  } else if (request.statusLines) {
    out << report.resolutionLine << "\n"
        << report.printingLine << "\n"
        << report.sizeLine << "\n"
        << report.fourthLine << "\n";
  } else {
    out << request.input << "\n  print: " << figuresText(*prepared, figures)
        << "\n  settings: " << settingsText(figures.settings)
        << "\n  picture: " << figures.model.pixelWidth << " x " << figures.model.pixelHeight
        << " pixels\n";
    if (figures.warnings.empty()) out << "  no warnings\n";
    for (const std::string& warning : figures.warnings) out << "  warning: " << warning << "\n";
  }
  return 0;
}
#endif
