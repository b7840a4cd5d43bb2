// PreviewPane: the main dialog's picture of the sharpened document. It asks the host for the
// document reduced by the dialog's zoom divisor, sharpens only the visible part with the
// engine that processes the document, and hands the result back to the host to draw
// (displayPixels), so the host's own colour handling is used on screen. A left drag moves the
// view (unsharpened while the button is held); the release sharpens again.
//
// Contract: the pane owns its four planes (fetched buffer, its mask, the view and the view's
// mask), created through image/image_plane.h and released at every layout, refetch and when the
// pane is destroyed; it owns no bitmap and keeps no device context beyond one drawing call. It
// reads the FilterRecord the dialog's run lends it and writes the host's request fields only to
// fetch. When the host refuses a fetch (its result is stored as the call's result) or a plane
// cannot be made, the pane shows white, the status lines still follow the settings and
// everything else keeps working. Each settings change (Refresh or Init) composes the status
// report once and shows it in the dialog's status labels. Rectangles are top, left, bottom,
// right with bottom and right exclusive; coordinates are scaled document pixels.
#pragma once

#include "controls/drag_tracker.h"
#include "dialog/dialog_run.h"
#include "dialog/preview_layout.h"
#include "dialog/status_lines.h"
#include "engine/sharpen.h"
#include "hostapi/pixel_map.h"
#include "image/image_plane.h"

class PreviewPane : public DragTracker {
 public:
  PreviewPane(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
              Control* parent, int32_t* zoom, const DialogRun& run,
              TextLabel* const (&statusLabels)[kStatusLabelCount]);
  ~PreviewPane() override;

  void reset() override;
  uint32_t draw(Position origin, HWND window) override;
  uint32_t onButtonUp(Position at, MouseButton button) override;
  // Refresh and Init: sharpen the visible part again and draw it.
  uint32_t onRefresh() override;
  uint32_t onInit() override;

  // A left-drag step: dx, dy is the pointer's displacement since the press.
  uint32_t dragBy(int32_t dx, int32_t dy);

  const AxisLayout& across() const { return across_; }
  const AxisLayout& down() const { return down_; }
  int32_t dragX() const { return dragX_; }
  int32_t dragY() const { return dragY_; }
  int32_t lastZoom() const { return lastZoom_; }
  bool showsPicture() const { return viewPlane_ != nullptr; }
  bool draggable() const { return across_.draggable || down_.draggable; }
  bool fetchLimited() const { return across_.fetchLimited || down_.fetchLimited; }
  // The centre of the view in scaled coordinates.
  int32_t centreX() const { return centreX_; }
  int32_t centreY() const { return centreY_; }

 private:
  void layout();
  void layoutCentred();
  void layoutKeepCentre();
  void rememberCentre();
  void fetchSource();
  bool copySource(const FilterRecord& host);
  void copyMask(const FilterRecord& host);
  void renderView();
  void createView();
  void copyView(int32_t left, int32_t top);
  void sharpenView();
  void fillPixelMap(int32_t dx, int32_t dy);
  void endDrag();
  void releasePlanes();
  void paintWhite();
  void reportStatus();
  uint32_t showView();
  SharpenJob currentJob() const;
  const SharpenJob& job();
  void adoptJob(const SharpenJob& job);
  Rect scaledFilterRect() const;
  FilterRecord* host() const { return run_.record; }
  HandleMemory memory() const { return run_.pixels.memory; }
  const SharpenSettings& settings() const { return *run_.settings; }

  DialogRun run_;
  TextLabel* const (&statusLabels_)[kStatusLabelCount];
  int32_t* zoom_;
  int32_t lastZoom_;
  AxisLayout across_{};
  AxisLayout down_{};
  int32_t dragX_ = 0;
  int32_t dragY_ = 0;
  int32_t centreX_ = 0;
  int32_t centreY_ = 0;
  SharpenJob job_{};
  SharpenSettings jobSettings_{};
  int32_t jobZoom_ = 0;
  bool jobKnown_ = false;
  OwnedPlane sourcePlane_;
  OwnedPlane sourceMaskPlane_;
  OwnedPlane viewPlane_;
  OwnedPlane viewMaskPlane_;
  int32_t channels_ = 0;
  PSPixelMap pixelMap_{};
  PSPixelMask mask_{};
};
