#include "hostapp/cli_commands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <ostream>
#include <sstream>

#include "core/persisted_settings.h"
#include "core/print_size.h"
#include "hostapi/constants.h"
#include "hostapp/cli_help.h"
#include "hostapp/json_text.h"
#include "imagefiles/file_bytes.h"
#include "imagefiles/image_files.h"
#include "imagefiles/image_rows.h"
#include "hostapp/row_pipeline.h"
#include "hostapp/streamed_rows.h"
#include "hostapp/message_line.h"
#include "hostapp/pipl_reader.h"
#include "hostapp/print_resolution.h"
#include "hostapp/version.h"
#include "core/settings_format.h"

namespace {

constexpr int kExitRun = 1;
constexpr int kExitUsage = 2;

int fail(std::ostream& err, int code, const std::string& message) {
  err << "inkjet: " << messageLine(message) << "\n";
  return code;
}

int failFile(std::ostream& err, const FileStatus& status) {
  return fail(err, status.kind == FileErrorKind::usage ? kExitUsage : kExitRun, status.message);
}

std::string ppiText(double ppi) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", ppi);
  return text;
}

// The resolution for one side of the stored picture, for a print of `millimetres`.
int setSide(const char* side, int32 pixels, double millimetres, Fixed* resolution,
            std::ostream& err) {
  PrintResolutionStatus status = resolutionForPrintSize(pixels, millimetres, resolution);
  if (status != PrintResolutionStatus::found) {
    return fail(err, kExitUsage,
                std::string("a print ") + side + " of " + millimetreText(millimetres) + " mm " +
                    (status == PrintResolutionStatus::tooSmall   ? "is too small"
                     : status == PrintResolutionStatus::tooLarge ? "is too large"
                                                                 : "cannot be reached exactly") +
                    " for " + std::to_string(pixels) + " pixels");
  }
  // A print reduced to the largest the filter takes must not land a hair above it in single
  // precision, where the filter would take it for a larger print and choose the eye distance
  // itself; a finer resolution prints a hair less.
  while (millimetres >= kMaxPrintMillimetres &&
         printMillimetres(pixels, *resolution) > float(kMaxPrintMillimetres) &&
         *resolution < INT32_MAX) {
    ++*resolution;
  }
  return 0;
}

int describePrint(const CliRequest& request, const Raster& raster, PreparedRun* run,
                  std::ostream& err) {
  DocumentDescription* d = &run->document.description;
  double horizontal = raster.resolution.known ? raster.resolution.horizontal : request.resolution;
  double vertical = raster.resolution.known ? raster.resolution.vertical : request.resolution;
  // Print sizes are of the picture as displayed; the document is the picture as stored.
  const bool swapped = raster.metadata.swapsSides();
  const PrintRequest& asked = request.print;
  // A print size replaces the file's resolution; without one the resolution must be usable.
  bool sized = asked.hasPaper || asked.width > 0 || asked.height > 0;
  if (!fixedResolution(horizontal, &d->horizontalResolution) ||
      !fixedResolution(vertical, &d->verticalResolution)) {
    if (!sized) {
      return fail(err, kExitRun,
                  request.input + ": the file's resolution (" + ppiText(horizontal) + " x " +
                      ppiText(vertical) +
                      " ppi) is beyond what the filter takes; give the print size with "
                      "--print-width or --print-height");
    }
  }
  std::string problem;
  if (!planPrint(asked, swapped ? d->height : d->width, swapped ? d->width : d->height,
                 swapped ? vertical : horizontal, swapped ? horizontal : vertical,
                 kMaxPrintMillimetres, &run->print, &problem)) {
    return fail(err, kExitUsage, problem);
  }
  if (!run->print.sized) return 0;
  const PrintSize& size = run->print.size;
  int code = setSide(swapped ? "height" : "width", d->width, swapped ? size.height : size.width,
                     &d->horizontalResolution, err);
  return code != 0 ? code
                   : setSide(swapped ? "width" : "height", d->height,
                             swapped ? size.width : size.height, &d->verticalResolution, err);
}

