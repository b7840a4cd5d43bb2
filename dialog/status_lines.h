// The main dialog's four status labels: they show the report of the latest settings change (the
// fourth in the colour the report chose, set before the text because setting the text redraws
// the label at once). Outside the dialog nothing is shown. Missing labels are skipped. The
// labels belong to the dialog; this step only sets their colour and text.
#pragma once

#include "core/status_report.h"

class TextLabel;

constexpr int kStatusLabelCount = 4;

// Shows `report` in `labels` while the dialog is active (`dialogActive`).
void showStatusReport(bool dialogActive, TextLabel* const (&labels)[kStatusLabelCount],
                      const StatusReport& report);
