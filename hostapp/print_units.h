// Print sizes as photographers write them: lengths with a unit, paper names, and the fitting of
// a picture onto a sheet. Pure functions, no state.
//
// A length is a decimal number with an optional unit, in any letter case, with or without a
// space: mm (the default), cm, in or " (inches). It must be above 0 and finite.
// A paper is an ISO A0..A6 or B0..B6 name, Letter, Legal or Tabloid, or WxH with an optional
// unit after H that applies to both sides (10x15cm, 13x19in, 210x297); sizes are given with the
// shorter side first, whichever way the text gives them.
#pragma once

#include <string>
#include <vector>

bool parsePrintLength(const std::string& text, double* millimetres);

struct PaperSize {
  double shorter;  // mm
  double longer;   // mm
};

bool parsePaper(const std::string& text, PaperSize* paper);

struct PrintSize {
  double width;   // mm
  double height;  // mm
};

// The largest print of a picture (pixelWidth x pixelHeight as displayed) that fits on `paper`
// turned the picture's way (landscape pictures on the sheet's long side), inside `border` mm on
// every edge, keeping the picture's proportions. False when the border leaves no room.
bool fitOnPaper(const PaperSize& paper, double border, int pixelWidth, int pixelHeight,
                PrintSize* print);

// Scales a print down, proportions kept, until neither side is above `limit` mm; true when it
// had to.
bool reduceToLimit(PrintSize* print, double limit);

// What the command line asks of the print, as the picture is displayed; 0 where not given.
struct PrintRequest {
  double width = 0;        // mm
  double height = 0;       // mm
  bool widthBare = false;  // given as a number without a unit
  bool heightBare = false;
  bool hasPaper = false;
  PaperSize paper{};
  double border = 0;  // mm on every edge of the paper
};

// The print the host gives the filter, as displayed. Without `sized` the document keeps the
// file's own resolution.
struct PrintPlan {
  bool sized = false;
  PrintSize size{};   // what the filter is told, never above the limit
  PrintSize asked{};  // before any reduction
  bool reduced = false;
  std::vector<std::string> warnings;  // in words, one sentence each
};

// A print size from widths, heights or a paper for a picture of pixelWidth x pixelHeight (as
// displayed) whose file gives ppiWidth x ppiHeight. When only one side is given the other
// follows the picture; a whole number of millimetres gives a truncated whole one, as the
// filter records sizes. A print above `limit` mm on either side is reduced proportionally.
// False with a one-line problem when the paper leaves no room.
bool planPrint(const PrintRequest& request, int pixelWidth, int pixelHeight, double ppiWidth,
               double ppiHeight, double limit, PrintPlan* plan, std::string* problem);

// Millimetres as people read them: at most one decimal, none when whole ("297", "297.5").
std::string millimetreText(double millimetres);