int checkRegistration(const CliPlatform& platform, int16 mode, std::ostream& err) {
  FilterRegistration registration;
  std::string problem;
  if (!readFilterRegistration(platform.propertyList.data(), platform.propertyList.size(),
                              registration, problem)) {
    return fail(err, kExitRun, "the filter module cannot be used: " + problem);
  }
  if (!filterEnabledFor(registration, EnableContext{mode, 8})) {
    return fail(err, kExitRun, "the filter is not available for this image mode");
  }
  return 0;
}

int collectSettings(const CliRequest& request, PreparedRun* run, std::ostream& err) {
  int32 values[kCliSettingCount] = {};
  bool given[kCliSettingCount] = {};
  if (!request.settingsFile.empty()) {
    SharpenSettings settings{};
    std::string signature;
    SettingsStatus status = readSettingsFile(request.settingsFile.c_str(), settings, signature);
    if (status != SettingsStatus::Loaded) {
      return fail(err, kExitRun,
                  request.settingsFile + (status == SettingsStatus::Foreign
                                              ? ": not an Inkjet settings file"
                                              : ": cannot be read"));
    }
    for (int index = 0; index < kCliSettingCount; ++index) {
      values[index] = settings.*kPersistedSettings[index].field;
      given[index] = true;
    }
  }
  for (int index = 0; index < kCliSettingCount; ++index) {
    if (request.settingGiven[index]) {
      values[index] = request.settings[index];
      given[index] = true;
    }
  }
  // A print reduced to the filter's largest is still seen from as far as the print asked
  // for, unless the eye distance is given.
  const PrintPlan& print = run->print;
  const int32 tier = eyeDistanceTier(float(print.asked.width), float(print.asked.height));
  const int eye = int(&persistedSetting(&SharpenSettings::eyeDistance) - kPersistedSettings);
  if (print.reduced && !given[eye] && tier != 0) {
    values[eye] = tier;
    given[eye] = true;
    run->print.warnings.back() +=
        "; eye distance " + std::to_string(tier) + " as for the print asked for";
  }
  for (int index = 0; index < kCliSettingCount; ++index) {
    if (given[index]) {
      run->replay.push_back(
          DescriptorItem{kPersistedSettings[index].descriptorKey, kIntegerType, values[index]});
    }
  }
  run->hasReplay = !run->replay.empty();
  return 0;
}

int chooseColors(const CliRequest& request, const CliPlatform& platform, const Raster& raster,
                 PreparedRun* run, std::ostream& err) {
  bool formula = request.colorEngine == ColorEngineChoice::formula ||
                 (!platform.lcmsAvailable && !request.colorEngineGiven);
  if (formula) {
    run->colors = makeFormulaColorEngine();
    return 0;
  }
  if (!platform.lcmsAvailable) {
    return fail(err, kExitUsage,
                "this build has no LittleCMS colour engine; use --color-engine formula");
  }
#ifndef _WIN32
  std::string problem;
  std::unique_ptr<ColorEngine> lcms =
      makeLcmsColorEngine(raster.iccProfile, int16(raster.mode), &problem);
  if (lcms == nullptr) return fail(err, kExitRun, request.input + ": " + problem);
  run->colors = std::move(lcms);
#else
  (void)raster;
#endif
  return 0;
}

int checkNotInput(const CliRequest& request, std::ostream& err) {
  if (request.command == CliCommand::sharpen && sameFile(request.input, request.output)) {
    return fail(err, kExitUsage,
                request.output + " is the input file " + request.input +
                    ", which is never changed: choose another output name");
  }
  return 0;
}

// The document for a picture read (or only described, when it streams); `warn` says the print
// warnings where the build has no summary line to say them.
int prepareDocument(const CliRequest& request, const CliPlatform& platform, const Raster* raster,
                    PreparedRun* run, bool warn, std::ostream& err) {
  DocumentDescription& d = run->document.description;
  d.width = raster->width;
  d.height = raster->height;
  d.mode = int16(raster->mode);
  d.extraPlanes = int16(raster->extraChannels);
  run->sidesSwapped = raster->metadata.swapsSides();
  int code = describePrint(request, *raster, run, err);
  if (code == 0) code = checkRegistration(platform, d.mode, err);
  if (code == 0) code = collectSettings(request, run, err);
  if (code == 0) code = chooseColors(request, platform, *raster, run, err);
  // The report carries them itself; sharpen says them with its summary.
  if (code == 0 && warn && !request.silent && platform.summary == nullptr) {
    for (const std::string& warning : run->print.warnings)
      err << "inkjet: warning: " << warning << "\n";
  }
  return code;
}

