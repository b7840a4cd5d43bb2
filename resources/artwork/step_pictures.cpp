// The pictures of the two step selectors, 81 x 16 each: a small pictogram or face at the
// left and a word beside it. In the popup the pictures are stacked with one row of overlap,
// so the one-pixel border of each becomes a single dividing line. A pressed picture (the
// one under the pointer, or the selector's button while held) is white on the accent blue.
// The Eye Distance pictures are 4-bit, so they draw with the sixteen colours only.
#include <cmath>

#include "resources/artwork/pictures.h"
#include "resources/artwork/theme.h"

namespace artwork {

namespace {

constexpr int kWidth = 81;
constexpr int kHeight = 16;
constexpr int kLabelX = 18;
constexpr int kLabelSize = 11;
constexpr int kLabelBaseline = 12;
constexpr double kStroke = 1.3;

struct Colours {
  Rgb back, border, ink, text;
};

Colours coloursFor(bool pressed) {
  using namespace theme;
  return pressed ? Colours{kAccent, kAccent, kPaper, kPaper} : Colours{kPaper, kGrey4, kInk, kInk};
}

Canvas blankPicture(const Colours& colours) {
  Canvas canvas(kWidth, kHeight, colours.back);
  canvas.frameRect(0, 0, kWidth, kHeight, colours.border);
  return canvas;
}

void stroke(Canvas& canvas, Point a, Point b, Rgb ink) {
  canvas.fill(segmentRegion(a, b, kStroke), 0, 0, kLabelX, kHeight, ink);
}

void drawBook(Canvas& canvas, Rgb ink, Rgb back) {
  canvas.fill(roundedRectRegion(4, 2, 10, 12, 1.5), 0, 0, kLabelX, kHeight, ink);
  canvas.fillRect(6, 10, 7, 2, back);  // the edges of the pages
  canvas.fillRect(6, 4, 5, 1, back);   // a title on the cover
}

// A box seen on a shelf: a cube of edge `size` drawn in outline, standing on a line.
void drawBox(Canvas& canvas, Rgb ink, double size) {
  const double depth = std::round(size / 3);
  const double x0 = 9 - (size + depth) / 2, bottom = 13.5;
  const Point a{x0, bottom - size}, b{x0 + size, bottom - size}, c{x0 + size, bottom},
      d{x0, bottom};
  const Point a2{a.x + depth, a.y - depth}, b2{b.x + depth, b.y - depth},
      c2{c.x + depth, c.y - depth};
  for (auto [p, q] :
       {std::pair{a, b}, {b, c}, {c, d}, {d, a}, {a, a2}, {b, b2}, {c, c2}, {a2, b2}, {b2, c2}}) {
    stroke(canvas, p, q, ink);
  }
}

// A framed poster with a mountain and a sun in it.
void drawPoster(Canvas& canvas, Rgb ink, double w, double h) {
  const double left = 9.5 - w / 2, top = 14 - h;
  const Point tl{left, top}, tr{left + w, top}, br{left + w, 14}, bl{left, 14};
  for (auto [p, q] : {std::pair{tl, tr}, {tr, br}, {br, bl}, {bl, tl}}) stroke(canvas, p, q, ink);
  canvas.fill(
      polygonRegion({{left + 1, 13.5}, {left + w * 0.4, top + h * 0.45}, {left + w - 1, 13.5}}), 0,
      0, kLabelX, kHeight, ink);
  canvas.fill(ellipseRegion(left + w * 0.72, top + h * 0.3, w / 9, w / 9), 0, 0, kLabelX, kHeight,
              ink);
}

const char* const kEyeDistanceNames[kEyeDistanceSteps] = {"Book", "Small Box", "Large Box",
                                                          "Small Poster", "Large Poster"};

const char* const kProfileNames[kProfileSteps] = {"Sophie", "Paul", "Max"};

// The largest type size, at most kLabelSize, at which every name fits between the label's
// start and the right border; all pictures of a selector use the same size.
int labelSizeFor(const Fonts& fonts, const char* const* names, int count, int rightEdge) {
  int size = kLabelSize;
  for (int i = 0; i < count; ++i) {
    while (size > 8 && kLabelX + fonts.measure(names[i], {Weight::Regular, size, {}}) > rightEdge)
      --size;
  }
  return size;
}

Region intersect(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

Region below(double limit) {
  return [limit](double, double y) { return y > limit; };
}

Region above(double limit) {
  return [limit](double, double y) { return y < limit; };
}

void fillIcon(Canvas& canvas, const Region& region, Rgb colour) {
  canvas.fill(region, 0, 0, kLabelX, kHeight, colour);
}

// Sophie, the softer style: long hair and a gentle smile.
void drawSophie(Canvas& canvas) {
  using namespace theme;
  fillIcon(canvas, roundedRectRegion(2.5, 2, 13, 13, 5), kHairBrown);
  fillIcon(canvas, ellipseRegion(9, 9, 4.6, 5.2), kSkin);
  fillIcon(canvas, intersect(ellipseRegion(9, 6, 5.2, 4), above(6.5)), kHairBrown);
  fillIcon(canvas, ellipseRegion(7.2, 8.6, 0.8, 0.8), kInk);
  fillIcon(canvas, ellipseRegion(10.8, 8.6, 0.8, 0.8), kInk);
  fillIcon(canvas,
           differenceRegion(ellipseRegion(9, 10.6, 2.2, 1.8), ellipseRegion(9, 9.9, 2.4, 1.8)),
           kRed);
}

// Paul, the conventional style: short hair and a plain smile.
void drawPaul(Canvas& canvas) {
  using namespace theme;
  fillIcon(canvas, ellipseRegion(9, 8.8, 5.4, 6), kSkin);
  fillIcon(canvas, intersect(ellipseRegion(9, 7.5, 5.9, 5.8), above(5.6)), kHairDark);
  fillIcon(canvas, ellipseRegion(7, 8.4, 0.8, 0.8), kInk);
  fillIcon(canvas, ellipseRegion(11, 8.4, 0.8, 0.8), kInk);
  fillIcon(canvas, segmentRegion({7, 11.6}, {11, 11.6}, 1.1), kInk);
}

// Max, the progressive style: spiky hair, raised brows and a wide grin.
void drawMax(Canvas& canvas) {
  using namespace theme;
  fillIcon(canvas,
           polygonRegion({{3, 8},
                          {3.5, 2.5},
                          {5.8, 4.6},
                          {7.4, 0.8},
                          {9.2, 4},
                          {11.2, 0.8},
                          {12.4, 4.6},
                          {15, 2.5},
                          {15, 8}}),
           kHairBlond);
  fillIcon(canvas, ellipseRegion(9, 9.3, 5.2, 5.6), kSkin);
  fillIcon(canvas, segmentRegion({5.8, 6.6}, {8, 6.0}, 1.0), kHairDark);
  fillIcon(canvas, segmentRegion({10, 6.0}, {12.2, 6.6}, 1.0), kHairDark);
  fillIcon(canvas, ellipseRegion(7, 8.5, 0.8, 0.8), kInk);
  fillIcon(canvas, ellipseRegion(11, 8.5, 0.8, 0.8), kInk);
  fillIcon(canvas, intersect(ellipseRegion(9, 10.6, 3, 2.6), below(10.6)), kInk);
}

// Three short bars at the right end show the strength of the style, one to three.
void drawStrengthBars(Canvas& canvas, int step, bool pressed) {
  for (int bar = 0; bar < kProfileSteps; ++bar) {
    const int height = 4 + 2 * bar;
    const Rgb lit = pressed ? theme::kPaper : theme::kAccent;
    const Rgb unlit = pressed ? theme::kSlateMid : theme::kGrey5;
    canvas.fillRect(kWidth - 14 + 4 * bar, 12 - height, 2, height, bar < step ? lit : unlit);
  }
}

}  // namespace

Canvas drawEyeDistancePicture(const Fonts& fonts, int step, bool pressed) {
  const Colours colours = coloursFor(pressed);
  Canvas canvas = blankPicture(colours);
  switch (step) {
    case 1:
      drawBook(canvas, colours.ink, colours.back);
      break;
    case 2:
      drawBox(canvas, colours.ink, 6);
      break;
    case 3:
      drawBox(canvas, colours.ink, 9);
      break;
    case 4:
      drawPoster(canvas, colours.ink, 7, 9);
      break;
    default:
      drawPoster(canvas, colours.ink, 12, 12);
      break;
  }
  const int size = labelSizeFor(fonts, kEyeDistanceNames, kEyeDistanceSteps, kWidth - 2);
  fonts.draw(canvas, kLabelX, kLabelBaseline, kEyeDistanceNames[(step - 1) % kEyeDistanceSteps],
             {Weight::Regular, size, colours.text});
  return canvas;
}

Canvas drawProfilePicture(const Fonts& fonts, int step, bool pressed) {
  const Colours colours = coloursFor(pressed);
  Canvas canvas = blankPicture(colours);
  switch (step) {
    case 1:
      drawSophie(canvas);
      break;
    case 2:
      drawPaul(canvas);
      break;
    default:
      drawMax(canvas);
      break;
  }
  const int size = labelSizeFor(fonts, kProfileNames, kProfileSteps, kWidth - 16);
  fonts.draw(canvas, kLabelX, kLabelBaseline, kProfileNames[(step - 1) % kProfileSteps],
             {Weight::Regular, size, colours.text});
  drawStrengthBars(canvas, step, pressed);
  return canvas;
}

}  // namespace artwork
