// GDI rules of the stand-in: lines, regions, blits, DIB transfers, object lifetimes, resource
// bitmaps and painting. The comparison scene checks the same rules against real GDI.
#include "platform_fixture.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

namespace drv = platform::driver;

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);

// A window cleared to white with a DC on it; both released at the end of the test.
class Canvas : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    window = drv::createWindow(40, 30);
    dc = GetDC(window);
    clear();
  }
  void TearDown() override {
    ReleaseDC(window, dc);
    PlatformTest::TearDown();
  }
  void clear() {
    RECT all = {0, 0, 40, 30};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  Pixels inked() const {
    Pixels found;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        if (drv::pixel(window, x, y) != white) found.insert({x, y});
    return found;
  }
  Pixels line(int x0, int y0, int x1, int y1) {
    clear();
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    return inked();
  }
  Pixels fill(HRGN region) {
    clear();
    FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(region);
    return inked();
  }
  HWND window = nullptr;
  HDC dc = nullptr;
};

using Lines = Canvas;
using Regions = Canvas;
using Transfers = Canvas;
using Text = Canvas;

}  // namespace

TEST_F(Lines, EndPointIsNotDrawn) {
  struct Case {
    int x0, y0, x1, y1;
    Pixels expected;
  };
  const Case cases[] = {
      {2, 2, 6, 2, {{2, 2}, {3, 2}, {4, 2}, {5, 2}}},
      {6, 2, 2, 2, {{6, 2}, {5, 2}, {4, 2}, {3, 2}}},
      {3, 1, 3, 4, {{3, 1}, {3, 2}, {3, 3}}},
      {1, 1, 4, 4, {{1, 1}, {2, 2}, {3, 3}}},
      {4, 1, 1, 4, {{4, 1}, {3, 2}, {2, 3}}},
      {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {5, 5, 5, 5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1);
    EXPECT_EQ(line(c.x0, c.y0, c.x1, c.y1), c.expected);
  }
}

TEST_F(Lines, ReversedLineCoversTheSamePixels) {
  // GDI breaks ties by octant so that a line drawn backwards covers the same pixels.
  for (int dx = -9; dx <= 9; ++dx)
    for (int dy = -9; dy <= 9; ++dy) {
      if (dx == 0 && dy == 0) continue;
      Pixels forward = line(15, 12, 15 + dx, 12 + dy);
      Pixels backward = line(15 + dx, 12 + dy, 15, 12);
      forward.insert({15 + dx, 12 + dy});
      backward.insert({15, 12});
      EXPECT_EQ(forward, backward) << dx << "," << dy;
    }
}

TEST_F(Lines, PenColourPositionAndNullPen) {
  HPEN red = CreatePen(PS_SOLID, 1, RGB(200, 0, 0));
  HGDIOBJ old = SelectObject(dc, red);
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 3, 0);
  EXPECT_EQ(drv::pixel(window, 1, 0), RGB(200, 0, 0));
  POINT previous;
  MoveToEx(dc, 10, 10, &previous);
  EXPECT_EQ(previous.x, 3);  // LineTo moved the current position to its end point
  SelectObject(dc, GetStockObject(NULL_PEN));
  LineTo(dc, 20, 10);
  EXPECT_EQ(drv::pixel(window, 12, 10), white);
  MoveToEx(dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 20);
  SelectObject(dc, old);
  DeleteObject(red);
}

TEST_F(Regions, RectanglesExcludeRightAndBottomEdges) {
  RECT r = {2, 3, 5, 5};
  EXPECT_EQ(fill(CreateRectRgnIndirect(&r)),
            (Pixels{{2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}}));
  EXPECT_TRUE(fill(CreateRectRgn(4, 4, 4, 9)).empty());
}