int prepareRun(const CliRequest& request, const CliPlatform& platform, Raster* raster,
               PreparedRun* run, bool warn, std::ostream& err) {
  int code = checkNotInput(request, err);
  if (code != 0) return code;
  FileStatus status = readImageFile(request.input, *raster);
  if (!status.ok()) return failFile(err, status);
  if (request.command != CliCommand::report) {
    status = checkOutputFormat(request.output, raster->mode, raster->extraChannels);
    if (!status.ok()) return failFile(err, status);
  }
  return prepareDocument(request, platform, raster, run, warn, err);
}

// Sharpen's bar on a terminal: reading, filtering and writing fill a third of it each. A whole
// run reads before the filter and writes after it; a streamed one does all three at once. The
// bar is ended before anything else is said.
class CommandProgress {
 public:
  explicit CommandProgress(const CliRequest& request)
      : wanted_(!request.quiet && !request.silent && ProgressServices::stderrIsTerminal()) {}

  void filtered(int32 done, int32 total) {
    if (total > 0) filtered_ = double(done) / double(total);
    update();
  }
  void rows(int32 read, int32 written, int32 height) {
    if (height <= 0) return;
    read_ = double(read) / height;
    written_ = double(written) / height;
    update();
  }
  void readWhole() { read_ = 1; }
  void writtenWhole() {
    written_ = 1;
    update();
  }
  void finish() { bar_.finish(); }

 private:
  void update() {
    if (wanted_) bar_.show((read_ + filtered_ + written_) / 3);
  }
  bool wanted_;
  ProgressBar bar_;
  double read_ = 0;
  double filtered_ = 0;
  double written_ = 0;
};

// What a streamed run returns when it finds it cannot stream after all.
constexpr int kRunAgainWhole = -1;

// The filter run on the document; the host, with its copy of the unfiltered pixels, is gone
// before the caller writes the result. With the dialog, `summary` receives the settings used.
// A streamed run takes its pixels from `rows` and completes the output; one whose rows were
// lost (a request reached back above rows already written) returns kRunAgainWhole having said
// nothing.

int runFilter(const CliRequest& request, const CliPlatform& platform, PreparedRun* run,
              StreamedRows* rows, CommandProgress* progress, std::ostream& summary,
              std::ostream& said, std::ostream& err) {
  HostServices services;
  services.colors = run->colors.get();
  services.progress = [progress](int32 done, int32 total) { progress->filtered(done, total); };
  FilterHost host(platform.entry, &run->document, services);
  host.streamRows(rows);
  if (rows != nullptr) {
    const int32 height = run->document.description.height;
    rows->reportTo(
        [progress, height](int32 read, int32 written) { progress->rows(read, written, height); });
  }
  RunRequest runRequest;
  runRequest.replay = run->hasReplay ? &run->replay : nullptr;
  runRequest.withDialog = request.command == CliCommand::dialog;
  RunResult result = host.run(runRequest);
  if (rows != nullptr && result.failedSelector == 0) {
    FileStatus status = rows->finish();
    progress->finish();
    if (!status.ok()) return failFile(err, status);
  }
  if (rows != nullptr || result.failedSelector != 0) progress->finish();
  if (rows != nullptr && result.failedSelector != 0) {
    if (rows->lost()) return kRunAgainWhole;
    if (!rows->status().ok()) return failFile(err, rows->status());
  }
  if (request.stats) {
    err << "inkjet: colour calls " << host.colorCalls() << ", continue calls "
        << host.continueCalls();
    if (rows != nullptr) err << ", streamed with at most " << rows->mostRows() << " rows held";
    err << "\n";
  }
  if (result.failedSelector != 0 && result.result == userCanceledErr && runRequest.withDialog) {
    return fail(err, kExitRun, "cancelled in the dialog; " + request.output + " was not written");
  }
  if (result.failedSelector != 0) {
    return fail(err, kExitRun,
                "the filter failed with error " + std::to_string(result.result) + " (selector " +
                    std::to_string(result.failedSelector) + ")");
  }
  if (runRequest.withDialog) platform.dialog.describe(host, summary);
  if (platform.summary != nullptr) platform.summary(request, host, *run, said);
  return 0;
}

