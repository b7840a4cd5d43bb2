// A filter run as this host performs it on a document with pixels: [Parameters], Prepare,
// Start, Continue until every request is empty, Finish; a repeat of the last filter (no
// dialog, the last recorded settings replayed); and the replay of any recorded action.
// Host rules the module relies on: one FilterRecord at one address for all runs of a
// FilterHost (it lives in the ModuleSession); inData holds the unfiltered source and outData
// the current result for the requested rectangle; outData is written back into the document
// after each Continue, only for full-rate requests and only inside the filter area; requests
// made at an inputRate above 1 (the dialog's preview) are sampled (hostapp/tile_buffers.h) and
// never written back; an inputRate or maskRate of 0 is read as 1.0. advanceState delivers the
// current requests at once, the selection mask too when the host was given one (haveMask).
// displayPixels draws the module's pixel maps (hostapp/display_services.h).
// A run that fails (any selector's result other than 0, or a request the host cannot serve)
// leaves the document's pixels as they were before the run. Finish follows every successful
// Start, also when a Continue fails.
// The document is borrowed and must outlive the host; so must the colour engine.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "hostapp/color_engine.h"
#include "hostapp/color_services.h"
#include "hostapp/descriptor_services.h"
#include "hostapp/module_session.h"
#include "hostapp/pixel_document.h"
#include "hostapp/progress_services.h"
#include "hostapp/tile_buffers.h"

// Where a streamed run keeps its pixels (hostapp/streamed_rows.h) instead of the document: the
// host asks for the rows each request reads before filling its buffer, and after each tile says
// where the next requests begin, so that the rows above can be passed on.
class RowStore {
 public:
  virtual ~RowStore() = default;
  // Rows [top, bottom) of the source and the result in memory; false when they cannot be had
  // (passed on already, or a read failed).
  virtual bool reach(int32 top, int32 bottom) = 0;
  virtual PixelRows source() const = 0;
  virtual PixelRows result() const = 0;
  // No request reads rows above `top` again; false when passing them on failed.
  virtual bool passOn(int32 top) = 0;
};

struct HostServices {
  ColorEngine* colors = nullptr;  // null: the host offers no colour services
  DescriptorOptions descriptors;
  HandleOptions handles;
  bool progressBar = false;
  // When set, the module's progress reports go here instead of the host's own bar: a caller
  // whose bar also covers reading and writing the picture.
  std::function<void(int32 done, int32 total)> progress;
  // The selection as a mask, one byte per document pixel, rows top to bottom, 255 fully
  // selected; empty: the host has no mask (haveMask 0). Copied by the FilterHost.
  std::vector<uint8> selectionMask;
};

struct RunRequest {
  bool withDialog = false;
  const RecordedAction* replay = nullptr;  // null: no descriptor is replayed
};

struct RunResult {
  int16 result = 0;          // result of the selector that ended the run, 0 when all succeeded
  int16 failedSelector = 0;  // that selector, 0 when none failed
  bool recorded = false;     // the filter left a descriptor at Finish
  RecordedAction action;     // what it recorded
};

class FilterHost {
 public:
  FilterHost(FilterEntryProc entry, PixelDocument* document, const HostServices& services);
  ~FilterHost();
  FilterHost(const FilterHost&) = delete;
  FilterHost& operator=(const FilterHost&) = delete;

  RunResult run(const RunRequest& request);
  // The last filter again without its dialog, on the settings the previous run recorded.
  RunResult repeatLast();

  ModuleSession& session() { return session_; }
  long colorCalls() const { return colorServices_.calls(); }
  int continueCalls() const { return continueCalls_; }
  const std::vector<std::pair<int32, int32>>& progressReports() const {
    return progress_.reports();
  }
  // Calls an individual selector with the host's services in place (tests, and the report
  // command, which stops after Prepare).
  int16 call(int16 selector) { return session_.call(selector); }
  void beginRun(const RunRequest& request);
  // Runs from now on take their pixels from `rows` (null: the document's again). The document
  // then only describes; a failed run leaves the store's result as it is.
  void streamRows(RowStore* rows) { rows_ = rows; }

 private:
  static OSErr HOSTAPI_CALL advanceState();
  static Boolean HOSTAPI_CALL testAbort();
  bool deliverRequests();
  void writeBack();
  TileRequest inputRequest() const;
  TileRequest outputRequest() const;
  TileRequest maskRequest() const;
  int16 walkTiles(RunResult* outcome);
  void finish(RunResult* outcome);
  bool reachRows(const TileRequest& request);
  void passOnRows();

  static FilterHost* active_;
  PixelDocument* document_;
  RowStore* rows_ = nullptr;
  std::vector<uint8> source_;
  ModuleSession session_;
  ColorServices colorServices_;
  DescriptorServices descriptors_;
  ProgressServices progress_;
  TileBuffer input_;
  TileBuffer output_;
  PixelDocument mask_;  // the selection mask as a one-plane document; no pixels: none
  TileBuffer maskBuffer_;
  TileRequest delivered_ = {};  // the output request the buffers were last filled for
  bool outputInPlace_ = false;  // the filter wrote that request's result where it stays
  RecordedAction lastRecorded_;
  bool hasLastRecorded_ = false;
  int continueCalls_ = 0;
};
