// Status report: the four status lines composed from a PrintModel, once for every settings
// change in the dialog and once for the final run, and what the dialog's fourth status label
// shows (text and colour).
// composeStatusReport is pure: it fills a StatusReport by value, with every line in its own
// fixed buffer (each line is far shorter than the buffer, and formatting never overruns it).
// Putting the lines into the dialog's labels is a separate step done only while the dialog is
// open; a run without the dialog composes the report and drops it.
// Numbers are formatted with the C library's printf; the Windows build uses MinGW's ANSI stdio,
// so both builds print the same digits.
#pragma once

#include "hostapi/types.h"

struct PrintModel;

struct LabelColor {
  uint8 red;
  uint8 green;
  uint8 blue;
};

constexpr int statusLineSize = 256;

struct StatusReport {
  char resolutionLine[statusLineSize];  // first label: index and sharpening radius
  char printingLine[statusLineSize];    // second label: the printing-information notice
  char sizeLine[statusLineSize];        // third label: size, print dpi, colour mode, acceleration
  char warningsLine[statusLineSize];    // the warnings, or "No Warnings."
  char fourthLine[statusLineSize];      // what the fourth label shows: warnings or the eye notice
  LabelColor fourthColor;               // colour of the fourth label
};

// imageMode is the host's image mode of the document; acceleration is PluginGlobals'
// flag (non-zero: on); settingsTouched and eyeDistance decide whether the fourth label carries
// the notice that the eye distance was raised for the print size.
StatusReport composeStatusReport(const PrintModel& model, int32 imageMode, int32 acceleration,
                                 int32 settingsTouched, int32 eyeDistance);

// How many reports this process has composed so far. The report belongs to a settings change,
// not to a tile or a repaint, and the tests hold the dialog and the run to that.
long statusReportsComposed();