TEST_F(Regions, TrianglesSharingAnEdgeNeitherOverlapNorLeaveGaps) {
  const POINT lower[] = {{0, 0}, {10, 0}, {10, 10}};
  const POINT upper[] = {{0, 0}, {10, 10}, {0, 10}};
  Pixels a = fill(CreatePolygonRgn(lower, 3, ALTERNATE));
  Pixels b = fill(CreatePolygonRgn(upper, 3, ALTERNATE));
  Pixels both = a;
  both.insert(b.begin(), b.end());
  EXPECT_EQ(a.size() + b.size(), 100u);
  EXPECT_EQ(both.size(), 100u);
  for (auto [x, y] : both) {
    EXPECT_LT(x, 10);
    EXPECT_LT(y, 10);
  }
}

TEST_F(Regions, FillModeDecidesTheCentreOfAStar) {
  const POINT star[] = {{20, 2}, {26, 22}, {10, 9}, {30, 9}, {14, 22}};
  EXPECT_EQ(fill(CreatePolygonRgn(star, 5, ALTERNATE)).count({20, 13}), 0u);
  EXPECT_EQ(fill(CreatePolygonRgn(star, 5, WINDING)).count({20, 13}), 1u);
  EXPECT_EQ(CreatePolygonRgn(star, 5, 7), nullptr);
}

TEST_F(Transfers, BitBltCopiesAndClipsAtEveryEdge) {
  const COLORREF colours[] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)};
  HBITMAP bitmap = drv::createBitmap(2, 2, colours);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  EXPECT_TRUE(BitBlt(dc, 5, 6, 2, 2, memory, 0, 0, SRCCOPY));
  EXPECT_EQ(drv::pixel(window, 5, 6), colours[0]);
  EXPECT_EQ(drv::pixel(window, 6, 7), colours[3]);
  EXPECT_TRUE(BitBlt(dc, 39, -1, 2, 2, memory, 0, 0, SRCCOPY));  // only the bottom-left lands
  EXPECT_EQ(drv::pixel(window, 39, 0), colours[2]);
  clear();
  EXPECT_TRUE(BitBlt(dc, 0, 0, 4, 4, memory, 1, 1, SRCCOPY));  // beyond the source: untouched
  EXPECT_EQ(drv::pixel(window, 0, 0), colours[3]);
  EXPECT_EQ(drv::pixel(window, 1, 0), white);
  EXPECT_EQ(drv::pixel(window, 0, 1), white);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

TEST_F(Transfers, ABitmapLivesInOneMemoryDcAtATime) {
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  HDC first = CreateCompatibleDC(dc), second = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(first, bitmap);
  EXPECT_NE(old, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);  // a window DC takes no bitmap
  SelectObject(first, old);
  EXPECT_NE(SelectObject(second, bitmap), nullptr);
  DeleteDC(first);
  DeleteDC(second);
  DeleteObject(bitmap);
}

TEST_F(Transfers, DibRowsFollowTheirOrientation) {
  // Two rows of 24-bit pixels (padded to 8 bytes): memory row 0 is blue-ish, row 1 red-ish.
  const unsigned char bits[] = {255, 0, 0, 250, 0, 0, 0, 0, 0, 0, 255, 0, 0, 250, 0, 0};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  for (int height : {2, -2}) {
    SCOPED_TRACE(height);
    info.bmiHeader.biHeight = height;
    clear();
    EXPECT_EQ(SetDIBitsToDevice(dc, 3, 4, 2, 2, 0, 0, 0, 2, bits, &info, DIB_RGB_COLORS), 2);
    COLORREF top = height > 0 ? RGB(255, 0, 0) : RGB(0, 0, 255);
    EXPECT_EQ(drv::pixel(window, 3, 4), top);
    EXPECT_EQ(drv::pixel(window, 3, 5), height > 0 ? RGB(0, 0, 255) : RGB(255, 0, 0));
    EXPECT_EQ(drv::pixel(window, 4, 4), height > 0 ? RGB(250, 0, 0) : RGB(0, 0, 250));
  }
}

