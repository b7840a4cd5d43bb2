#include "hostapp/filter_run.h"

#include <algorithm>

#include "hostapi/constants.h"
#include "hostapp/display_services.h"

FilterHost* FilterHost::active_ = nullptr;

namespace {

constexpr Fixed kFixedOne = 1 << 16;
// A filter that keeps requesting without end is stopped after this many Continue calls; a
// 32767 x 32767 document in the smallest useful tiles stays far below it.
constexpr int kMaxContinueCalls = 1 << 22;

bool isEmpty(const Rect& rect) { return rect.top >= rect.bottom || rect.left >= rect.right; }

bool hasRequest(const FilterRecord& record) {
  return !isEmpty(record.inRect) || !isEmpty(record.outRect) || !isEmpty(record.maskRect);
}

// A rate of 0 counts as full resolution; this host samples in whole pixels only, so a
// fractional rate is truncated and anything up to 1.0 reads every pixel.
int32 samplingRate(Fixed rate) { return rate <= kFixedOne ? 1 : rate >> 16; }

}  // namespace

FilterHost::FilterHost(FilterEntryProc entry, PixelDocument* document, const HostServices& services)
    : document_(document),
      session_(entry, document->description, services.handles),
      colorServices_(services.colors),
      descriptors_(services.descriptors),
      progress_(services.progressBar) {
  progress_.forwardTo(services.progress);
  mask_.description = document->description;
  mask_.description.mode = plugInModeGrayScale;
  mask_.description.extraPlanes = 0;
  if (services.selectionMask.size() == mask_.byteCount()) mask_.pixels = services.selectionMask;
  active_ = this;
}

FilterHost::~FilterHost() {
  if (active_ == this) active_ = nullptr;
}

void FilterHost::beginRun(const RunRequest& request) {
  if (rows_ == nullptr) source_ = document_->pixels;
  session_.beginRun();
  FilterRecord& record = session_.record();
  record.progressProc = progress_.proc();
  record.abortProc = &FilterHost::testAbort;
  record.advanceState = &FilterHost::advanceState;
  record.colorServices = colorServices_.engine() != nullptr ? colorServices_.proc() : nullptr;
  record.displayPixels = &displayPixelMap;
  record.haveMask = mask_.pixels.empty() ? 0 : 1;
  descriptors_.prepareRun(request.replay, request.withDialog);
  record.descriptorParameters = descriptors_.parameters();
  input_ = TileBuffer();
  output_ = TileBuffer();
  outputInPlace_ = false;
  maskBuffer_ = TileBuffer();
  continueCalls_ = 0;
}

RunResult FilterHost::run(const RunRequest& request) {
  beginRun(request);
  RunResult outcome;
  auto step = [&](int16 selector) {
    int16 result = call(selector);
    if (result != noErr && outcome.failedSelector == 0) {
      outcome.result = result;
      outcome.failedSelector = selector;
    }
    return result == noErr;
  };
  bool started = (!request.withDialog || step(filterSelectorParameters)) &&
                 step(filterSelectorPrepare) && step(filterSelectorStart);
  if (started) {
    walkTiles(&outcome);
    finish(&outcome);
  }
  progress_.finishBar();
  if (outcome.failedSelector != 0 && rows_ == nullptr) {
    document_->pixels = source_;
  }
  return outcome;
}

RunResult FilterHost::repeatLast() {
  RecordedAction last = lastRecorded_;
  RunRequest request;
  request.replay = hasLastRecorded_ ? &last : nullptr;
  return run(request);
}

int16 FilterHost::walkTiles(RunResult* outcome) {
  FilterRecord& record = session_.record();
  while (hasRequest(record)) {
    if (continueCalls_ >= kMaxContinueCalls || !deliverRequests()) {
      outcome->result = filterBadParameters;
      outcome->failedSelector = filterSelectorContinue;
      return outcome->result;
    }
    ++continueCalls_;
    int16 result = call(filterSelectorContinue);
    if (result != noErr) {
      outcome->result = result;
      outcome->failedSelector = filterSelectorContinue;
      return result;
    }
    writeBack();
    passOnRows();
  }
  return noErr;
}

void FilterHost::finish(RunResult* outcome) {
  int16 result = call(filterSelectorFinish);
  if (result != noErr && outcome->failedSelector == 0) {
    outcome->result = result;
    outcome->failedSelector = filterSelectorFinish;
  }
  outcome->recorded = descriptors_.takeRecorded(&outcome->action);
  if (outcome->recorded && outcome->failedSelector == 0) {
    lastRecorded_ = outcome->action;
    hasLastRecorded_ = true;
  }
}

