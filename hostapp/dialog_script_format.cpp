#include "hostapp/dialog_script_format.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <istream>
#include <sstream>

namespace {

constexpr int kDragStep = 8;
constexpr int kLongestWait = 60000;

struct NamedKey {
  const char* name;
  unsigned code;
};

// Windows' virtual-key codes of the named keys.
constexpr NamedKey kKeys[] = {
    {"enter", 0x0D},     {"escape", 0x1B}, {"tab", 0x09},   {"space", 0x20},
    {"backspace", 0x08}, {"delete", 0x2E}, {"left", 0x25},  {"up", 0x26},
    {"right", 0x27},     {"down", 0x28},   {"comma", 0xBC}, {"period", 0xBE},
};

bool keyCode(const std::string& name, unsigned* code) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    *code = unsigned(std::toupper(static_cast<unsigned char>(name[0])));
    return true;
  }
  for (const NamedKey& key : kKeys)
    if (name == key.name) {
      *code = key.code;
      return true;
    }
  if (name.size() == 4 && name.compare(0, 2, "0x") == 0) {
    char* end = nullptr;
    unsigned long value = std::strtoul(name.c_str() + 2, &end, 16);
    if (*end == '\0' && value > 0) {
      *code = unsigned(value);
      return true;
    }
  }
  return false;
}

ScriptStep pointStep(ScriptStep::Action action, int x, int y) {
  ScriptStep step{action};
  step.x = x;
  step.y = y;
  return step;
}

void addDrag(int x1, int y1, int x2, int y2, std::vector<ScriptStep>* steps) {
  steps->push_back(pointStep(ScriptStep::Action::Press, x1, y1));
  int count =
      std::max(1, (std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + kDragStep - 1) / kDragStep);
  for (int i = 1; i <= count; ++i)
    steps->push_back(pointStep(ScriptStep::Action::Move, x1 + (x2 - x1) * i / count,
                               y1 + (y2 - y1) * i / count));
  steps->push_back(pointStep(ScriptStep::Action::Release, x2, y2));
}

// Reads exactly `count` integers and nothing after them.
bool readNumbers(std::istringstream& words, int count, int* numbers) {
  for (int i = 0; i < count; ++i)
    if (!(words >> numbers[i])) return false;
  std::string rest;
  return !(words >> rest);
}

std::string restOfLine(std::istringstream& words) {
  std::string rest;
  std::getline(words >> std::ws, rest);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.pop_back();
  return rest;
}

// One line's steps; false with the reason.
bool parseLine(const std::string& verb, std::istringstream& words, std::vector<ScriptStep>* steps,
               std::string* reason) {
  int n[4] = {};
  if (verb == "move" || verb == "press" || verb == "release" || verb == "click") {
    if (!readNumbers(words, 2, n)) return (*reason = verb + " takes X Y"), false;
    if (verb == "click" || verb == "press")
      steps->push_back(pointStep(ScriptStep::Action::Press, n[0], n[1]));
    if (verb == "move") steps->push_back(pointStep(ScriptStep::Action::Move, n[0], n[1]));
    if (verb == "click" || verb == "release")
      steps->push_back(pointStep(ScriptStep::Action::Release, n[0], n[1]));
    return true;
  }
  if (verb == "drag") {
    if (!readNumbers(words, 4, n)) return (*reason = "drag takes X1 Y1 X2 Y2"), false;
    addDrag(n[0], n[1], n[2], n[3], steps);
    return true;
  }
  if (verb == "wait") {
    if (!readNumbers(words, 1, n) || n[0] < 0 || n[0] > kLongestWait)
      return (*reason = "wait takes milliseconds from 0 to 60000"), false;
    ScriptStep step{ScriptStep::Action::Wait};
    step.milliseconds = n[0];
    steps->push_back(step);
    return true;
  }
  if (verb == "key") {
    std::string name;
    ScriptStep step{ScriptStep::Action::Key};
    if (!(words >> name) || !keyCode(name, &step.key) || !restOfLine(words).empty())
      return (*reason = "unknown key"), false;
    steps->push_back(step);
    return true;
  }
  if (verb == "screenshot" || verb == "screenshot-front") {
    ScriptStep step{verb == "screenshot" ? ScriptStep::Action::Screenshot
                                         : ScriptStep::Action::ScreenshotFront};
    step.path = restOfLine(words);
    if (step.path.empty()) return (*reason = verb + " takes a file name"), false;
    steps->push_back(step);
    return true;
  }
  *reason = "unknown step \"" + verb + "\"";
  return false;
}

}  // namespace

bool parseDialogScript(std::istream& text, std::vector<ScriptStep>* steps, std::string* problem) {
  steps->clear();
  std::string line;
  for (int number = 1; std::getline(text, line); ++number) {
    std::istringstream words(line);
    std::string verb;
    if (!(words >> verb) || verb[0] == '#') continue;
    std::string reason;
    if (!parseLine(verb, words, steps, &reason)) {
      *problem = "line " + std::to_string(number) + ": " + reason;
      steps->clear();
      return false;
    }
  }
  return true;
}
