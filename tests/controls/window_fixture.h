// A stand-in window for the drawing tests, with helpers to make bitmaps and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/driver.h"

namespace drv = platform::driver;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drv::reset();
    bitmaps.clear();
    window = drv::createWindow(240, 120);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    for (HBITMAP b : bitmaps) DeleteObject(b);
    bitmaps.clear();
    drv::reset();
  }

  HBITMAP solidBitmap(int w, int h, COLORREF color) {
    std::vector<COLORREF> pixels(size_t(w) * size_t(h), color);
    HBITMAP b = drv::createBitmap(w, h, pixels.data());
    bitmaps.push_back(b);
    return b;
  }
  COLORREF at(int x, int y) const { return drv::pixel(window, x, y); }
  // How many pixels of the rectangle [left, right) x [top, bottom) have this colour.
  int count(int left, int top, int right, int bottom, COLORREF color) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += at(x, y) == color;
    return n;
  }

  // The first and last column of [left, right) x [top, bottom) that is not white.
  struct Span {
    int first = -1, last = -1;
    bool empty() const { return first < 0; }
  };
  Span inkSpan(int left, int top, int right, int bottom) const {
    Span span;
    for (int x = left; x < right; ++x)
      for (int y = top; y < bottom; ++y)
        if (at(x, y) != RGB(255, 255, 255)) {
          if (span.empty()) span.first = x;
          span.last = x;
          break;
        }
    return span;
  }
  void clearWindow() {
    HDC dc = GetDC(window);
    RECT all{0, 0, 10000, 10000};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(window, dc);
  }

  HWND window = nullptr;
  std::vector<HBITMAP> bitmaps;
};

constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kBlue = RGB(30, 30, 220);
constexpr COLORREF kGrey = RGB(200, 200, 200);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
