// Print lengths with units, paper names, a picture fitted onto a sheet, and the proportional
// reduction to the filter's largest print.
#include "hostapp/print_units.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintUnits, LengthsInEveryUnit) {
  const struct {
    const char* text;
    double millimetres;  // 0: refused
  } kCases[] = {
      {"297", 297},       {"297mm", 297},     {"297.5", 297.5}, {"29.7cm", 297}, {"29.7 CM", 297},
      {"11.7in", 297.18}, {"11.7\"", 297.18}, {".5in", 12.7},   {"10", 10},      {"0", 0},
      {"-5", 0},          {"1e3", 0},         {"297 m", 0},     {"mm", 0},       {"", 0},
      {"29.7.1cm", 0},    {"inf", 0},         {"12ft", 0},
  };
  for (const auto& c : kCases) {
    double mm = 0;
    const bool parsed = parsePrintLength(c.text, &mm);
    EXPECT_EQ(parsed, c.millimetres > 0) << c.text;
    if (!parsed) continue;
    EXPECT_NEAR(mm, c.millimetres, 1e-9) << c.text;
  }
}

TEST(PrintUnits, PaperNamesAndSizes) {
  const struct {
    const char* text;
    double shorter, longer;  // 0: refused
  } kCases[] = {
      {"A4", 210, 297},
      {"a3", 297, 420},
      {"B5", 176, 250},
      {"Letter", 215.9, 279.4},
      {"legal", 215.9, 355.6},
      {"TABLOID", 279.4, 431.8},
      {"10x15cm", 100, 150},
      {"13x18cm", 130, 180},
      {"8x10in", 203.2, 254},
      {"13x19in", 330.2, 482.6},
      {"297x210", 210, 297},
      {"297 x 210 mm", 210, 297},
      {"A7", 0, 0},
      {"10x", 0, 0},
      {"x15", 0, 0},
      {"10x15ft", 0, 0},
      {"0x15", 0, 0},
  };
  for (const auto& c : kCases) {
    PaperSize paper{};
    const bool parsed = parsePaper(c.text, &paper);
    EXPECT_EQ(parsed, c.shorter > 0) << c.text;
    if (!parsed) continue;
    EXPECT_NEAR(paper.shorter, c.shorter, 1e-9) << c.text;
    EXPECT_NEAR(paper.longer, c.longer, 1e-9) << c.text;
  }
}

TEST(PrintUnits, APictureFitsTheSheetInItsOwnOrientation) {
  const PaperSize a4{210, 297};
  const PaperSize inches13x19{330.2, 482.6};
  const struct {
    PaperSize paper;
    double border;
    int width, height;
    double printWidth, printHeight;  // 0: refused
  } kCases[] = {
      {a4, 0, 3000, 2000, 297, 198},  // landscape 3:2: the long side limits
      {a4, 0, 2000, 3000, 198, 297},  // portrait
      {a4, 0, 3000, 1000, 297, 99},   // panorama
      {a4, 0, 2000, 2000, 210, 210},  // square: the short side limits
      {a4, 10, 3000, 2000, 277, 184.6666666666667},
      {inches13x19, 0, 6000, 4000, 482.6, 321.7333333333333},
      {a4, 105, 3000, 2000, 0, 0},  // the border leaves nothing
  };
  for (const auto& c : kCases) {
    PrintSize print{};
    const bool fitted = fitOnPaper(c.paper, c.border, c.width, c.height, &print);
    EXPECT_EQ(fitted, c.printWidth > 0) << c.width << "x" << c.height;
    if (!fitted) continue;
    EXPECT_NEAR(print.width, c.printWidth, 1e-9) << c.width << "x" << c.height;
    EXPECT_NEAR(print.height, c.printHeight, 1e-9) << c.width << "x" << c.height;
  }
}

TEST(PrintUnits, LargePrintsAreReducedProportionally) {
  const struct {
    PrintSize print;
    bool reduced;
    PrintSize expected;
  } kCases[] = {
      {{900, 600}, true, {600, 400}},
      {{400, 900}, true, {266.6666666666667, 600}},
      {{600, 600}, false, {600, 600}},
      {{297, 210}, false, {297, 210}},
  };
  for (const auto& c : kCases) {
    PrintSize print = c.print;
    EXPECT_EQ(reduceToLimit(&print, 600), c.reduced) << c.print.width;
    EXPECT_NEAR(print.width, c.expected.width, 1e-9);
    EXPECT_NEAR(print.height, c.expected.height, 1e-9);
  }
}

}  // namespace

