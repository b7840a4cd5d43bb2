#include "hostapp/print_units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kMillimetresPerInch = 25.4;

std::string lowered(const std::string& text) {
  std::string result;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)))
      result += char(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// A plain decimal number at the start of `text`: digits with at most one point, no sign, no
// exponent (strtod would take "1e3", "inf" and "0x10"). Returns the characters it used, 0 when
// there is none.
size_t readNumber(const std::string& text, double* value) {
  size_t length = 0;
  bool digits = false, point = false;
  for (; length < text.size(); ++length) {
    const char c = text[length];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  *value = std::strtod(text.substr(0, length).c_str(), nullptr);
  return length;
}

// Millimetres per unit of a unit word; 0 for an unknown one. No unit is millimetres.
double unitScale(const std::string& unit) {
  if (unit.empty() || unit == "mm") return 1.0;
  if (unit == "cm") return 10.0;
  if (unit == "in" || unit == "\"") return kMillimetresPerInch;
  return 0.0;
}

struct NamedPaper {
  const char* name;
  double shorter, longer;
};

constexpr NamedPaper kPapers[] = {
    {"a0", 841, 1189},
    {"a1", 594, 841},
    {"a2", 420, 594},
    {"a3", 297, 420},
    {"a4", 210, 297},
    {"a5", 148, 210},
    {"a6", 105, 148},
    {"b0", 1000, 1414},
    {"b1", 707, 1000},
    {"b2", 500, 707},
    {"b3", 353, 500},
    {"b4", 250, 353},
    {"b5", 176, 250},
    {"b6", 125, 176},
    {"letter", 8.5 * kMillimetresPerInch, 11 * kMillimetresPerInch},
    {"legal", 8.5 * kMillimetresPerInch, 14 * kMillimetresPerInch},
    {"tabloid", 11 * kMillimetresPerInch, 17 * kMillimetresPerInch},
};

}  // namespace

bool parsePrintLength(const std::string& text, double* millimetres) {
  const std::string word = lowered(text);
  double value = 0;
  const size_t used = readNumber(word, &value);
  if (used == 0) return false;
  const double scale = unitScale(word.substr(used));
  if (scale == 0 || !(value > 0) || !std::isfinite(value * scale)) return false;
  *millimetres = value * scale;
  return true;
}

bool parsePaper(const std::string& text, PaperSize* paper) {
  const std::string word = lowered(text);
  for (const NamedPaper& named : kPapers) {
    if (word == named.name) {
      *paper = {named.shorter, named.longer};
      return true;
    }
  }
  double first = 0, second = 0;
  const size_t firstLength = readNumber(word, &first);
  if (firstLength == 0 || firstLength >= word.size() || word[firstLength] != 'x') return false;
  const std::string rest = word.substr(firstLength + 1);
  const size_t secondLength = readNumber(rest, &second);
  if (secondLength == 0) return false;
  const double scale = unitScale(rest.substr(secondLength));
  if (scale == 0 || !(first > 0) || !(second > 0)) return false;
  *paper = {std::min(first, second) * scale, std::max(first, second) * scale};
  return std::isfinite(paper->longer);
}

bool fitOnPaper(const PaperSize& paper, double border, int pixelWidth, int pixelHeight,
                PrintSize* print) {
  if (pixelWidth <= 0 || pixelHeight <= 0 || border < 0) return false;
  const bool landscape = pixelWidth > pixelHeight;
  const double roomWidth = (landscape ? paper.longer : paper.shorter) - 2 * border;
  const double roomHeight = (landscape ? paper.shorter : paper.longer) - 2 * border;
  if (!(roomWidth > 0) || !(roomHeight > 0)) return false;
  const double scale = std::min(roomWidth / pixelWidth, roomHeight / pixelHeight);
  *print = {pixelWidth * scale, pixelHeight * scale};
  return true;
}

bool reduceToLimit(PrintSize* print, double limit) {
  const double longest = std::max(print->width, print->height);
  if (!(longest > limit)) return false;
  const double scale = limit / longest;
  print->width *= scale;
  print->height *= scale;
  return true;
}

std::string millimetreText(double millimetres) {
  char text[48];
  std::snprintf(text, sizeof(text), "%.1f", millimetres);
  std::string result = text;
  if (result.size() > 2 && result.compare(result.size() - 2, 2, ".0") == 0)
    result.resize(result.size() - 2);
  return result;
}

namespace {

// Above this a print resolution is no print a person means: a size given in the wrong unit.
constexpr double kAbsurdPpi = 1200.0;

bool whole(double value) { return value == std::floor(value); }

double followingSide(double given, int givenPixels, int otherPixels) {
  const double other = given * (double(otherPixels) / double(givenPixels));
  return whole(given) ? std::trunc(other) : other;
}

void warnAboutUnit(const char* option, double millimetres, bool bare, int pixels,
                   std::vector<std::string>* warnings) {
  const std::string size = millimetreText(millimetres);
  const double ppi = pixels * kMillimetresPerInch / millimetres;
  if (bare && millimetres < 10) {
    warnings->push_back(std::string(option) + " " + size + " is read as " + size + " mm; write " +
                        size + "cm or " + size + "in for another unit");
  } else if (ppi > kAbsurdPpi) {
    warnings->push_back(std::string(option) + " " + size + " mm prints " + std::to_string(pixels) +
                        " pixels at " + std::to_string(long(ppi)) +
                        " ppi; if the size is in cm or inches, write " + size + "cm or " + size +
                        "in");
  }
}

}  // namespace

bool planPrint(const PrintRequest& request, int pixelWidth, int pixelHeight, double ppiWidth,
               double ppiHeight, double limit, PrintPlan* plan, std::string* problem) {
  *plan = PrintPlan{};
  PrintSize size{};
  if (request.hasPaper) {
    if (!fitOnPaper(request.paper, request.border, pixelWidth, pixelHeight, &size)) {
      *problem = "a border of " + millimetreText(request.border) + " mm leaves no room on a " +
                 millimetreText(request.paper.shorter) + " x " +
                 millimetreText(request.paper.longer) + " mm paper";
      return false;
    }
    plan->sized = true;
  } else if (request.width > 0 || request.height > 0) {
    size.width =
        request.width > 0 ? request.width : followingSide(request.height, pixelHeight, pixelWidth);
    size.height =
        request.height > 0 ? request.height : followingSide(request.width, pixelWidth, pixelHeight);
    if (request.width > 0) {
      warnAboutUnit("--print-width", request.width, request.widthBare, pixelWidth, &plan->warnings);
    }
    if (request.height > 0) {
      warnAboutUnit("--print-height", request.height, request.heightBare, pixelHeight,
                    &plan->warnings);
    }
    plan->sized = true;
  } else {
    size = {pixelWidth * kMillimetresPerInch / ppiWidth,
            pixelHeight * kMillimetresPerInch / ppiHeight};
  }
  plan->asked = size;
  plan->reduced = reduceToLimit(&size, limit);
  if (plan->reduced) {
    plan->sized = true;
    plan->warnings.push_back("a print of " + millimetreText(plan->asked.width) + " x " +
                             millimetreText(plan->asked.height) +
                             " mm is above the largest the filter takes (" + millimetreText(limit) +
                             " mm): sharpened as " + millimetreText(size.width) + " x " +
                             millimetreText(size.height) + " mm, the same proportions");
  }
  plan->size = size;
  return true;
}
