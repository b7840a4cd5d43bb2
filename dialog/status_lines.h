// The main dialog's four status labels: they show the report of the latest settings change (the
// fourth in the colour the report chose, set before the text because setting the text redraws
// the label at once). Outside the dialog nothing is shown. Missing labels are skipped. The
// labels belong to the dialog; this step only sets their colour and text.
#pragma once

#include "core/status_report.h"

struct FilterParameters;

// Shows `report` in FilterParameters' statusLabels when dialogActive is non-zero.
void showStatusReport(FilterParameters* parameters, const StatusReport& report);