TEST_F(Transfers, PalettedDibPixelsComeFromThePalette) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  info.header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 8, -1, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
  info.colours[0] = RGBQUAD{0, 0, 0, 0};
  info.colours[1] = RGBQUAD{30, 20, 10, 0};
  const unsigned char bits[4] = {0x5A, 0, 0, 0};  // 0101 1010
  SetDIBitsToDevice(dc, 0, 0, 8, 1, 0, 0, 0, 1, bits, reinterpret_cast<BITMAPINFO*>(&info),
                    DIB_RGB_COLORS);
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(drv::pixel(window, x, 0), (0x5A >> (7 - x)) & 1 ? RGB(10, 20, 30) : black) << x;
}

TEST_F(Transfers, ResourceBitmapsLoadByNameWithTheirSize) {
  HBITMAP main = LoadBitmapA(nullptr, "FILTER_MAIN_BITMAP");
  HBITMAP again = LoadBitmapA(nullptr, "filter_main_bitmap");
  ASSERT_NE(main, nullptr);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(main, again);  // every load is a new bitmap the caller deletes
  BITMAP info{};
  EXPECT_EQ(GetObjectA(main, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 500);
  EXPECT_EQ(info.bmHeight, 420);
  EXPECT_EQ(LoadBitmapA(nullptr, "NO_SUCH_BITMAP"), nullptr);
  EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 2);
  DeleteObject(main);
  DeleteObject(again);
  EXPECT_EQ(drv::liveObjects(drv::Object::Bitmap), 0);
}

TEST_F(Transfers, PicturesAreSavedAsPng) {
  std::string path = drv::savePng(window, "platform_canvas.png");
  ASSERT_FALSE(path.empty());
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  unsigned char signature[8] = {};
  EXPECT_EQ(std::fread(signature, 1, 8, file), 8u);
  std::fclose(file);
  EXPECT_EQ(std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8), 0);
  EXPECT_TRUE(drv::savePng(static_cast<HWND>(nullptr), "none.png").empty());
}

using Objects = PlatformTest;

TEST_F(Objects, LiveCountsReturnToZeroWhenEverythingIsDeleted) {
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(memory, 3, 3);
  HPEN pen = CreatePen(PS_SOLID, 1, black);
  HBRUSH brush = CreateSolidBrush(black);
  HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  RECT r = {0, 0, 2, 2};
  HRGN region = CreateRectRgnIndirect(&r);
  struct Count {
    drv::Object kind;
    int live;
  };
  for (Count c : {Count{drv::Object::Bitmap, 1}, Count{drv::Object::Pen, 1},
                  Count{drv::Object::Brush, 1}, Count{drv::Object::Font, 1},
                  Count{drv::Object::Region, 1}, Count{drv::Object::DeviceContext, 1}})
    EXPECT_EQ(drv::liveObjects(c.kind), c.live) << int(c.kind);
  HGDIOBJ oldPen = SelectObject(memory, pen);
  SelectObject(memory, font);
  SelectObject(memory, bitmap);
  // Deleting a selected object only marks it: it lives until it is deselected.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(drv::liveObjects(drv::Object::Pen), 1);
  EXPECT_EQ(SelectObject(memory, pen), nullptr);
  SelectObject(memory, oldPen);
  EXPECT_EQ(drv::liveObjects(drv::Object::Pen), 0);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(memory));  // frees the font and bitmap it still held
  DeleteObject(brush);
  DeleteObject(region);
  EXPECT_EQ(drv::liveObjects(), 0);
}

TEST_F(Objects, StaleAndStockHandlesAreSafe) {
  // Nothing is allocated between the delete and the calls, so the stale address stays unused
  // (handles are recycled, on Windows as here).
  HDC memory = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, black);
  DeleteObject(pen);
  EXPECT_EQ(SelectObject(memory, pen), nullptr);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectA(pen, 0, nullptr), 0);
  DeleteDC(memory);
  EXPECT_FALSE(DeleteDC(memory));
  EXPECT_FALSE(LineTo(memory, 3, 3));
  HGDIOBJ stock = GetStockObject(WHITE_BRUSH);
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), stock);
  EXPECT_EQ(drv::liveObjects(), 0);
}