TileRequest FilterHost::inputRequest() const {
  const FilterRecord& record = session_.record();
  return TileRequest{record.inRect, record.inLoPlane, record.inHiPlane, record.inputPadding,
                     samplingRate(record.inputRate)};
}

TileRequest FilterHost::outputRequest() const {
  const FilterRecord& record = session_.record();
  return TileRequest{record.outRect, record.outLoPlane, record.outHiPlane, record.outputPadding,
                     samplingRate(record.inputRate)};
}

TileRequest FilterHost::maskRequest() const {
  const FilterRecord& record = session_.record();
  return TileRequest{record.maskRect, 0, 0, record.maskPadding, samplingRate(record.maskRate)};
}

bool FilterHost::reachRows(const TileRequest& request) {
  int32 top = 0;
  int32 bottom = 0;
  return !rowsRead(document_->description, request, &top, &bottom) || rows_->reach(top, bottom);
}

// Rows above every request still to be served are final: a streamed run passes them on.
void FilterHost::passOnRows() {
  if (rows_ == nullptr) return;
  const DocumentDescription& d = document_->description;
  int32 first = d.height;
  for (const TileRequest& request : {inputRequest(), outputRequest(), maskRequest()}) {
    int32 top = 0;
    int32 bottom = 0;
    if (rowsRead(d, request, &top, &bottom)) first = std::min(first, top);
  }
  if (first < d.height) rows_->passOn(first);
}

bool FilterHost::deliverRequests() {
  FilterRecord& record = session_.record();
  delivered_ = outputRequest();
  const TileRequest input = inputRequest();
  uint8* inPlace = nullptr;
  uint8* outPlace = nullptr;
  bool ok;
  if (rows_ != nullptr) {
    // The window holds the rows a request reads as one block: where the request allows, the
    // filter reads the source and writes the result there, with no copy either way. Reaching
    // rows may move the window, so it is looked at only after.
    ok = reachRows(input) && reachRows(delivered_);
    if (ok) {
      const PixelRows source = rows_->source();
      const PixelRows result = rows_->result();
      const DocumentDescription& d = document_->description;
      inPlace =
          pixelsInPlace(*document_, source, input, Rect{0, 0, int16(d.height), int16(d.width)});
      outPlace = pixelsInPlace(*document_, result, delivered_, record.filterRect);
      ok = (inPlace != nullptr || fillTileBuffer(*document_, source, input, &input_)) &&
           (outPlace != nullptr || fillTileBuffer(*document_, result, delivered_, &output_));
      if (inPlace != nullptr) {
        input_.bytes.clear();
        input_.rowBytes = int32(source.rowBytes);
      }
      if (outPlace != nullptr) {
        output_.bytes.clear();
        output_.rowBytes = int32(result.rowBytes);
      }
    }
  } else {
    ok = fillTileBuffer(*document_, source_, input, &input_) &&
         fillTileBuffer(*document_, document_->pixels, delivered_, &output_);
  }
  outputInPlace_ = outPlace != nullptr;
  if (ok && !mask_.pixels.empty())
    ok = fillTileBuffer(mask_, mask_.pixels, maskRequest(), &maskBuffer_);
  record.inData = inPlace != nullptr     ? inPlace
                  : input_.bytes.empty() ? nullptr
                                         : input_.bytes.data();
  record.inRowBytes = input_.rowBytes;
  record.outData = outPlace != nullptr     ? outPlace
                   : output_.bytes.empty() ? nullptr
                                           : output_.bytes.data();
  record.outRowBytes = output_.rowBytes;
  record.maskData = maskBuffer_.bytes.empty() ? nullptr : maskBuffer_.bytes.data();
  record.maskRowBytes = maskBuffer_.rowBytes;
  return ok;
}

// The module has already asked for its next tile: what goes back is the tile it was given.
void FilterHost::writeBack() {
  if (rows_ != nullptr) {
    if (outputInPlace_) return;
    writeTileBuffer(*document_, delivered_, output_, session_.record().filterRect, rows_->result());
    return;
  }
  writeTileBuffer(*document_, delivered_, output_, session_.record().filterRect,
                  &document_->pixels);
}

OSErr HOSTAPI_CALL FilterHost::advanceState() {
  if (active_ == nullptr) return paramErr;
  return active_->deliverRequests() ? noErr : paramErr;
}

Boolean HOSTAPI_CALL FilterHost::testAbort() { return 0; }
