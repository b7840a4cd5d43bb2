#include "dialog/picture_drawing.h"

#include <cstring>

void drawPicture(HDC target, HBITMAP picture, int x, int y, int width, int height) {
  if (!target || !picture) return;
  HDC source = CreateCompatibleDC(target);
  if (!source) return;
  HGDIOBJ previous = SelectObject(source, picture);
  BitBlt(target, x, y, width, height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

bool pictureSize(HBITMAP picture, int* width, int* height) {
  BITMAP info{};
  if (!picture || !GetObjectA(picture, sizeof info, &info)) return false;
  *width = info.bmWidth;
  *height = info.bmHeight;
  return true;
}

HFONT createDialogFont(int height) {
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

void drawTextLine(HDC target, HFONT font, COLORREF color, int x, int y, const char* text) {
  if (!target || !font) return;
  HGDIOBJ previousFont = SelectObject(target, font);
  int previousMode = SetBkMode(target, TRANSPARENT);
  COLORREF previousColor = SetTextColor(target, color);
  UINT previousAlign = SetTextAlign(target, TA_LEFT | TA_TOP);
  TextOutA(target, x, y, text, int(std::strlen(text)));
  SetTextAlign(target, previousAlign);
  SetTextColor(target, previousColor);
  SetBkMode(target, previousMode);
  SelectObject(target, previousFont);
}
