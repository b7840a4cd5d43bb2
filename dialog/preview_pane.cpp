#include "dialog/preview_pane.h"

#include <cstring>
#include <initializer_list>

#include "core/print_model.h"
#include "dialog/status_lines.h"
#include "engine/worker_bands.h"

namespace {

Rect rectOf(int32_t top, int32_t left, int32_t bottom, int32_t right) {
  return Rect{int16(top), int16(left), int16(bottom), int16(right)};
}

}  // namespace

PreviewPane::PreviewPane(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                         Control* parent, int32_t* zoom, const DialogRun& run,
                         TextLabel* const (&statusLabels)[kStatusLabelCount])
    : DragTracker(
          x, y, width, height, flags, parent, nullptr,
          [this](Position offset) { dragBy(offset.x, offset.y); }, nullptr),
      run_(run),
      statusLabels_(statusLabels),
      zoom_(zoom),
      lastZoom_(*zoom + 1) {
  layoutCentred();
}

PreviewPane::~PreviewPane() { PreviewPane::reset(); }

void PreviewPane::reset() {
  releasePlanes();
  DragTracker::reset();
}

Rect PreviewPane::scaledFilterRect() const {
  return host() ? scaledRect(host()->filterRect, *zoom_) : Rect{0, 0, 0, 0};
}

void PreviewPane::layout() {
  Rect scaled = scaledFilterRect();
  int32_t ax = absoluteX(), ay = absoluteY();
  across_ = layoutAxis(scaled.left, scaled.right, width, ax);
  down_ = layoutAxis(scaled.top, scaled.bottom, height, ay);
}

void PreviewPane::rememberCentre() {
  centreX_ = across_.visible / 2 + across_.fetchOrigin + across_.viewOffset;
  centreY_ = down_.visible / 2 + down_.fetchOrigin + down_.viewOffset;
}

void PreviewPane::layoutCentred() {
  layout();
  releasePlanes();
  fetchSource();
  renderView();
  lastZoom_ = *zoom_;
  rememberCentre();
}

// Keeps the document point at the centre of the view where it is across a change of zoom.
void PreviewPane::layoutKeepCentre() {
  int32_t z = *zoom_;
  int32_t cx = centreX_ * lastZoom_ / z;
  int32_t cy = centreY_ * lastZoom_ / z;
  layout();
  releasePlanes();
  Rect scaled = scaledFilterRect();
  if (fetchLimited()) {
    across_.fetchOrigin = fetchOriginAround(cx, across_.fetch, scaled.left, scaled.right);
    down_.fetchOrigin = fetchOriginAround(cy, down_.fetch, scaled.top, scaled.bottom);
  }
  if (draggable()) {
    across_.viewOffset = viewOffsetAround(cx, across_);
    down_.viewOffset = viewOffsetAround(cy, down_);
  }
  rememberCentre();
  fetchSource();
  renderView();
  lastZoom_ = z;
}

void PreviewPane::fetchSource() {
  FilterRecord* record = host();
  if (!record || !record->advanceState) return;
  Rect request = rectOf(down_.fetchOrigin, across_.fetchOrigin, down_.fetchOrigin + down_.fetch,
                        across_.fetchOrigin + across_.fetch);
  record->inRect = record->outRect = record->maskRect = request;
  record->inputRate = record->maskRate = Fixed(*zoom_) << 16;
  record->inLoPlane = record->outLoPlane = 0;
  record->inHiPlane = record->outHiPlane = int16(record->planes - 1);
  record->inputPadding = record->outputPadding = record->maskPadding = 0;
  OSErr result = record->advanceState();
  if (run_.result) *run_.result = result;
  if (result != 0 || !copySource(*record)) return;
  if (record->haveMask) copyMask(*record);
}