using Painting = PlatformTest;

TEST_F(Painting, BeginPaintErasesClipsAndValidates) {
  HWND window = drv::createWindow(20, 10);
  HDC dc = GetDC(window);
  RECT all = {0, 0, 20, 10};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(window, dc);
  RECT part = {2, 2, 6, 5};
  RECT more = {4, 3, 8, 6};
  ValidateRect(window, nullptr);
  InvalidateRect(window, &part, TRUE);
  InvalidateRect(window, &more, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
  EXPECT_EQ(update.left, 2);
  EXPECT_EQ(update.bottom, 6);
  PAINTSTRUCT paint;
  HDC painting = BeginPaint(window, &paint);
  EXPECT_EQ(paint.rcPaint.right, 8);
  FillRect(painting, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EndPaint(window, &paint);
  EXPECT_EQ(drv::pixel(window, 2, 2), white);  // inside the update area
  EXPECT_EQ(drv::pixel(window, 1, 2), black);  // outside it: clipped
  EXPECT_EQ(drv::pixel(window, 8, 5), black);  // right and bottom edges excluded
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  EXPECT_EQ(drv::liveObjects(), 0);
}

TEST_F(Painting, ErasedBackgroundIsTheDialogFaceUnlessThePaintCoversIt) {
  HWND window = drv::createWindow(10, 10);
  ValidateRect(window, nullptr);
  HDC dc = GetDC(window);
  RECT all = {0, 0, 10, 10};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(window, dc);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);  // no procedure: the default painting only erases
  EXPECT_EQ(drv::pixel(window, 5, 5), RGB(240, 240, 240));
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(Text, AlignmentAnchorsTheCell) {
  HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "1:2", 3, &size));
  EXPECT_EQ(size.cy, 14);  // a positive height is the cell height
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 255, 0));
  struct Case {
    UINT align;
    int left, top;  // where the cell of "1:2" drawn at (20, 15) begins
  };
  const int ascent = 11;
  const Case cases[] = {{TA_LEFT | TA_TOP, 20, 15},
                        {TA_RIGHT | TA_TOP, 20 - size.cx, 15},
                        {TA_CENTER | TA_TOP, 20 - size.cx / 2, 15},
                        {TA_LEFT | TA_BASELINE, 20, 15 - ascent},
                        {TA_RIGHT | TA_BOTTOM, 20 - size.cx, 15 - 14}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    clear();
    SetTextAlign(dc, c.align);
    TextOutA(dc, 20, 15, "1:2", 3);
    EXPECT_EQ(drv::pixel(window, c.left, c.top), RGB(255, 255, 0));
    EXPECT_EQ(drv::pixel(window, c.left + size.cx - 1, c.top + size.cy - 1), RGB(255, 255, 0));
    EXPECT_EQ(drv::pixel(window, c.left - 1, c.top), white);
    EXPECT_EQ(drv::pixel(window, c.left + size.cx, c.top), white);
    EXPECT_EQ(drv::pixel(window, c.left, c.top + size.cy), white);
  }
  SelectObject(dc, old);
  DeleteObject(font);
}

TEST_F(Text, TransparentTextLeavesTheBackgroundAndNegativeHeightIsTheEm) {
  HFONT font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size;
  GetTextExtentPoint32A(dc, "H", 1, &size);
  EXPECT_EQ(size.cy, 16);  // em 14: ascent 13 + descent 3
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, RGB(255, 255, 0));
  SetTextColor(dc, RGB(0, 0, 200));
  TextOutA(dc, 2, 2, "H", 1);
  int blue = 0;
  for (auto p : inked()) {
    EXPECT_EQ(drv::pixel(window, p.first, p.second), RGB(0, 0, 200));
    ++blue;
  }
  EXPECT_GT(blue, 10);
  SelectObject(dc, old);
  DeleteObject(font);
}
