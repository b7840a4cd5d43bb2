#include "dialog/status_lines.h"

#include "controls/text_label.h"
#include "host/filter_parameters.h"

namespace {

// Lines are handed over as an argument, never as the label's format, so no text can be taken
// for a conversion.
void showLine(TextLabel* label, const char* line) {
  if (label != nullptr) label->setText("%s", line);
}

}  // namespace

void showStatusReport(FilterParameters* parameters, const StatusReport& report) {
  if (parameters->dialogActive == 0) return;
  TextLabel** labels = parameters->statusLabels;
  showLine(labels[0], report.resolutionLine);
  showLine(labels[1], report.printingLine);
  showLine(labels[2], report.sizeLine);
  if (labels[3] != nullptr)
    labels[3]->setColor(report.fourthColor.red, report.fourthColor.green, report.fourthColor.blue);
  showLine(labels[3], report.fourthLine);
}