// Saved the way the input was, unless the command line says otherwise.
WriteOptions writeOptionsFor(const CliRequest& request, const Raster& raster) {
  WriteOptions options;
  const StorageHints& stored = raster.storedAs;
  options.jpegQuality = request.jpegQuality > 0  ? request.jpegQuality
                        : stored.jpegQuality > 0 ? stored.jpegQuality
                                                 : 95;
  options.jpegSubsampling = request.jpegSubsampling > 0  ? request.jpegSubsampling
                            : stored.jpegSubsampling > 0 ? stored.jpegSubsampling
                                                         : 444;
  options.tiffCompression = stored.tiffCompression;
  return options;
}

int sharpen(const CliRequest& request, const CliPlatform& platform, PreparedRun* run,
            Raster* raster, std::ostream& out, std::ostream& err) {
  run->document.pixels = std::move(raster->pixels);
  std::ostringstream summary, said;
  CommandProgress progress(request);
  progress.readWhole();
  int code = runFilter(request, platform, run, nullptr, &progress, summary, said, err);
  if (code != 0) return code;
  raster->pixels = std::move(run->document.pixels);
  FileStatus status = writeImageFile(request.output, *raster, writeOptionsFor(request, *raster));
  if (status.ok()) progress.writtenWhole();
  progress.finish();
  if (!status.ok()) return failFile(err, status);
  err << said.str();
  out << summary.str();
  return 0;
}

// Sharpen without holding the picture: rows are read as the tiles ask for them and written as
// soon as the tiles covering them are done (hostapp/streamed_rows.h). Returns kRunAgainWhole,
// having said and written nothing, for what runs whole instead:
//  - the dialog, whose preview samples the whole picture at any scale;
//  - files whose format or layout has no row reader or writer (BMP, plain-text PNM, progressive
//    JPEG, interlaced PNG or one with chunks after its pixels, TIFF palettes and separate planes:
//    see imagefiles/image_rows.h), which includes every 16-bit file, whose result is carried
//    back against the full-depth original;
//  - a file that cannot be opened or read as expected, so that the error is the whole reader's;
//  - a filter whose requests reach back above rows already written.
// The EXIF orientation needs nothing: the document holds the stored pixels whichever way
// they are displayed. Metadata is added to the finished file by the writer.
int sharpenStreamed(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
                    std::ostream& err, bool* warned) {
  if (request.command != CliCommand::sharpen || !platform.streaming) return kRunAgainWhole;
  std::unique_ptr<ImageRowReader> reader;
  std::string whyNot;
  if (!openImageRowReader(request.input, reader, &whyNot).ok() || !reader) return kRunAgainWhole;
  const Raster picture = reader->description();
  std::unique_ptr<ImageRowWriter> writer;
  if (!checkOutputFormat(request.output, picture.mode, picture.extraChannels).ok())
    return kRunAgainWhole;
  FileStatus status = openImageRowWriter(request.output, picture, writeOptionsFor(request, picture),
                                         writer, &whyNot);
  if (!status.ok() || !writer) return kRunAgainWhole;
  // The file is decoded ahead of the filter and encoded behind it.
  reader = pipelinedReader(std::move(reader));
  writer = pipelinedWriter(std::move(writer), picture.rowBytes());
  PreparedRun run;
  int code = prepareDocument(request, platform, &picture, &run, true, err);
  *warned = true;
  if (code != 0) return code;
  StreamedRows rows(reader.get(), request.input, writer.get(), request.output);
  std::ostringstream summary, said;
  CommandProgress progress(request);
  code = runFilter(request, platform, &run, &rows, &progress, summary, said, err);
  if (code != 0) return code;
  err << said.str();
  out << summary.str();
  return 0;
}

}  // namespace

namespace {

int runCommand(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
               std::ostream& err);

}  // namespace

