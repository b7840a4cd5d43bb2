#include "dialog/status_lines.h"

#include "controls/text_label.h"

namespace {

// Lines are handed over as an argument, never as the label's format, so no text can be taken
// for a conversion.
void showLine(TextLabel* label, const char* line) {
  if (label != nullptr) label->setText("%s", line);
}

}  // namespace

void showStatusReport(bool dialogActive, TextLabel* const (&labels)[kStatusLabelCount],
                      const StatusReport& report) {
  if (!dialogActive) return;
  showLine(labels[0], report.resolutionLine);
  showLine(labels[1], report.printingLine);
  showLine(labels[2], report.sizeLine);
  if (labels[3] != nullptr)
    labels[3]->setColor(report.fourthColor.red, report.fourthColor.green, report.fourthColor.blue);
  showLine(labels[3], report.fourthLine);
}
