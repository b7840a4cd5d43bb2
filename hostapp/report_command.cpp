// The report command of the native tool: the filter runs Prepare on the document as a host
// would, and the settings it established are read back from its record; the print model and
// the status lines then come from the module's own functions, as a run without the dialog
// would compose them (acceleration off).
#ifndef _WIN32
#include <charconv>
#include <ostream>
#include <utility>

#include "core/print_model.h"
#include "core/status_report.h"
#include "host/established_settings.h"
#include "hostapi/constants.h"
#include "hostapp/cli_commands.h"

namespace {

// Doubles as the shortest text that reads back to the same value.
std::string number(double value) {
  char text[64];
  auto written = std::to_chars(text, text + sizeof(text), value);
  return std::string(text, written.ptr);
}

std::string quoted(const char* text) {
  std::string result = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') result += '\\';
    if (static_cast<unsigned char>(*c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", *c);
      result += escape;
      continue;
    }
    result += *c;
  }
  return result + "\"";
}

void printJson(std::ostream& out, const SharpenSettings& s, int32 touched, const PrintModel& m,
               const StatusReport& r) {
  out << "{\n  \"settings\": {\"personalProfile\": " << s.personalProfile
      << ", \"eyeDistance\": " << s.eyeDistance << ", \"printerQuality\": " << s.printerQuality
      << ",\n               \"printerResolution\": " << s.printerResolution
      << ", \"imageQuality\": " << s.imageQuality << ", \"imageSource\": " << s.imageSource
      << ",\n               \"printHeight\": " << s.printHeight
      << ", \"printWidth\": " << s.printWidth << "},\n  \"settingsTouched\": " << touched
      << ",\n  \"model\": {\"pixelWidth\": " << m.pixelWidth << ", \"pixelHeight\": "
      << m.pixelHeight << ", \"mmPerPixel\": " << number(m.mmPerPixel)
      << ",\n            \"printDpi\": " << number(m.printDpi) << ", \"printFactor\": "
      << number(m.printFactor) << ", \"requiredDpi\": " << m.requiredDpi
      << ",\n            \"realResolutionIndex\": " << m.realResolutionIndex
      << ", \"detailLabel\": " << quoted(m.detailLabel)
      << ",\n            \"radiusPixels\": " << number(m.radiusPixels)
      << ", \"radiusMillimetres\": " << number(m.radiusMillimetres)
      << ",\n            \"strength\": " << m.strength << ", \"operatorRadius\": "
      << number(m.operatorRadius) << ", \"operatorRadiusWhole\": " << m.operatorRadiusWhole
      << "},\n  \"status\": [" << quoted(r.resolutionLine) << ",\n             "
      << quoted(r.printingLine) << ",\n             " << quoted(r.sizeLine)
      << ",\n             " << quoted(r.fourthLine) << "],\n  \"warnings\": "
      << quoted(r.warningsLine) << "\n}\n";
}

}  // namespace

int runReportCommand(const CliRequest& request, const CliPlatform& platform,
                     PreparedRun* prepared, std::ostream& out, std::ostream& err) {
  HostServices services;
  services.colors = prepared->colors.get();
  FilterHost host(platform.entry, &prepared->document, services);
  RunRequest run;
  run.replay = prepared->hasReplay ? &prepared->replay : nullptr;
  host.beginRun(run);
  int16 result = host.call(filterSelectorPrepare);
  SharpenSettings settings{};
  int32 touched = 0;
  bool known = result == noErr && establishedSettings(&host.session().record(), &settings, &touched);
  host.call(filterSelectorFinish);
  if (!known) {
    err << "inkjet: the filter failed with error " << result << " (selector 2)\n";
    return 1;
  }
  const DocumentDescription& d = prepared->document.description;
  // Sizes are told as the picture is displayed; the sharpening itself does not depend on
  // which side is which.
  int32 width = d.width;
  int32 height = d.height;
  if (prepared->sidesSwapped) {
    std::swap(width, height);
    std::swap(settings.printWidth, settings.printHeight);
  }
  PrintModel model = computePrintModel(settings, width, height, 0, 1);
  StatusReport report = composeStatusReport(model, d.mode, 0, touched, settings.eyeDistance);
  if (request.json) {
    printJson(out, settings, touched, model, report);
  } else {
    out << report.resolutionLine << "\n" << report.printingLine << "\n" << report.sizeLine << "\n"
        << report.fourthLine << "\n";
  }
  return 0;
}
#endif