// What went to stdout counts only once it is written: a full disk or a closed pipe behind it
// fails the command, as a failed file write would.
int runCliCommand(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
                  std::ostream& err) {
  const int code = runCommand(request, platform, out, err);
  out.flush();
  if (code == 0 && !out) return fail(err, kExitRun, "cannot write to standard output");
  return code;
}

namespace {

// One file: read, prepared and sharpened or reported.
int runFile(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
            std::ostream& err) {
  // The host's own copies (the unfiltered source, the tile buffers) can outgrow the machine
  // on a very large document; that ends the run with an error, never an abort.
  try {
    int code = checkNotInput(request, err);
    if (code != 0) return code;
    bool warned = false;
    code = sharpenStreamed(request, platform, out, err, &warned);
    if (code != kRunAgainWhole) return code;
    Raster raster;
    PreparedRun run;
    code = prepareRun(request, platform, &raster, &run, !warned, err);
    if (code != 0) return code;
    if (request.command == CliCommand::report) {
      return platform.report(request, platform, &run, out, err);
    }
    return sharpen(request, platform, &run, &raster, out, err);
  } catch (const std::bad_alloc&) {
    return fail(err, kExitRun, "out of memory for this image");
  }
}

// The message of the last error line in what a run said, without the program's name.
std::string lastError(const std::string& said) {
  const std::string prefix = "inkjet: ";
  std::string message;
  std::istringstream lines(said);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) == 0 && line.rfind(prefix + "warning: ", 0) != 0) {
      message = line.substr(prefix.size());
    }
  }
  return message;
}

// report IN...: each file in turn, one that fails leaving the others alone; the exit code is
// the worst. Under --json one file gives its object and several an array of them, with an
// error object in place of a file that failed; as text, the reports one after the other.
int reportEach(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
               std::ostream& err) {
  const bool several = request.inputs.size() > 1;
  if (request.json && several) out << "[\n";
  int worst = 0;
  bool told = false;
  for (size_t index = 0; index < request.inputs.size(); ++index) {
    CliRequest one = request;
    one.input = request.inputs[index];
    std::ostringstream report, said;
    const int code = runFile(one, platform, report, said);
    err << said.str() << std::flush;
    worst = std::max(worst, code);
    if (request.json) {
      std::string object =
          code == 0 ? report.str() : jsonError(&one.input, lastError(said.str()), code);
      if (!object.empty() && object.back() == '\n') object.pop_back();
      out << (index > 0 ? ",\n" : "") << object;
      continue;
    }
    if (code != 0) continue;
    if (told) out << "\n";
    if (several && request.statusLines) out << one.input << "\n";
    out << report.str();
    told = true;
  }
  if (request.json) out << (several ? "\n]\n" : "\n");
  return worst;
}

int runCommand(const CliRequest& request, const CliPlatform& platform, std::ostream& out,
               std::ostream& err) {
  if (request.command == CliCommand::help) {
    out << cliHelpText();
    return 0;
  }
  if (request.command == CliCommand::version) {
    out << "inkjet " << inkjetVersion() << "\n";
    return 0;
  }
  if (platform.setThreads != nullptr) platform.setThreads(request.threads);
  if (request.command == CliCommand::report && platform.report == nullptr) {
    return fail(err, kExitUsage, "report is available in the native inkjet tool only");
  }
  std::shared_ptr<void> display;
  if (request.command == CliCommand::dialog) {
    if (!platform.dialog.open) {
      return fail(err, kExitUsage, "dialog needs the native inkjet tool built with X11");
    }
    std::string problem;
    display = platform.dialog.open(&problem);
    if (!display) return fail(err, kExitUsage, "dialog needs a display: " + problem);
  }
  readLimits().maxPixels =
      request.maxPixels > 0 ? uint64_t(request.maxPixels) : kDefaultReadLimits.maxPixels;
  if (request.command == CliCommand::report) return reportEach(request, platform, out, err);
  return runFile(request, platform, out, err);
}

}  // namespace

int refuseCommandLine(const std::vector<std::string>& args, const std::string& problem,
                      std::ostream& out, std::ostream& err) {
  const std::string message = messageLine(problem);
  err << "inkjet: " << message << "\n";
  if (jsonRequested(args)) out << jsonError(nullptr, message, kExitUsage) << "\n" << std::flush;
  return kExitUsage;
}
