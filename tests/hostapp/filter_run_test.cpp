// The host's run of the filter: buffers, write-back and selection, the module's results, and
// the dialog branch of Start as far as it can run natively.
#include "hostapp/filter_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "engine/sharpen.h"
#include "engine/worker_bands.h"
#include "tests/engine/engine_run.h"
#include "host/entry_point.h"
#include "host/filter_parameters.h"
#include "host/plugin_globals.h"
#include "core/print_size.h"
#include "core/status_report.h"
#include "host/tile_walk.h"
#include "hostapi/constants.h"
#include "platform/driver.h"

namespace {

// Neighbouring samples differ, so a shifted row or a swapped plane shows.
PixelDocument patternDocument(int32 width, int32 height, int16 mode, int16 extraPlanes) {
  PixelDocument document;
  document.description.width = width;
  document.description.height = height;
  document.description.mode = mode;
  document.description.extraPlanes = extraPlanes;
  document.pixels.resize(document.byteCount());
  for (size_t i = 0; i < document.pixels.size(); ++i) {
    size_t pixel = i / size_t(document.planes());
    size_t x = pixel % size_t(width), y = pixel / size_t(width);
    document.pixels[i] = uint8((x * 37 + y * 11 + (i % size_t(document.planes())) * 71) % 256 / 3 +
                               ((x / 7 + y / 5) % 2) * 160);
  }
  return document;
}

// The engine applied tile by tile exactly as the walk defines the tiles, without any host:
// each tile gets its request of the source as input, and its core is taken from the output.
std::vector<uint8> sharpenedByTheWalk(const PixelDocument& document) {
  const DocumentDescription& d = document.description;
  FilterRecord record;
  std::memset(static_cast<void*>(&record), 0, sizeof(record));
  record.imageMode = d.mode;
  record.imageSize = Point{int16(d.height), int16(d.width)};
  record.planes = int16(document.planes());
  record.filterRect = effectiveFilterRect(d);
  int16 result = 0;
  PluginGlobals globals{};
  globals.result = &result;
  globals.filterRecord = &record;
  globals.colors.channelsOfMode[plugInModeRGBColor] = 3;
  FilterParameters parameters;
  std::memset(static_cast<void*>(&parameters), 0, sizeof(parameters));
  applyRunDefaults(&parameters);
  parameters.settings =
      SharpenSettings{2,
                      1,
                      2,
                      4,
                      2,
                      1,
                      printSizeField(printMillimetres(d.height, d.verticalResolution)),
                      printSizeField(printMillimetres(d.width, d.horizontalResolution))};
  pointHostViews(&record, &parameters);
  std::vector<uint8> expected = document.pixels;
  size_t planes = size_t(document.planes());
  requestFirstTile(&record, &parameters);
  do {
    const Rect& r = record.outRect;
    size_t rowBytes = size_t(r.right - r.left) * planes;
    std::vector<uint8> input(rowBytes * size_t(r.bottom - r.top));
    for (int32 y = r.top; y < r.bottom; ++y)
      std::memcpy(&input[size_t(y - r.top) * rowBytes],
                  &document.pixels[size_t(y) * document.rowBytes() + size_t(r.left) * planes],
                  rowBytes);
    std::vector<uint8> output = input;
    record.inData = input.data();
    record.outData = output.data();
    record.inRowBytes = record.outRowBytes = int32(rowBytes);
    pointHostViews(&record, &parameters);  // as Continue does for every delivered tile
    EXPECT_EQ(runEngine(&globals, &parameters), 0);
    const Rect& core = parameters.outputPlane.inner;
    for (int32 y = core.top; y < core.bottom; ++y)
      std::memcpy(&expected[size_t(y) * document.rowBytes() + size_t(core.left) * planes],
                  &output[size_t(y - r.top) * rowBytes + size_t(core.left - r.left) * planes],
                  size_t(core.right - core.left) * planes);
  } while (requestNextTile(&record, &parameters));
  return expected;
}

class FilterRunTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::driver::reset(); }
};

