// Drawing helpers the dialog windows share: whole pictures copied onto a device context, and
// lines of "Arial" text in the dialogs' one style.
//
// Contract: the caller owns the target device context and the bitmap; these functions create
// and release their own memory device context and leave the target's selections as they found
// them. A null bitmap or font draws nothing. Coordinates are client pixels of the target.
#pragma once

#include "platform/win32.h"

// Copies the top-left width x height pixels of the picture to (x, y).
void drawPicture(HDC target, HBITMAP picture, int x, int y, int width, int height);

// The picture's width and height; false when the handle is no bitmap.
bool pictureSize(HBITMAP picture, int* width, int* height);

// The font every dialog text is written in: "Arial" of the given cell height, normal weight.
// The caller deletes it.
HFONT createDialogFont(int height);

// Writes one left- and top-aligned line on a transparent background.
void drawTextLine(HDC target, HFONT font, COLORREF color, int x, int y, const char* text);
