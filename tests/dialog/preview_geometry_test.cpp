// The arithmetic behind the dialog: the preview's layout, drag and start zoom, and the
// print-size rules (linked sides, the eye distance limit).
#include <gtest/gtest.h>

#include "dialog/preview_layout.h"
#include "dialog/print_size_links.h"

namespace {

constexpr int kPaneWidth = 252, kPaneHeight = 218, kPaneLeft = 232, kPaneTop = 71;

TEST(PreviewLayoutTest, SmallImagesAreCentredAndLargeOnesFetchedInAWindow) {
  const struct {
    const char* name;
    int32_t scaled, pane, paneStart;
    AxisLayout expected;
  } cases[] = {
      {"500 at 1:2 across", 250, kPaneWidth, kPaneLeft, {250, 250, 0, 0, 233, false, false}},
      {"400 at 1:2 down", 200, kPaneHeight, kPaneTop, {200, 200, 0, 0, 80, false, false}},
      {"3000 at 1:1 across",
       3000,
       kPaneWidth,
       kPaneLeft,
       {252, 756, (3000 - 756) / 2, (756 - 252) / 2, kPaneLeft, true, true}},
      {"2000 at 1:1 down",
       2000,
       kPaneHeight,
       kPaneTop,
       {218, 654, (2000 - 654) / 2, (654 - 218) / 2, kPaneTop, true, true}},
      {"600: draggable, fetched whole",
       600,
       kPaneWidth,
       kPaneLeft,
       {252, 600, 0, 174, kPaneLeft, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AxisLayout a = layoutAxis(0, c.scaled, c.pane, c.paneStart);
    EXPECT_EQ(a.visible, c.expected.visible);
    EXPECT_EQ(a.fetch, c.expected.fetch);
    EXPECT_EQ(a.fetchOrigin, c.expected.fetchOrigin);
    EXPECT_EQ(a.viewOffset, c.expected.viewOffset);
    EXPECT_EQ(a.destination, c.expected.destination);
    EXPECT_EQ(a.draggable, c.expected.draggable);
    EXPECT_EQ(a.fetchLimited, c.expected.fetchLimited);
  }
}

TEST(PreviewLayoutTest, StartZoomRoundsHalvesUpAndHasNoUpperLimit) {
  const struct {
    int16 width, height;
    int32_t zoom;
  } cases[] = {{1000, 500, 4}, {630, 200, 3}, {100, 100, 1}, {3000, 2600, 12}, {252, 218, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(initialPreviewZoom(Rect{0, 0, c.height, c.width}, kPaneWidth, kPaneHeight), c.zoom);
  }
}

TEST(PreviewLayoutTest, DragsStopAtTheBufferAndTheBufferAtTheImage) {
  AxisLayout a = layoutAxis(0, 3000, kPaneWidth, kPaneLeft);  // buffer 756, view at 252
  EXPECT_EQ(dragWithinBuffer(100, a), 100);
  EXPECT_EQ(dragWithinBuffer(400, a), 252);    // stops at the buffer's left edge
  EXPECT_EQ(dragWithinBuffer(-400, a), -252);  // and at its right edge

  AxisLayout moved = a;
  followDrag(100, 0, 3000, &moved);  // the buffer follows, the view stays in it
  EXPECT_EQ(moved.fetchOrigin, a.fetchOrigin - 100);
  EXPECT_EQ(moved.viewOffset, a.viewOffset);
  moved = a;
  moved.fetchOrigin = 50;
  followDrag(200, 0, 3000, &moved);  // the image ends: the rest moves the view
  EXPECT_EQ(moved.fetchOrigin, 0);
  EXPECT_EQ(moved.viewOffset, a.viewOffset - 150);
  moved = a;
  moved.fetchOrigin = 0;
  moved.viewOffset = 10;
  followDrag(200, 0, 3000, &moved);  // never out of the buffer
  EXPECT_EQ(moved.viewOffset, 0);
}

TEST(PreviewLayoutTest, ANewZoomKeepsTheCentreWhereItFits) {
  AxisLayout a = layoutAxis(0, 3000, kPaneWidth, kPaneLeft);
  EXPECT_EQ(fetchOriginAround(1500, a.fetch, 0, 3000), 1500 - 378);
  EXPECT_EQ(fetchOriginAround(100, a.fetch, 0, 3000), 0);
  EXPECT_EQ(fetchOriginAround(2900, a.fetch, 0, 3000), 3000 - 756);
  a.fetchOrigin = 1000;
  EXPECT_EQ(viewOffsetAround(1400, a), 400 - 126);
  EXPECT_EQ(viewOffsetAround(1010, a), 0);
  EXPECT_EQ(viewOffsetAround(1750, a), 756 - 252);
}

TEST(PrintSizeTest, TheOtherSideFollowsThePixelProportionTruncated) {
  EXPECT_EQ(linkedPrintSize(300, 4000, 2000), 150);
  EXPECT_EQ(linkedPrintSize(301, 4000, 2000), 150);
  EXPECT_EQ(linkedPrintSize(150, 2000, 4000), 300);
  EXPECT_EQ(linkedPrintSize(100, 3, 1), 33);
  EXPECT_EQ(linkedPrintSize(100, 0, 100), -1);
}

TEST(PrintSizeTest, EyeDistanceLimits) {
  const struct {
    const char* name;
    int32 width, height;
    bool widthAtTop, heightAtTop;
    int32 eye;
    PrintSizeLimit expected;
  } cases[] = {
      {"large poster from the top position", 600, 400, true, false, 5, {1200, 800, 4000}},
      {"large poster, no field at the top", 500, 300, false, false, 5, {500, 300, 4000}},
      {"already at the natural size", 1300, 900, false, false, 1, {1300, 900, 600}},
      {"book caps the natural size in proportion", 600, 400, true, false, 1, {600, 400, 600}},
      {"too large for a small box", 700, 300, false, false, 2, {600, 400, 600}},
      {"large box", 500, 300, false, true, 3, {800, 533, 800}},
      {"an unknown step acts as a book", 500, 300, false, false, 9, {500, 300, 600}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PrintSizeLimit l =
        limitPrintSize(c.width, c.height, 1200.0f, 800.0f, c.widthAtTop, c.heightAtTop, c.eye);
    EXPECT_EQ(l.width, c.expected.width);
    EXPECT_EQ(l.height, c.expected.height);
    EXPECT_EQ(l.range, c.expected.range);
  }
  EXPECT_EQ(largestPrintSize(3), 800);
  EXPECT_EQ(largestPrintSize(4), 1000);
  EXPECT_FLOAT_EQ(naturalPrintSize(3000, 300 << 16), 254.0f);
  EXPECT_EQ(naturalPrintSize(3000, 0), 0.0f);
}

}  // namespace
