// TextLabel: one line of text in its own font and colours, drawn straight into a window.
//
// Contract: the label owns its font (created with it, deleted when it is reset or destroyed)
// and holds its text in 255 bytes, NUL-terminated, which nothing writes past. It draws into the
// window it was given, with an opaque background: first the previous text in the background
// colour, which erases it, then the current text. With TA_RIGHT (2) in align the text's right end
// is anchored at the parent's origin plus offsetX, whatever the label's own x; otherwise the
// left end at the label's position plus offsetX. Every setText redraws at once. A label without
// a window draws nothing and measures 0. Colours are 0x00BBGGRR. A label given a fit width draws
// a text wider than that in a smaller height of its font (never below a legible 9 pixels), each
// text sized on its own, so that the erasing draw covers exactly what the text covered.
#pragma once

#include "controls/text_control.h"

class TextLabel : public TextControl {
 public:
  static constexpr size_t TextCapacity = 255;

  TextLabel(int32_t x, int32_t y, int32_t width, int32_t height, ControlFlags flags,
            Control* parent, const char* text, const char* fontName, int32_t weight, HWND window,
            int32_t offsetX, int32_t offsetY, uint32_t align);
  ~TextLabel() override;

  void reset() override;
  HWND window() override;
  // Always into the label's own window, whatever window it is handed.
  uint32_t draw(Position origin, HWND window) override;
  uint32_t setText(const char* format, ...) override;

  void setTextColor(COLORREF rgb) { textColor_ = rgb; }
  void setBackColor(COLORREF rgb) { backColor_ = rgb; }
  void setColor(int32_t r, int32_t g, int32_t b);
  // Forgets both the current and the previous text, so the next draw erases nothing.
  void clearTexts();
  // Room in pixels for the text; 0 (the default) for no limit.
  void setFitWidth(int32_t pixels) { fitWidth_ = pixels; }
  // Width in pixels of the current text in the label's own font.
  int32_t textWidth() const;

  const char* text() const { return text_; }
  const char* previousText() const { return previousText_; }
  COLORREF textColor() const { return textColor_; }
  COLORREF backColor() const { return backColor_; }
  HFONT font() const { return font_; }

 private:
  HFONT createFont(int height) const;
  int fittingHeight(HDC dc, const char* line, int length) const;
  void drawLine(HDC dc, int32_t ax, int32_t ay, const char* line, COLORREF color) const;

  char text_[TextCapacity];
  char previousText_[TextCapacity + 2];
  HFONT font_;
  HWND window_;
  char fontName_[256];
  int32_t offsetX_;
  int32_t offsetY_;
  int32_t weight_;
  uint32_t align_;
  COLORREF textColor_;
  COLORREF backColor_;
  int32_t fitWidth_;
};
