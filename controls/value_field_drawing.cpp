// Drawing of the value field's slider: the track with its end ticks, the optional step ticks
// and the triangular thumb. Everything is drawn straight into the field's window at the field's
// absolute position; pens, region and device context live only for one call.
#include "controls/value_field.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kThumbLine = RGB(230, 230, 0);
constexpr int32_t kTrackRow = 16;  // the track's row below the field's top
constexpr int32_t kTickHeight = 4;

class SliderPainter {
 public:
  explicit SliderPainter(HWND window)
      : window_(window),
        dc_(window ? GetDC(window) : nullptr),
        black_(CreatePen(PS_SOLID, 1, kBlack)),
        yellow_(CreatePen(PS_SOLID, 1, kThumbLine)),
        saved_(dc_ ? SelectObject(dc_, black_) : nullptr) {}
  ~SliderPainter() {
    if (dc_) {
      SelectObject(dc_, saved_);
      ReleaseDC(window_, dc_);
    }
    DeleteObject(black_);
    DeleteObject(yellow_);
  }
  SliderPainter(const SliderPainter&) = delete;
  SliderPainter& operator=(const SliderPainter&) = delete;

  bool ready() const { return dc_ && black_ && yellow_; }

  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool yellow = false) {
    SelectObject(dc_, yellow ? yellow_ : black_);
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
  }

  void triangle(const POINT (&corners)[3], int stockBrush) {
    HRGN region = CreatePolygonRgn(corners, 3, ALTERNATE);
    if (!region) return;
    FillRgn(dc_, region, static_cast<HBRUSH>(GetStockObject(stockBrush)));
    DeleteObject(region);
  }

 private:
  HWND window_;
  HDC dc_;
  HPEN black_;
  HPEN yellow_;
  HGDIOBJ saved_;
};

void drawTrack(SliderPainter& p, ValueField& f) {
  const int32_t t = f.thumbWidth();
  const int32_t row = f.absoluteY() + kTrackRow;
  const int32_t left = f.absoluteX() + t / 2;
  const int32_t right = f.absoluteX() + f.width - t / 2 - 1;
  p.line(left, row, right, row);
  p.line(left, row, left, row - kTickHeight);
  p.line(right, row, right, row - kTickHeight);
}

// The step ticks use a single-precision scale, which places a few of them one pixel away from
// where the double-precision thumb would stand; that is how the ticks have always looked.
void drawStepTicks(SliderPainter& p, ValueField& f) {
  const float scale = float(f.scale());
  const int32_t row = f.absoluteY() + kTrackRow;
  const int32_t left = f.absoluteX() + f.thumbWidth() / 2;
  for (int32_t v = 0; v < f.count(); v += f.step()) {
    const int32_t x = left + int32_t(float(v) * scale);
    p.line(x, row, x, row - kTickHeight);
  }
}

// The erasing triangle reaches one row higher than the thumb so that no black pixel of the
// apex survives; the track it cuts through is drawn again afterwards.
void drawThumbShape(SliderPainter& p, ValueField& f, bool visible) {
  const int32_t t = f.thumbWidth();
  const int32_t left = f.absoluteX() + f.thumb()->x;
  const int32_t apexX = left + t / 2;
  const int32_t apexY = f.absoluteY() + kTrackRow + 1;
  const int32_t baseY = apexY + t / 2;
  const POINT corners[3] = {{apexX, visible ? apexY : apexY - 1}, {left, baseY}, {left + t, baseY}};
  p.triangle(corners, visible ? BLACK_BRUSH : WHITE_BRUSH);
  if (!visible) return;
  p.line(apexX, apexY, apexX, apexY + t / 3);
  p.line(apexX, apexY + 2, apexX, apexY + t / 3, true);
}

}  // namespace

uint32_t ValueField::draw(Position origin, HWND window) {
  {
    SliderPainter painter(window_);
    if (painter.ready() && thumb_) {
      drawTrack(painter, *this);
      drawThumbShape(painter, *this, true);
      if (ticks_) drawStepTicks(painter, *this);
    }
  }
  return RangeGroup::draw(origin, window);
}

void ValueField::paintThumb(bool visible) {
  SliderPainter painter(window_);
  if (!painter.ready() || !thumb_) return;
  drawThumbShape(painter, *this, visible);
  drawTrack(painter, *this);
}