TEST_F(FilterRunTest, AWholeRunEqualsTheEngineAppliedTileByTile) {
  struct Case {
    const char* name;
    int16 extraPlanes;
    Rect selection;
  };
  for (const Case& c : {Case{"whole document", 0, Rect{0, 0, 0, 0}},
                        Case{"transparency and a selection", 1, Rect{3, 5, 690, 1290}}}) {
    SCOPED_TRACE(c.name);
    PixelDocument document = patternDocument(1300, 700, plugInModeRGBColor, c.extraPlanes);
    document.description.filterRect = c.selection;
    const std::vector<uint8> source = document.pixels;
    const std::vector<uint8> expected = sharpenedByTheWalk(document);
    FilterHost host(ENTRYPOINT, &document, HostServices());
    RunResult result = host.run(RunRequest{});
    ASSERT_EQ(result.result, noErr);
    EXPECT_EQ(host.continueCalls(), 4);
    EXPECT_NE(document.pixels, source);
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size(); ++i) mismatches += expected[i] != document.pixels[i];
    EXPECT_EQ(mismatches, 0u);
    // Outside the selection, and in the transparency plane, nothing changed.
    Rect area = effectiveFilterRect(document.description);
    size_t planes = size_t(document.planes());
    for (size_t i = 0; i < source.size(); ++i) {
      size_t pixel = i / planes;
      int32 x = int32(pixel % 1300), y = int32(pixel / 1300);
      bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
      if (!inside || i % planes >= 3) {
        ASSERT_EQ(document.pixels[i], source[i]) << i;
      }
    }
  }
}

// The engine's threads wait from tile to tile, and end with the run, finished or failed part
// way (an allocation refused in a later tile).
TEST_F(FilterRunTest, NoEngineThreadOutlivesTheRun) {
  InkjetSetThreads(2);
  const auto runFailing = [](int failing, int32* mostRunning) {
    PixelDocument document = patternDocument(1300, 700, plugInModeRGBColor, 0);
    HostServices services;
    services.handles.failAllocation = failing;
    services.progress = [&](int32, int32) {
      *mostRunning = std::max(*mostRunning, runningEngineThreads());
    };
    FilterHost host(ENTRYPOINT, &document, services);
    RunResult result = host.run(RunRequest{});
    return std::make_pair(result, host.session().handles().allocations());
  };
  int32 mostRunning = 0;
  const auto clean = runFailing(0, &mostRunning);
  ASSERT_EQ(clean.first.result, noErr);
  EXPECT_EQ(mostRunning, 1) << "the threads did not wait between tiles";
  EXPECT_EQ(runningEngineThreads(), 0);
  bool failedWithThreads = false;
  for (int failing = 1; failing <= clean.second; ++failing) {
    SCOPED_TRACE(failing);
    mostRunning = 0;
    const RunResult result = runFailing(failing, &mostRunning).first;
    failedWithThreads |= result.result != noErr && mostRunning > 0;
    EXPECT_EQ(runningEngineThreads(), 0);
  }
  EXPECT_TRUE(failedWithThreads);
  InkjetSetThreads(0);
}

TEST_F(FilterRunTest, ProgressRunsFromTheFirstReportToTheWhole) {
  PixelDocument document = patternDocument(1400, 700, plugInModeGrayScale, 0);
  FilterHost host(ENTRYPOINT, &document, HostServices());
  ASSERT_EQ(host.run(RunRequest{}).result, noErr);
  std::vector<std::pair<int32, int32>> expected = {
      {1, 100},         {409600, 980000}, {819200, 980000}, {896000, 980000},
      {934400, 980000}, {972800, 980000}, {980000, 980000}, {980000, 980000}};
  EXPECT_EQ(host.progressReports(), expected);
}

// The status lines are the dialog's: a run without it composes none, however many tiles it
// takes, and a run through the dialog only the one of the dialog opening (OK changes nothing),
// none for its tiles.
TEST_F(FilterRunTest, StatusReportsAreComposedByTheDialogAndNeverPerTile) {
  namespace drv = platform::driver;
  for (const bool withDialog : {false, true}) {
    SCOPED_TRACE(withDialog ? "with the dialog" : "without the dialog");
    drv::reset();
    PixelDocument document = patternDocument(1400, 700, plugInModeRGBColor, 0);
    if (withDialog) drv::queueClick(465, 334, "MAINDIALOG");  // OK
    FilterHost host(ENTRYPOINT, &document, HostServices());
    RunRequest request;
    request.withDialog = withDialog;
    const long before = statusReportsComposed();
    ASSERT_EQ(host.run(request).result, noErr);
    EXPECT_GT(host.continueCalls(), 1);
    EXPECT_EQ(statusReportsComposed() - before, withDialog ? 1 : 0);
  }
  drv::reset();
}

