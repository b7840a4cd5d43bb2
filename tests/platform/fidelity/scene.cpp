// The comparison scene; see scene.h.
#include "scene.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A pattern into a new bitmap through SetDIBitsToDevice, bottom-up or top-down.
HBITMAP patternBitmap(HDC like, int width, int height, bool bottomUp, int seed) {
  HBITMAP bitmap = CreateCompatibleBitmap(like, width, height);
  HDC memory = CreateCompatibleDC(like);
  HGDIOBJ old = SelectObject(memory, bitmap);
  std::vector<uint8_t> bits(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &bits[(size_t(bottomUp ? height - 1 - y : y) * size_t(width) + size_t(x)) * 4];
      p[0] = uint8_t(x * 7 + seed);                // blue
      p[1] = uint8_t(y * 5 + seed * 3);            // green
      p[2] = uint8_t((x + y) * 3 + (x / 8) * 40);  // red
      p[3] = 0;
    }
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = bottomUp ? height : -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(memory, 0, 0, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), bits.data(),
                    &info, DIB_RGB_COLORS);
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

void blit(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void drawLines(HDC dc) {
  // End points around two centres: every octant, the axes, the diagonals and the slopes 1:2
  // and 2:1 whose midpoints fall exactly between two pixels.
  static const int ends[][2] = {{40, 0},   {40, 20},  {40, 40},  {20, 40},   {0, 40},    {-20, 40},
                                {-40, 40}, {-40, 20}, {-40, 0},  {-40, -20}, {-40, -40}, {-20, -40},
                                {0, -40},  {20, -40}, {40, -40}, {40, -20},  {37, 11},   {-13, 29},
                                {-31, -7}, {9, -33},  {6, 3},    {-6, -3},   {3, -6},    {-3, 6}};
  HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HPEN red = CreatePen(PS_SOLID, 1, RGB(220, 30, 30));
  HGDIOBJ old = SelectObject(dc, black);
  for (const auto& e : ends) {
    MoveToEx(dc, 60, 60, nullptr);
    LineTo(dc, 60 + e[0], 60 + e[1]);
  }
  SelectObject(dc, red);
  for (const auto& e : ends) {
    MoveToEx(dc, 160 + e[0] / 2, 60 + e[1] / 2, nullptr);
    LineTo(dc, 160, 60);
  }
  SelectObject(dc, old);
  DeleteObject(black);
  DeleteObject(red);
}

void fillPolygon(HDC dc, const POINT* points, int count, int stockBrush) {
  HRGN region = CreatePolygonRgn(points, count, ALTERNATE);
  FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(stockBrush)));
  DeleteObject(region);
}

void drawShapes(HDC dc) {
  const POINT triangle1[] = {{220, 20}, {300, 35}, {240, 95}};
  const POINT triangle2[] = {{230, 100}, {310, 110}, {265, 40}};
  const POINT triangle3[] = {{205, 60}, {218, 110}, {201, 109}};
  const POINT star[] = {{250, 120}, {262, 160}, {230, 135}, {270, 135}, {238, 160}};
  fillPolygon(dc, triangle1, 3, WHITE_BRUSH);
  fillPolygon(dc, triangle2, 3, BLACK_BRUSH);
  fillPolygon(dc, triangle3, 3, WHITE_BRUSH);
  fillPolygon(dc, star, 5, BLACK_BRUSH);
  RECT box = {280, 120, 311, 151};
  HRGN rect = CreateRectRgnIndirect(&box);
  FillRgn(dc, rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DeleteObject(rect);
}

struct TextItem {
  int x, y;
  UINT align;
  int height;
  bool opaque;
  const char* text;
};

const TextItem texts[sceneTextCount] = {
    {8, 130, TA_LEFT | TA_TOP, 12, false, "Print Width 210 mm"},
    {8, 160, TA_LEFT | TA_BASELINE, 14, true, "Eye Distance"},
    {200, 170, TA_RIGHT | TA_TOP, 12, true, "Real Resolution Index 1.31"},
    {200, 200, TA_RIGHT | TA_BASELINE, 14, false, "1:2"},
    {8, 205, TA_LEFT | TA_TOP, 14, false, "Personal Profile"},
    {312, 185, TA_RIGHT | TA_TOP, 14, true, "360 dpi"},
    {312, 225, TA_RIGHT | TA_BASELINE, 12, false, "Quality: High"},
    {120, 222, TA_LEFT | TA_BASELINE, -12, true, "Warnings"}};

void drawText(HDC dc, const TextItem& item) {
  HFONT font =
      CreateFontA(item.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetTextAlign(dc, item.align);
  SetBkMode(dc, item.opaque ? OPAQUE : TRANSPARENT);
  SetBkColor(dc, RGB(255, 255, 200));
  SetTextColor(dc, RGB(10, 10, 90));
  TextOutA(dc, item.x, item.y, item.text, int(std::strlen(item.text)));
  SelectObject(dc, old);
  DeleteObject(font);
}

}  // namespace

void drawScene(HDC dc, bool withText) {
  HBITMAP background = patternBitmap(dc, sceneWidth, sceneHeight, true, 11);
  HBITMAP tile = patternBitmap(dc, 24, 14, false, 90);
  blit(dc, background, 0, 0, sceneWidth, sceneHeight);
  blit(dc, tile, 100, 110, 24, 14);
  blit(dc, tile, 130, 112, 24, 14);
  blit(dc, tile, sceneWidth - 10, 5, 24, 14);  // clipped by the right edge
  DeleteObject(background);
  DeleteObject(tile);
  drawLines(dc);
  drawShapes(dc);
  if (withText)
    for (const TextItem& item : texts) drawText(dc, item);
}

void drawSceneText(HDC dc, int index) { drawText(dc, texts[index]); }
