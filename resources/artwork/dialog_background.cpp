// The background of the main dialog. The dialog's controls draw themselves on it, and its
// text labels paint their own white behind their letters, so everything they cover stays
// plain white: the column of fields, the preview pane, the zoom factor and the status lines.
// The background adds only what no control draws: the title band, the section headings, the
// zoom marks under their click areas, the frame of the preview and quiet separating lines.
#include "resources/artwork/layout.h"
#include "resources/artwork/pictures.h"
#include "resources/artwork/theme.h"

namespace artwork {

namespace {

using layout::Box;

constexpr int kBandHeight = 46;
constexpr int kMargin = 16;
constexpr int kHeadingBaseline = 66;  // level with the zoom factor the dialog writes at y 57

void drawTitleBand(Canvas& canvas, const Fonts& fonts) {
  canvas.fillRect(0, 0, canvas.width(), kBandHeight, theme::kSlate);
  canvas.fillRect(0, kBandHeight, canvas.width(), 2, theme::kAccent);
  const TextStyle title{Weight::Bold, theme::kTitleSize, theme::kPaper};
  const int end = fonts.draw(canvas, kMargin, 31, "Inkjet", title);
  // The subtitle ends well before the place where the "V" key shows the build date.
  fonts.draw(canvas, end + 10, 31, "sharpening for the print",
             {Weight::Regular, 13, theme::kSlateLight});
}

void drawHeading(Canvas& canvas, const Fonts& fonts, int x, int baseline, int width,
                 const std::string& text) {
  fonts.draw(canvas, x, baseline, text, {Weight::Bold, theme::kHeadingSize, theme::kGrey1});
  canvas.horizontalLine(x, x + width, baseline + 5, theme::kGrey5);
}

// A small round mark with a "+" or "-" centred in the click area.
void drawZoomMark(Canvas& canvas, const Box& box, bool plus) {
  const double cx = box.x + box.w / 2.0, cy = box.y + box.h / 2.0;
  canvas.fill(ellipseRegion(cx, cy, box.w / 2.0, box.h / 2.0), box.x, box.y, box.w, box.h,
              theme::kGrey6);
  canvas.fill(differenceRegion(ellipseRegion(cx, cy, box.w / 2.0, box.h / 2.0),
                               ellipseRegion(cx, cy, box.w / 2.0 - 1, box.h / 2.0 - 1)),
              box.x, box.y, box.w, box.h, theme::kGrey3);
  canvas.fillRect(box.x + 2, box.y + box.h / 2 - 1, box.w - 4, 2, theme::kInk);
  if (plus) canvas.fillRect(box.x + box.w / 2 - 1, box.y + 2, 2, box.h - 4, theme::kInk);
}

void drawPreviewArea(Canvas& canvas, const Fonts& fonts) {
  const Box& pane = layout::kPreviewPane;
  drawHeading(canvas, fonts, pane.x, kHeadingBaseline, 0, "Preview");
  fonts.draw(canvas, layout::kZoomLabel.x - 38, kHeadingBaseline, "Zoom",
             {Weight::Regular, 11, theme::kGrey2});
  drawZoomMark(canvas, layout::kZoomIn, true);
  drawZoomMark(canvas, layout::kZoomOut, false);
  canvas.frameRect(pane.x - 1, pane.y - 1, pane.w + 2, pane.h + 2, theme::kGrey4);
  fonts.draw(canvas, pane.x, pane.y + pane.h + 16, "Drag the preview to look around the picture.",
             {Weight::Regular, 11, theme::kGrey3});
}

void drawStatusArea(Canvas& canvas) {
  const Box& lines = layout::kStatusLines;
  canvas.horizontalLine(kMargin, canvas.width() - kMargin, lines.y - 6, theme::kGrey5);
  canvas.fillRect(kMargin + 2, lines.y + 1, 3, layout::kStatusLineCount * layout::kStatusLineStep,
                  theme::kAccentLight);
}

}  // namespace

Canvas drawDialogBackground(const Fonts& fonts) {
  Canvas canvas(layout::kDialogWidth, layout::kDialogHeight, theme::kPaper);
  drawTitleBand(canvas, fonts);
  drawHeading(canvas, fonts, kMargin, kHeadingBaseline,
              layout::kFields.x + layout::kFields.w - kMargin, "Print job");
  drawPreviewArea(canvas, fonts);
  canvas.horizontalLine(kMargin, canvas.width() - kMargin, layout::kOkButton.y - 9, theme::kGrey5);
  drawStatusArea(canvas);
  // The window has no frame of its own.
  canvas.frameRect(0, 0, canvas.width(), canvas.height(), theme::kSlate);
  return canvas;
}

}  // namespace artwork
