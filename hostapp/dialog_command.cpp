// What the dialog command prints after OK: the settings the module established, read back
// from its record, written as the options of `sharpen` that give the same result.
#ifndef _WIN32
#include <cctype>
#include <ostream>
#include <string>

#include "core/setting_names.h"
#include "host/entry_point.h"
#include "hostapp/cli_commands.h"

namespace {

// A shell word: quoted when it holds anything but plain characters.
std::string shellWord(const std::string& text) {
  bool plain = !text.empty();
  for (char c : text)
    plain =
        plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_');
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string listName(const char* const names[], int32 index) {
  for (int32 i = 0; names[i] != nullptr; ++i)
    if (i == index) return shellWord(names[i]);
  return std::to_string(index);
}

}  // namespace

void describeEstablishedSettings(FilterHost& host, std::ostream& out) {
  SharpenSettings s{};
  int32 touched = 0;
  if (!establishedSettings(&host.session().record(), &s, &touched)) return;
  out << "--print-width " << s.printWidth << " --print-height " << s.printHeight << " --printer "
      << listName(kPrinterResolutionNames, s.printerResolution) << " --printer-quality "
      << listName(kQualityNames, s.printerQuality) << " --source "
      << listName(kImageSourceNames, s.imageSource) << " --image-quality "
      << listName(kQualityNames, s.imageQuality) << " --eye-distance " << s.eyeDistance
      << " --profile " << s.personalProfile << "\n";
}
#endif
