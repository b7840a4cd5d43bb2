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
