// The About picture, 350 x 280: a small landscape print above the name of the filter, four
// drops of ink, and at the lower right the quiet white area where the About window writes
// its version and maker lines in grey.
#include "resources/artwork/layout.h"
#include "resources/artwork/pictures.h"
#include "resources/artwork/theme.h"

namespace artwork {

namespace {

constexpr int kPhotoHeight = 150;

void drawLandscape(Canvas& canvas) {
  const int w = canvas.width();
  canvas.fillGradient(0, 0, w, kPhotoHeight, {92, 142, 204}, {214, 230, 244});
  canvas.fill(ellipseRegion(262, 46, 17, 17), 230, 14, 64, 64, {255, 236, 170});
  canvas.fill(
      polygonRegion(
          {{0, 118}, {70, 52}, {118, 92}, {176, 38}, {262, 112}, {350, 70}, {350, 150}, {0, 150}}),
      0, 30, w, 120, {88, 110, 134});
  canvas.fill(polygonRegion({{176, 38}, {160, 53}, {172, 50}, {180, 57}, {189, 50}}), 150, 30, 50,
              30, {240, 244, 248});
  canvas.fill(polygonRegion(
                  {{0, 150}, {0, 128}, {90, 104}, {200, 122}, {300, 100}, {350, 112}, {350, 150}}),
              0, 96, w, 54, {70, 124, 84});
  canvas.horizontalLine(0, w, kPhotoHeight, theme::kGrey4);
}

// Cyan, magenta, yellow and black: the inks the picture is printed with.
void drawInkDrops(Canvas& canvas) {
  const Rgb inks[] = {{0, 160, 222}, {222, 40, 128}, {250, 214, 30}, {40, 40, 44}};
  for (int i = 0; i < 4; ++i) {
    const double cx = 34 + 30 * i, cy = 252;
    const Region drop = [cx, cy](double x, double y) {
      if (ellipseRegion(cx, cy, 9, 9)(x, y)) return true;
      // The pointed top: a triangle tangent to the round bottom.
      return polygonRegion({{cx - 8.2, cy - 3.7}, {cx, cy - 21}, {cx + 8.2, cy - 3.7}})(x, y);
    };
    canvas.fill(drop, static_cast<int>(cx) - 12, static_cast<int>(cy) - 24, 24, 36, inks[i]);
  }
}

}  // namespace

Canvas drawAboutPicture(const Fonts& fonts) {
  Canvas canvas(layout::kAboutWidth, layout::kAboutHeight, theme::kPaper);
  drawLandscape(canvas);
  fonts.draw(canvas, 20, 192, "Inkjet", {Weight::Bold, 30, theme::kSlate});
  fonts.draw(canvas, 20, 212, "Sharpening photographs for the inkjet print",
             {Weight::Regular, 12, theme::kGrey2});
  drawInkDrops(canvas);
  canvas.frameRect(0, 0, canvas.width(), canvas.height(), theme::kSlate);
  return canvas;
}

}  // namespace artwork
