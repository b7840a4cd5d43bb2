// The commands of `inkjet` and `inkjet-host.exe` once the command line is parsed: read the
// image, describe it to the filter as a host document (print size through its resolution,
// settings as a replayed recorded action), check that the filter's property list enables it
// for the document, run the filter and write the result atomically. Errors are one line on
// `err` beginning "inkjet: "; the result is the exit code: 0 success, 1 a file or run error,
// 2 a usage error. Nothing is written to OUTPUT unless the whole run succeeded.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "hostapi/entry_point.h"
#include "hostapp/cli_options.h"
#include "hostapp/filter_run.h"
#include "hostapp/print_units.h"

struct CliPlatform;

// Shared by sharpen and report: the document and the host services of one run.
struct PreparedRun {
  PixelDocument document;
  std::unique_ptr<ColorEngine> colors;
  RecordedAction replay;
  bool hasReplay = false;
  // The picture is displayed turned a quarter (EXIF orientation 5..8): the document holds the
  // stored pixels, whose width is the displayed height.
  bool sidesSwapped = false;
  PrintPlan print;  // the print the filter is told, as displayed, with the host's warnings
};

// What a finished run did, in one line on `err`, and its warnings in words.
using RunSummary = void (*)(const CliRequest& request, FilterHost& host,
                            const PreparedRun& prepared, std::ostream& err);

using ReportCommand = int (*)(const CliRequest& request, const CliPlatform& platform,
                              PreparedRun* prepared, std::ostream& out, std::ostream& err);

// The dialog command's display: open() returns what keeps it open (released when the run is
// over), or null with the problem; describe() writes the settings a run used, as options.
struct DialogDisplay {
  std::function<std::shared_ptr<void>(std::string* problem)> open;
  std::function<void(FilterHost& host, std::ostream& out)> describe;
};

struct CliPlatform {
  FilterEntryProc entry = nullptr;
  std::vector<uint8> propertyList;  // the module's PiPL resource bytes
  bool lcmsAvailable = false;       // the lcms colour engine exists in this build
  ReportCommand report = nullptr;   // the report command, where the build has one
  RunSummary summary = nullptr;     // sharpen's summary line, where the build has one
  DialogDisplay dialog;             // the dialog command, where the build has a display
  // The module's thread count for its tiles (0: the machine's cores), where the module has the
  // call; every command sets it from --threads before the module runs.
  void(HOSTAPI_CALL* setThreads)(int32 count) = nullptr;
  // Whether sharpen may stream files that allow it; false runs every picture whole (the
  // tests compare the two).
  bool streaming = true;
};

int runCliCommand(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
                  std::ostream& err);

// A command line that parseCommandLine refused with `problem`: the error line on `err` and,
// when the words ask for report --json, the error object on `out`. The result is the exit
// code, 2.
int refuseCommandLine(const std::vector<std::string>& args, const std::string& problem,
                      std::ostream& out, std::ostream& err);

#ifndef _WIN32
// Native only: the settings the module established in the last run, as the options of
// `sharpen` that give the same result, on one line.
void describeEstablishedSettings(FilterHost& host, std::ostream& out);

// Native only: sharpen's one line per file and its warnings.
void summarizeRun(const CliRequest& request, FilterHost& host, const PreparedRun& prepared,
                  std::ostream& err);

// Native only: the report command (what the filter will do), after the document is prepared.
int runReportCommand(const CliRequest& request, const CliPlatform& platform, PreparedRun* prepared,
                     std::ostream& out, std::ostream& err);
#endif
