#include "hostapp/selector_command.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "hostapp/module_session.h"

namespace {

struct SelectorRun {
  DocumentDescription document;
  HandleOptions handles;
  std::vector<int16> selectors;
};

bool parseInteger(const std::string& text, long minimum, long maximum, long* value) {
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && *value >= minimum && *value <= maximum;
}

bool parseHandles(const std::string& kind, HandleOptions* options) {
  if (kind == "none") {
    options->offered = false;
  } else if (kind == "version2") {
    options->version = 2;
  } else if (kind == "count6") {
    options->count = 6;
  } else if (kind == "no-lock") {
    options->withLockAndUnlock = false;
  } else {
    return kind == "default";
  }
  return true;
}

bool parseSize(const std::string& text, DocumentDescription* document) {
  size_t cross = text.find('x');
  long width = 0;
  long height = 0;
  if (cross == std::string::npos || !parseInteger(text.substr(0, cross), 1, 30000, &width) ||
      !parseInteger(text.substr(cross + 1), 1, 30000, &height)) {
    return false;
  }
  document->width = int32(width);
  document->height = int32(height);
  return true;
}

// Reads one option and its value at args[*index]; false on anything it does not know.
bool parseOption(const std::vector<std::string>& args, size_t* index, SelectorRun* run) {
  const std::string& name = args[*index];
  if (*index + 1 >= args.size()) {
    return false;
  }
  const std::string& value = args[++*index];
  long number = 0;
  if (name == "--handles") {
    return parseHandles(value, &run->handles);
  }
  if (name == "--fail-allocation" && parseInteger(value, 1, 1000000, &number)) {
    run->handles.failAllocation = int(number);
    return true;
  }
  if (name == "--mode" && parseInteger(value, 0, 17, &number)) {
    run->document.mode = int16(number);
    return true;
  }
  return name == "--size" && parseSize(value, &run->document);
}

bool parseRun(const std::vector<std::string>& args, SelectorRun* run, std::string* problem) {
  run->document.width = 64;
  run->document.height = 48;
  for (size_t index = 0; index < args.size(); ++index) {
    long selector = 0;
    if (args[index].rfind("--", 0) == 0) {
      if (!parseOption(args, &index, run)) {
        *problem = "bad option or value: " + args[index];
        return false;
      }
    } else if (parseInteger(args[index], -32768, 32767, &selector)) {
      run->selectors.push_back(int16(selector));
    } else {
      *problem = "not a selector: " + args[index];
      return false;
    }
  }
  if (run->selectors.empty()) {
    *problem = "no selectors given";
  }
  return !run->selectors.empty();
}

void printCall(std::ostream& out, int16 selector, int16 result, ModuleSession& session) {
  char data[32];
  std::snprintf(data, sizeof(data), "0x%llx", static_cast<unsigned long long>(session.dataSlot()));
  out << "selector " << selector << ": result " << result << ", data " << data << ", allocations "
      << session.handles().allocations() << ", live " << session.handles().liveHandles()
      << ", locked " << session.handles().lockedHandles() << "\n";
}

}  // namespace

int runSelectorCommand(FilterEntryProc entry, const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err) {
  SelectorRun run;
  std::string problem;
  if (!parseRun(args, &run, &problem)) {
    err << "selectors: " << problem << "\n";
    return 2;
  }
  ModuleSession session(entry, run.document, run.handles);
  for (int16 selector : run.selectors) {
    int16 result = selector == 0 ? session.callAbout() : session.call(selector);
    printCall(out, selector, result, session);
  }
  return 0;
}
