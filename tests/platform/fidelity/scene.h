// A small scene drawn with the GDI calls the dialogs use, once through the native stand-in and
// once by real GDI under Wine, so that the two pictures can be compared: a background bitmap,
// bitmaps blitted over it (one clipped by the edge), one-pixel lines in many directions,
// filled triangles and rectangles, and "Arial" text of heights 12 and 14, left- and
// right-aligned, top- and baseline-anchored, opaque and transparent.
//
// drawScene draws into `dc`, a surface of sceneWidth x sceneHeight pixels; with `withText`
// false it leaves the text out, so that each side can find where its text went by comparing
// the two. Every GDI object it creates is deleted before it returns.
#pragma once

#include "platform/win32.h"

constexpr int sceneWidth = 320;
constexpr int sceneHeight = 240;
constexpr int sceneTextCount = 8;

void drawScene(HDC dc, bool withText);
// Draws text item `index` alone (for finding its box); the caller clears the surface first.
void drawSceneText(HDC dc, int index);
