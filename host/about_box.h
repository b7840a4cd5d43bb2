// The About selector: opens "ABOUTDIALOG" from the module's resources, owned by the host's main
// window, and reports a dialog failure when it cannot be shown. It creates no record and touches
// neither the host's data slot nor the result code; a window that failed while it was open
// comes back as DialogAbandoned, for the entry point to report. `about` may be null (no owner
// then).
#pragma once

#include "hostapi/about_record.h"
#include "platform/win32.h"

void showAbout(const AboutRecord* about);
