#include "controls/text_label.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "controls/label_format.h"

namespace {

constexpr int kFontHeight = 12;
// Below this cell height the dialog's face stops being comfortable to read on screen.
constexpr int kSmallestFitHeight = 9;
constexpr uint32_t kRightAligned = 2;  // TA_RIGHT

void copyBounded(char* to, size_t capacity, const char* from) {
  std::snprintf(to, capacity, "%s", from ? from : "");
}

int widthIn(HDC dc, HGDIOBJ font, const char* line, int length) {
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  const bool measured = GetTextExtentPoint32A(dc, line, length, &size);
  SelectObject(dc, previous);
  return measured ? int(size.cx) : 0;
}

}  // namespace

TextLabel::TextLabel(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
                     Control* parent, const char* text, const char* fontName, int32_t weight,
                     HWND window, int32_t offsetX, int32_t offsetY, uint32_t align)
    : TextControl(x, y, width, height, flags, parent),
      font_(nullptr),
      window_(window),
      offsetX_(offsetX),
      offsetY_(offsetY),
      weight_(weight),
      align_(align),
      textColor_(RGB(0, 0, 0)),
      backColor_(RGB(255, 255, 255)),
      fitWidth_(0) {
  copyBounded(text_, sizeof text_, text);
  copyBounded(previousText_, sizeof previousText_, text_);
  copyBounded(fontName_, sizeof fontName_, fontName);
  font_ = createFont(kFontHeight);
}

HFONT TextLabel::createFont(int height) const {
  return CreateFontA(height, 0, 0, 0, weight_, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                     fontName_);
}

TextLabel::~TextLabel() { TextLabel::reset(); }

void TextLabel::reset() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  TextControl::reset();
}

HWND TextLabel::window() { return window_; }

void TextLabel::setColor(int32_t r, int32_t g, int32_t b) {
  textColor_ = static_cast<COLORREF>(r | g << 8 | b << 16);
}

void TextLabel::clearTexts() {
  text_[0] = '\0';
  previousText_[0] = '\0';
}

int32_t TextLabel::textWidth() const {
  if (!window_) return 0;
  HDC dc = GetDC(window_);
  if (!dc) return 0;
  const int width = widthIn(dc, font_, text_, static_cast<int>(std::strlen(text_)));
  ReleaseDC(window_, dc);
  return width;
}

// The largest cell height, from the label's own down to the smallest legible one, at which the
// line fits the room; a line that fits nowhere gets the smallest.
int TextLabel::fittingHeight(HDC dc, const char* line, int length) const {
  if (fitWidth_ <= 0 || widthIn(dc, font_, line, length) <= fitWidth_) return kFontHeight;
  int height = kFontHeight - 1;
  for (; height > kSmallestFitHeight; --height) {
    HFONT smaller = createFont(height);
    const int width = widthIn(dc, smaller, line, length);
    DeleteObject(smaller);
    if (width <= fitWidth_) break;
  }
  return height;
}

// A line drawn smaller keeps the bottom of its cell where the full-height cell ends, so it sits
// on the same line as the caption beside it; baseline and bottom anchors stay put by themselves.
void TextLabel::drawLine(HDC dc, int32_t ax, int32_t ay, const char* line, COLORREF color) const {
  SetTextColor(dc, color);
  const int length = static_cast<int>(std::strlen(line));
  const int height = fittingHeight(dc, line, length);
  if (height == kFontHeight) {
    TextOutA(dc, ax, ay, line, length);
    return;
  }
  HFONT smaller = createFont(height);
  HGDIOBJ previous = SelectObject(dc, smaller);
  const bool topAnchored = (align_ & TA_BASELINE) == TA_TOP;
  TextOutA(dc, ax, topAnchored ? ay + kFontHeight - height : ay, line, length);
  SelectObject(dc, previous);
  DeleteObject(smaller);
}

// The old text is overdrawn in the background colour on an opaque background, which wipes
// exactly the cells it covered, then the new text goes on top. The previously selected font is
// put back before the context is released, so deleting our font later never finds it selected.
uint32_t TextLabel::draw(Position origin, HWND) {
  if (!window_) return 1;
  HDC dc = GetDC(window_);
  if (!dc) return 1;
  HGDIOBJ savedFont = SelectObject(dc, font_);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, backColor_);
  SetTextAlign(dc, align_);
  const int32_t ax = (align_ & kRightAligned) ? origin.x + offsetX_ : origin.x + x + offsetX_;
  const int32_t ay = origin.y + y + offsetY_;
  drawLine(dc, ax, ay, previousText_, backColor_);
  drawLine(dc, ax, ay, text_, textColor_);
  SelectObject(dc, savedFont);
  ReleaseDC(window_, dc);
  return 1;
}

uint32_t TextLabel::setText(const char* format, ...) {
  std::memcpy(previousText_, text_, sizeof text_);
  va_list args;
  va_start(args, format);
  composeLabelText(text_, sizeof text_, format, args);
  va_end(args);
  return redraw();
}