// What the command line's sizes and papers give the filter, for a 3000 x 2000 picture (or
// its portrait turn) whose file says 300 ppi.
TEST(PrintUnits, ThePrintTheFilterIsTold) {
  PrintRequest a4;
  a4.hasPaper = true;
  a4.paper = {210, 297};
  PrintRequest a4Border = a4;
  a4Border.border = 10;
  PrintRequest tabloidBorder;
  tabloidBorder.hasPaper = true;
  tabloidBorder.paper = {330.2, 482.6};  // 13x19in
  tabloidBorder.border = 10;
  PrintRequest noRoom = a4;
  noRoom.border = 105;
  auto width = [](double mm, bool bare) {
    PrintRequest r;
    r.width = mm;
    r.widthBare = bare;
    return r;
  };
  PrintRequest height;
  height.height = 100;
  PrintRequest both;
  both.width = 900;
  both.height = 450;
  const struct {
    const char* name;
    PrintRequest request;
    int pixelWidth, pixelHeight;
    double ppi;
    bool ok, sized;
    double printWidth, printHeight;
    const char* warning;  // a part of the one warning expected, or null for none
  } kCases[] = {
      {"whole width, height truncated", width(297, true), 3000, 2000, 300, true, true, 297, 198,
       nullptr},
      {"decimal width", width(297.5, false), 3000, 2000, 300, true, true, 297.5, 198.3333333333,
       nullptr},
      {"height only", height, 3000, 2000, 300, true, true, 150, 100, nullptr},
      {"A4 landscape picture", a4, 3000, 2000, 300, true, true, 297, 198, nullptr},
      {"A4 portrait picture", a4, 2000, 3000, 300, true, true, 198, 297, nullptr},
      {"A4 with a border", a4Border, 3000, 2000, 300, true, true, 277, 184.6666666667, nullptr},
      {"13x19in with a border", tabloidBorder, 3000, 2000, 300, true, true, 462.6, 308.4, nullptr},
      {"a border leaving no room", noRoom, 3000, 2000, 300, false, false, 0, 0, nullptr},
      {"the file's size", PrintRequest{}, 3000, 2000, 300, true, false, 254, 169.3333333333,
       nullptr},
      {"bare number below 10", width(5, true), 3000, 2000, 300, true, true, 5, 3,
       "--print-width 5 is read as 5 mm; write 5cm or 5in"},
      {"absurd resolution", width(30, true), 3000, 2000, 300, true, true, 30, 20,
       "--print-width 30 mm prints 3000 pixels at 2540 ppi; if the size is in cm or inches, "
       "write 30cm or 30in"},
      {"above 600 mm, proportions kept", width(900, true), 3000, 2000, 300, true, true, 600, 400,
       "a print of 900 x 600 mm is above the largest the filter takes (600 mm): sharpened as "
       "600 x 400 mm, the same proportions"},
      {"both sides given, reduced together", both, 3000, 2000, 300, true, true, 600, 300,
       "sharpened as 600 x 300 mm"},
      {"72 ppi file above 600 mm", PrintRequest{}, 3000, 2000, 72, true, true, 600, 400,
       "a print of 1058.3 x 705.6 mm"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PrintPlan plan;
    std::string problem;
    ASSERT_EQ(planPrint(c.request, c.pixelWidth, c.pixelHeight, c.ppi, c.ppi, 600, &plan, &problem),
              c.ok);
    if (!c.ok) {
      EXPECT_EQ(problem, "a border of 105 mm leaves no room on a 210 x 297 mm paper");
      continue;
    }
    EXPECT_EQ(plan.sized, c.sized);
    EXPECT_NEAR(plan.size.width, c.printWidth, 1e-6);
    EXPECT_NEAR(plan.size.height, c.printHeight, 1e-6);
    ASSERT_EQ(plan.warnings.size(), c.warning != nullptr ? 1u : 0u);
    if (c.warning != nullptr) {
      EXPECT_NE(plan.warnings[0].find(c.warning), std::string::npos) << plan.warnings[0];
    }
  }
}
