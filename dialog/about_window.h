// The About window: a borderless picture with the module's version and maker, opened modally
// from the About selector on the template "ABOUTDIALOG".
//
// Contract: the picture ("ABOUT_BITMAP") and the font of its three lines belong to the one
// window and live at most as long as it: created when it initialises, deleted on the first key
// or mouse button (which ends the dialog with 1), or when the window is destroyed some other way.
// A picture that cannot be loaded leaves a blank window that still closes on a key or button.
#pragma once

#include "platform/win32.h"

// Runs the window modally, owned by `owner`; answers what DialogBoxParamA answered (1 when
// closed, kDialogAbandoned when a message's handling failed).
INT_PTR runAboutWindow(HWND owner);

// The window's procedure; its creation parameter is the window's state, which runAboutWindow
// provides.
INT_PTR CALLBACK aboutDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The three lines the window writes under its picture, top to bottom.
const char* aboutVersionLine();
const char* aboutMakerLine(int index);  // index 0 or 1