// Every allocation the run makes can fail; the run then reports out of memory from the
// selector that needed it, and the document is as it was.
TEST_F(FilterRunTest, OutOfMemoryAtEveryAllocationLeavesTheDocumentAsItWas) {
  namespace drv = platform::driver;
  for (const bool withDialog : {false, true}) {
    SCOPED_TRACE(withDialog ? "with the dialog" : "without the dialog");
    struct Outcome {
      RunResult result;
      int allocations;
      int liveHandles;
      bool unchanged;
    };
    const auto runFailing = [&](int failing) {
      drv::reset();
      PixelDocument document = patternDocument(40, 30, plugInModeCMYKColor, 0);
      const std::vector<uint8> source = document.pixels;
      std::unique_ptr<ColorEngine> colors = makeFormulaColorEngine();
      HostServices services;
      services.colors = colors.get();
      services.handles.failAllocation = failing;
      // The dialog's OK button, clicked once the dialog is up.
      if (withDialog) drv::queueClick(465, 334, "MAINDIALOG");
      FilterHost host(ENTRYPOINT, &document, services);
      RunRequest request;
      request.withDialog = withDialog;
      Outcome outcome{host.run(request), host.session().handles().allocations(),
                      host.session().handles().liveHandles(), document.pixels == source};
      EXPECT_EQ(host.session().handles().lockedHandles(), 0);
      return outcome;
    };
    const Outcome clean = runFailing(0);
    ASSERT_EQ(clean.result.result, noErr);
    ASSERT_FALSE(clean.unchanged);
    ASSERT_GT(clean.allocations, 0);
    std::printf("  %s: allocations 1..%d each failed in turn\n",
                withDialog ? "with the dialog" : "without the dialog", clean.allocations);
    bool continueFailed = false;
    for (int failing = 1; failing <= clean.allocations; ++failing) {
      SCOPED_TRACE(failing);
      const Outcome outcome = runFailing(failing);
      EXPECT_LE(outcome.liveHandles, clean.liveHandles);
      if (outcome.result.result == noErr) continue;
      EXPECT_EQ(outcome.result.result, memFullErr);
      EXPECT_TRUE(outcome.unchanged);
      continueFailed |= outcome.result.failedSelector == filterSelectorContinue;
    }
    EXPECT_TRUE(continueFailed);
  }
}