bool PreviewPane::copySource(const FilterRecord& record) {
  channels_ = record.inHiPlane + 1;
  if (!record.inData || record.inRowBytes < across_.fetch * channels_) return false;
  sourcePlane_ = ownPlane(memory(), createPlane(memory(), across_.fetch, down_.fetch, channels_, 0,
                                                1, record.imageMode, record.inRowBytes));
  if (!sourcePlane_ || !lockPlane(memory(), sourcePlane_.get())) return false;
  std::memcpy(*sourcePlane_->pixelAddress, record.inData,
              size_t(down_.fetch) * size_t(record.inRowBytes));
  return true;
}

void PreviewPane::copyMask(const FilterRecord& record) {
  if (!record.maskData || record.maskRowBytes < across_.fetch) return;
  sourceMaskPlane_ = ownPlane(
      memory(), createPlane(memory(), across_.fetch, down_.fetch, 1, 0, 1, 0, record.maskRowBytes));
  if (!sourceMaskPlane_ || !lockPlane(memory(), sourceMaskPlane_.get())) return;
  std::memcpy(*sourceMaskPlane_->pixelAddress, record.maskData,
              size_t(down_.fetch) * size_t(record.maskRowBytes));
  viewMaskPlane_ =
      ownPlane(memory(), createPlane(memory(), across_.visible, down_.visible, 1, 0, 1, 0, 0));
  if (viewMaskPlane_ && !lockPlane(memory(), viewMaskPlane_.get())) viewMaskPlane_.reset();
}

void PreviewPane::createView() {
  if (!sourcePlane_) return;
  viewPlane_ = ownPlane(
      memory(), createPlane(memory(), across_.visible, down_.visible, channels_, 0, 1, 1, 0));
  if (viewPlane_ && !lockPlane(memory(), viewPlane_.get())) viewPlane_.reset();
}

// Copies the view's block of the buffer starting at (left, top) of the buffer, and the mask.
void PreviewPane::copyView(int32_t left, int32_t top) {
  Rect block = rectOf(0, 0, down_.visible, across_.visible);
  copyRegion(viewPlane_.get(), 0, 0, *sourcePlane_, left, top, block);
  if (sourceMaskPlane_ && viewMaskPlane_)
    copyRegion(viewMaskPlane_.get(), 0, 0, *sourceMaskPlane_, left, top, block);
}

// The job of the current settings at the current zoom; the preview's radius follows the zoom.
SharpenJob PreviewPane::currentJob() const {
  const FilterRecord* record = host();
  return makeSharpenJob(settings(), record ? record->imageSize.h : 0,
                        record ? record->imageSize.v : 0, record ? record->imageMode : 0, 1,
                        *zoom_);
}

// The job follows the settings and the zoom; a view made between two changes (a first paint,
// a new layout) uses the job of the latest one, worked out afresh only if it no longer fits.
const SharpenJob& PreviewPane::job() {
  if (!jobKnown_ || std::memcmp(&jobSettings_, &settings(), sizeof(jobSettings_)) != 0 ||
      jobZoom_ != *zoom_)
    adoptJob(currentJob());
  return job_;
}

void PreviewPane::adoptJob(const SharpenJob& job) {
  job_ = job;
  jobSettings_ = settings();
  jobZoom_ = *zoom_;
  jobKnown_ = true;
}

// The engine works on the view in place, on as many threads as a view of its size is worth.
void PreviewPane::sharpenView() {
  SharpenJob viewJob = job();
  viewJob.threads = threadsForPixels(
      viewJob.threads, int64_t(planeColumns(*viewPlane_)) * int64_t(planeRows(*viewPlane_)));
  sharpen(run_.pixels, viewJob, *viewPlane_, viewPlane_.get());
}

void PreviewPane::fillPixelMap(int32_t dx, int32_t dy) {
  pixelMap_ = PSPixelMap{};
  pixelMap_.version = 1;
  pixelMap_.bounds =
      VRect{down_.viewOffset - dy, across_.viewOffset - dx, down_.viewOffset - dy + down_.visible,
            across_.viewOffset - dx + across_.visible};
  pixelMap_.imageMode = host()->imageMode;
  pixelMap_.rowBytes = *viewPlane_->rowBytes;
  pixelMap_.colBytes = viewPlane_->channels;
  pixelMap_.planeBytes = 1;
  pixelMap_.baseAddr = *viewPlane_->pixelAddress;
  if (viewMaskPlane_) {
    mask_ = PSPixelMask{nullptr, *viewMaskPlane_->pixelAddress, *viewMaskPlane_->rowBytes, 1, 0};
    pixelMap_.masks = &mask_;
  }
}

