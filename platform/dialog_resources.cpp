// Dialog templates read from the module's resource script, resources/dialogs.rc (compiled into
// the binary, platform/embedded_files.h), so that the native build opens the same windows as
// the Windows one without a second list: a template is a line NAME DIALOG x, y, width, height
// followed by a STYLE line of style names joined by '|'.
// Templates declared through registerDialogTemplate take precedence.
#include "platform/embedded_files.h"
#include "platform/stand_in.h"

#include <cctype>
#include <sstream>

using namespace standin;

namespace {

constexpr std::string_view resourceScript = "resources/dialogs.rc";

DWORD styleBit(const std::string& name) {
  static const std::map<std::string, DWORD> bits = {{"WS_POPUP", WS_POPUP},
                                                    {"WS_CHILD", WS_CHILD},
                                                    {"WS_VISIBLE", WS_VISIBLE},
                                                    {"WS_CAPTION", WS_CAPTION},
                                                    {"WS_BORDER", WS_BORDER},
                                                    {"WS_DLGFRAME", WS_DLGFRAME},
                                                    {"WS_SYSMENU", WS_SYSMENU},
                                                    {"WS_THICKFRAME", WS_THICKFRAME},
                                                    {"DS_MODALFRAME", DS_MODALFRAME},
                                                    {"DS_SETFONT", DS_SETFONT},
                                                    {"DS_CENTER", DS_CENTER},
                                                    {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
                                                    {"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
                                                    {"DS_ABSALIGN", DS_ABSALIGN}};
  auto it = bits.find(name);
  return it == bits.end() ? 0 : it->second;
}

DWORD parseStyle(const std::string& text) {
  std::string name;
  DWORD style = 0;
  for (char c : text + "|") {
    if (std::isalnum((unsigned char)c) || c == '_') {
      name += c;
    } else if (!name.empty()) {
      style |= styleBit(name);
      name.clear();
    }
  }
  return style;
}

bool parseHeader(const std::string& line, std::string& name, DialogTemplate& out) {
  std::istringstream words(line);
  std::string type, rest;
  if (!(words >> name >> type) || (type != "DIALOG" && type != "DIALOGEX")) return false;
  std::getline(words, rest);
  char comma;
  std::istringstream numbers(rest);
  return bool(numbers >> out.x >> comma >> out.y >> comma >> out.width >> comma >> out.height);
}

}  // namespace

namespace standin {

const DialogTemplate* findDialogTemplate(const std::string& name) {
  auto registered = dialogTemplates().find(name);
  if (registered != dialogTemplates().end()) return &registered->second;
  static std::map<std::string, DialogTemplate> scripted;
  std::istringstream script{std::string(platform::embeddedFile(resourceScript))};
  std::string line, current;
  DialogTemplate entry;
  while (std::getline(script, line)) {
    std::string header;
    if (parseHeader(line, header, entry)) {
      current = header;
    } else if (!current.empty() && line.rfind("STYLE", 0) == 0) {
      entry.style = parseStyle(line.substr(5));
      if (current == name) return &(scripted[name] = entry);
      current.clear();
    }
  }
  return nullptr;
}

}  // namespace standin
