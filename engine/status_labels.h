// The engine's status step: composes the report of one run from its print model and, while the
// main dialog is open, shows it in the dialog's four status labels (the fourth in the colour
// the report chose, set before the text because setting the text redraws the label at once).
// Outside the dialog the report is composed and dropped. Missing labels are skipped. The
// labels belong to the dialog; this step only sets their colour and text.
#pragma once

#include "core/status_report.h"

struct FilterParameters;
struct PluginGlobals;

// Shows `report` in FilterParameters' statusLabels when dialogActive is non-zero.
void showStatusReport(FilterParameters* parameters, const StatusReport& report);

// Composes the run's report for the document's mode and the acceleration flag and shows it;
// returns the report.
StatusReport reportStatus(const PluginGlobals& globals, FilterParameters* parameters,
                          const PrintModel& model);