void PreviewPane::renderView() {
  if (!sourcePlane_) return;
  if (!viewPlane_) {
    createView();
    if (!viewPlane_) return;
    copyView(across_.viewOffset, down_.viewOffset);
    sharpenView();
    fillPixelMap(0, 0);
    return;
  }
  copyView(across_.viewOffset - dragX_, down_.viewOffset - dragY_);
  fillPixelMap(dragX_, dragY_);
}

void PreviewPane::paintWhite() {
  HWND target = window();
  if (!target) return;
  HDC dc = GetDC(target);
  RECT pane{absoluteX(), absoluteY(), absoluteX() + width, absoluteY() + height};
  HRGN region = CreateRectRgnIndirect(&pane);
  if (dc && region) FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (region) DeleteObject(region);
  if (dc) ReleaseDC(target, dc);
}

uint32_t PreviewPane::draw(Position, HWND window) {
  if (*zoom_ != lastZoom_) layoutCentred();
  FilterRecord* record = host();
  HWND target = window ? window : this->window();
  if (!viewPlane_ || !record || !record->displayPixels || !target) {
    paintWhite();
    return 1;
  }
  HDC dc = GetDC(target);
  record->displayPixels(&pixelMap_, &pixelMap_.bounds, down_.destination, across_.destination, dc);
  ReleaseDC(target, dc);
  return 1;
}

// A settings change (or the dialog opening): its job and its status report, once.
uint32_t PreviewPane::onInit() { return onRefresh(); }

uint32_t PreviewPane::onRefresh() {
  adoptJob(currentJob());
  reportStatus();
  return showView();
}

// The visible part sharpened again and drawn.
uint32_t PreviewPane::showView() {
  int32_t visibleWidth = across_.visible, visibleHeight = down_.visible;
  if (*zoom_ != lastZoom_) layoutKeepCentre();
  if (sourcePlane_ && viewPlane_) {
    copyView(across_.viewOffset, down_.viewOffset);
    sharpenView();
    fillPixelMap(0, 0);
  }
  if (across_.visible < visibleWidth || down_.visible < visibleHeight || !viewPlane_) paintWhite();
  return draw({0, 0}, window());
}

// The status lines of a change: composed once from the change's job, picture or not.
void PreviewPane::reportStatus() {
  const FilterRecord* record = host();
  if (!record) return;
  showStatusReport(true, statusLabels_,
                   composeStatusReport(job_.model, record->imageMode, *run_.acceleration,
                                       *run_.settingsTouched, settings().eyeDistance));
}

uint32_t PreviewPane::dragBy(int32_t dx, int32_t dy) {
  if (!draggable()) return 1;
  dragX_ = dragWithinBuffer(dx, across_);
  dragY_ = dragWithinBuffer(dy, down_);
  renderView();
  return draw({0, 0}, window());
}

uint32_t PreviewPane::onButtonUp(Position at, MouseButton button) {
  DragTracker::onButtonUp(at, button);
  endDrag();
  return 1;
}

void PreviewPane::endDrag() {
  if (fetchLimited()) {
    Rect scaled = scaledFilterRect();
    followDrag(dragX_, scaled.left, scaled.right, &across_);
    followDrag(dragY_, scaled.top, scaled.bottom, &down_);
    releasePlanes();
    fetchSource();
  } else {
    across_.viewOffset -= dragX_;
    down_.viewOffset -= dragY_;
  }
  dragX_ = dragY_ = 0;
  renderView();
  if (draggable()) rememberCentre();
  showView();
}

void PreviewPane::releasePlanes() {
  for (OwnedPlane* plane : {&sourcePlane_, &sourceMaskPlane_, &viewPlane_, &viewMaskPlane_})
    plane->reset();
}
