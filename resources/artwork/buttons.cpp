// The push buttons of the main dialog. Every button is a rounded face with a one-pixel
// border on the dialog's white; a pressed button is darker and its label sits one pixel
// lower, so it reads as pushed in. Plain buttons use only the sixteen colours, because the
// Save button is a 4-bit picture and must look like its 8-bit neighbours.
#include "resources/artwork/pictures.h"
#include "resources/artwork/theme.h"

namespace artwork {

namespace {

constexpr double kCornerRadius = 3.5;

struct Face {
  Rgb border, fill, text;
};

Face faceFor(ButtonKind kind, bool pressed) {
  using namespace theme;
  if (kind == ButtonKind::Primary) return {kAccentDark, pressed ? kAccentDark : kAccent, kPaper};
  return {pressed ? kGrey3 : kGrey4, pressed ? kGrey5 : kGrey6, kInk};
}

void drawFace(Canvas& canvas, const Face& face) {
  const double w = canvas.width(), h = canvas.height();
  canvas.fill(roundedRectRegion(0, 0, w, h, kCornerRadius), 0, 0, canvas.width(), canvas.height(),
              face.border);
  canvas.fill(roundedRectRegion(1, 1, w - 2, h - 2, kCornerRadius - 1), 0, 0, canvas.width(),
              canvas.height(), face.fill);
}

int baselineFor(const Fonts& fonts, const Canvas& canvas, const TextStyle& style, bool pressed) {
  return (canvas.height() + fonts.capHeight(style)) / 2 + (pressed ? 1 : 0);
}

}  // namespace

Canvas drawButton(const Fonts& fonts, int width, int height, const std::string& label,
                  ButtonKind kind, bool pressed) {
  Canvas canvas(width, height, theme::kPaper);
  const Face face = faceFor(kind, pressed);
  drawFace(canvas, face);
  const TextStyle style{kind == ButtonKind::Primary ? Weight::Bold : Weight::Regular,
                        height >= 20 ? theme::kButtonSize : theme::kSmallButtonSize, face.text};
  fonts.drawCentred(canvas, width / 2 + (pressed ? 1 : 0),
                    baselineFor(fonts, canvas, style, pressed), label, style);
  return canvas;
}

Canvas drawAccelerationToggle(const Fonts& fonts, bool on) {
  Canvas canvas(37, 18, theme::kPaper);
  drawFace(canvas, faceFor(ButtonKind::Plain, false));
  // A lamp: green and lit when acceleration is on, an empty grey ring when it is off.
  const Region lamp = ellipseRegion(8.5, 9, 3.5, 3.5);
  if (on) {
    canvas.fill(lamp, 3, 4, 12, 12, theme::kGreen);
  } else {
    canvas.fill(differenceRegion(lamp, ellipseRegion(8.5, 9, 2.3, 2.3)), 3, 4, 12, 12,
                theme::kGrey3);
  }
  const TextStyle style{Weight::Regular, theme::kSmallButtonSize, on ? theme::kInk : theme::kGrey2};
  fonts.draw(canvas, 14, baselineFor(fonts, canvas, style, false), "Fast", style);
  return canvas;
}

}  // namespace artwork