// A host that hands over something other than the tile the module asked for: rectangles that
// miss the core, planes that do not start at 0 or fall short of the mode's channels, rows
// shorter than the rectangle. The buffers are exactly what the host declares, so a module that
// trusted the declaration and worked on the request instead would read or write past them
// (the sanitized build catches it). The module refuses each before reading a byte.
TEST_F(FilterRunTest, ATileOtherThanTheOneAskedForIsRefused) {
  struct Case {
    const char* name;
    void (*tamper)(FilterRecord&);
  };
  const Case cases[] = {
      {"output misses the core",
       [](FilterRecord& r) { r.outRect.right = int16(r.outRect.left + 5); }},
      {"input moved away", [](FilterRecord& r) { r.inRect.top = int16(r.inRect.top + 7); }},
      {"input rows one byte short", [](FilterRecord& r) { r.inRowBytes -= 1; }},
      {"output rows one byte short", [](FilterRecord& r) { r.outRowBytes -= 1; }},
      {"fewer planes than RGB", [](FilterRecord& r) { r.inHiPlane = r.outHiPlane = 1; }},
      {"planes from 1", [](FilterRecord& r) { r.inLoPlane = r.outLoPlane = 1; }},
      {"output planes differ", [](FilterRecord& r) { r.outHiPlane = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PixelDocument document = patternDocument(100, 80, plugInModeRGBColor, 0);
    FilterHost host(ENTRYPOINT, &document, HostServices());
    host.beginRun(RunRequest{});
    ASSERT_EQ(host.call(filterSelectorPrepare), noErr);
    ASSERT_EQ(host.call(filterSelectorStart), noErr);
    FilterRecord& record = host.session().record();
    record.inRowBytes = (record.inRect.right - record.inRect.left) * (record.inHiPlane + 1);
    record.outRowBytes = (record.outRect.right - record.outRect.left) * (record.outHiPlane + 1);
    c.tamper(record);
    const auto bufferFor = [](const Rect& rect, int32 rowBytes) {
      const int rows = rect.bottom - rect.top;
      return std::vector<uint8>(rows > 0 && rowBytes > 0 ? size_t(rows) * size_t(rowBytes) : 0,
                                128);
    };
    std::vector<uint8> in = bufferFor(record.inRect, record.inRowBytes);
    std::vector<uint8> out = bufferFor(record.outRect, record.outRowBytes);
    record.inData = in.empty() ? nullptr : in.data();
    record.outData = out.empty() ? nullptr : out.data();
    const std::vector<uint8> before = out;
    EXPECT_EQ(host.call(filterSelectorContinue), filterBadParameters);
    EXPECT_EQ(out, before);
    EXPECT_EQ(record.outRect.bottom, 0) << "the module asks for nothing more";
    host.call(filterSelectorFinish);
  }
}

// A host whose plane count makes no sense (the module then asks for planes up to -198) but
// which hands over a sound RGB tile: the module works on what it was given, within its buffers.
TEST_F(FilterRunTest, ATileIsReadAsDeliveredNotAsRequested) {
  PixelDocument document = patternDocument(100, 80, plugInModeRGBColor, 0);
  FilterHost host(ENTRYPOINT, &document, HostServices());
  host.beginRun(RunRequest{});
  ASSERT_EQ(host.call(filterSelectorPrepare), noErr);
  FilterRecord& record = host.session().record();
  record.planes = -197;
  ASSERT_EQ(host.call(filterSelectorStart), noErr);
  record.inLoPlane = record.outLoPlane = 0;
  record.inHiPlane = record.outHiPlane = 2;
  record.inRowBytes = (record.inRect.right - record.inRect.left) * 3;
  record.outRowBytes = (record.outRect.right - record.outRect.left) * 3;
  std::vector<uint8> in(size_t(record.inRect.bottom - record.inRect.top) * record.inRowBytes, 90);
  std::vector<uint8> out(size_t(record.outRect.bottom - record.outRect.top) * record.outRowBytes,
                         90);
  record.inData = in.data();
  record.outData = out.data();
  const int16 result = host.call(filterSelectorContinue);
  EXPECT_TRUE(result == noErr || result == filterBadParameters) << result;
  host.call(filterSelectorFinish);
}

// A colour engine that converts a number of colours and then fails, as a host's colour
// management does when a profile turns out unusable part-way.
class FailingColorEngine : public ColorEngine {
 public:
  explicit FailingColorEngine(int successes) : left_(successes) {}
  bool convert(int16 from, int16 to, int16 components[4]) override {
    ++calls;
    if (left_ == 0) return false;
    --left_;
    return formula_->convert(from, to, components);
  }
  int calls = 0;

 private:
  int left_;
  std::unique_ptr<ColorEngine> formula_ = makeFormulaColorEngine();
};

// When the host's colour services fail, the run ends with the host's error from the tile that
// needed them, that tile and every later one are left as they were, and the host is not asked
// again for every other pixel.
TEST_F(FilterRunTest, AColourServiceFailureEndsTheRunWithItsError) {
  for (const int successes : {0, 1, 500}) {
    SCOPED_TRACE(successes);
    PixelDocument document = patternDocument(300, 200, plugInModeCMYKColor, 0);
    const std::vector<uint8> source = document.pixels;
    FailingColorEngine colors(successes);
    HostServices services;
    services.colors = &colors;
    FilterHost host(ENTRYPOINT, &document, services);
    RunResult result = host.run(RunRequest{});
    EXPECT_EQ(result.result, errPlugInHostInsufficient);
    EXPECT_NE(result.failedSelector, 0);
    EXPECT_EQ(colors.calls, successes + 1);
    EXPECT_EQ(document.pixels, source);
  }
}

class ThrowingColorEngine : public ColorEngine {
 public:
  explicit ThrowingColorEngine(int answers) : answers_(answers) {}
  bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) override {
    if (answers_-- == 0) throw std::runtime_error("colour engine failed");
    ++calls_;
    return formula_->convert(sourceSpace, resultSpace, components);
  }
  int calls() const { return calls_; }

 private:
  std::unique_ptr<ColorEngine> formula_ = makeFormulaColorEngine();
  int answers_;
  int calls_ = 0;
};

// Nothing thrown inside the module reaches the host: the selector reports out of memory, every
// lock is released, and the document is as it was.
TEST_F(FilterRunTest, AnExceptionInsideAHandlerEndsTheRunOutOfMemory) {
  int thrown = 0;
  for (int answers : {0, 1, 5, 40}) {
    SCOPED_TRACE(answers);
    PixelDocument document = patternDocument(40, 30, plugInModeCMYKColor, 0);
    const std::vector<uint8> source = document.pixels;
    ThrowingColorEngine colors(answers);
    HostServices services;
    services.colors = &colors;
    FilterHost host(ENTRYPOINT, &document, services);
    RunResult result = host.run(RunRequest{});
    EXPECT_EQ(host.session().handles().lockedHandles(), 0);
    if (colors.calls() < answers) continue;  // the run needed fewer colours than that
    ++thrown;
    EXPECT_EQ(result.result, memFullErr);
    EXPECT_NE(result.failedSelector, 0);
    EXPECT_EQ(document.pixels, source);
    const FilterRecord& record = host.session().record();
    EXPECT_EQ(record.outRect.bottom, 0);
    auto* globals =
        reinterpret_cast<PluginGlobals*>(*reinterpret_cast<Handle>(host.session().dataSlot()));
    EXPECT_EQ(globals->colors.toRgbCache, nullptr);
    EXPECT_EQ(globals->colors.fromRgbCache, nullptr);
  }
  EXPECT_GT(thrown, 0);
}

TEST_F(FilterRunTest, ADialogThatCannotOpenCancelsTheRun) {
  PixelDocument document = patternDocument(30, 20, plugInModeRGBColor, 0);
  const std::vector<uint8> source = document.pixels;
  FilterHost host(ENTRYPOINT, &document, HostServices());
  RunRequest request;
  request.withDialog = true;
  RunResult result = host.run(request);
  EXPECT_EQ(result.result, userCanceledErr);
  EXPECT_EQ(result.failedSelector, filterSelectorStart);
  EXPECT_EQ(host.continueCalls(), 0);
  EXPECT_EQ(document.pixels, source);
  const FilterRecord& record = host.session().record();
  EXPECT_EQ(record.outRect.bottom, 0);
  EXPECT_EQ(record.inRect.right, 0);
  auto* globals =
      reinterpret_cast<PluginGlobals*>(*reinterpret_cast<Handle>(host.session().dataSlot()));
  EXPECT_EQ(globals->colors.toRgbCache, nullptr);
  EXPECT_EQ(globals->colors.fromRgbCache, nullptr);
  ASSERT_FALSE(platform::driver::messageBoxes().empty());
  EXPECT_EQ(platform::driver::messageBoxes().back().text, "dialog failure");

  // The next run, without Parameters, goes straight to the tiles.
  RunResult repeated = host.repeatLast();
  EXPECT_EQ(repeated.result, noErr);
  EXPECT_GT(host.continueCalls(), 0);
  auto* parameters = reinterpret_cast<FilterParameters*>(*record.parameters);
  EXPECT_EQ(parameters->dialogActive, 0);
  EXPECT_EQ(parameters->dialogRequest, DialogRequest::Skip);
}

TEST_F(FilterRunTest, ContinueWithoutARequestDoesNothing) {
  PixelDocument document = patternDocument(30, 20, plugInModeRGBColor, 0);
  FilterHost host(ENTRYPOINT, &document, HostServices());
  host.beginRun(RunRequest{});
  ASSERT_EQ(host.call(filterSelectorPrepare), noErr);
  EXPECT_EQ(host.call(filterSelectorContinue), noErr);
  EXPECT_EQ(host.call(filterSelectorFinish), noErr);
  EXPECT_EQ(host.session().handles().liveHandles(), 2);
}

}  // namespace
