// The text format of the scripts that drive a dialog in inkjet-host.exe --dialog --script FILE.
// One step a line; blank lines and lines starting with '#' are skipped; words are separated
// by blanks. Coordinates are pixels of the main dialog's client area (they may lie outside it,
// for a window opened beside the dialog); input goes to the window under the point, or to the
// window holding the mouse capture (an open popup list), as it would for a real mouse.
//
//   move X Y             the pointer moves to (X, Y), with the buttons held so far
//   press X Y            the left button goes down at (X, Y)
//   release X Y          the left button comes up at (X, Y)
//   click X Y            press and release at (X, Y)
//   drag X1 Y1 X2 Y2     press at the first point, moves of at most 8 pixels, release at the second
//   key NAME             a key pressed and released: a letter or digit, or one of enter, escape,
//                        tab, space, backspace, delete, left, right, up, down, comma, period,
//                        or a virtual-key code written 0xNN
//   wait MS              a pause of MS milliseconds (0..60000)
//   screenshot FILE      the dialog's client area with any window over it (an open popup), as an
//                        image file (.png, .bmp or .pnm; the rest of the line is the path)
//   screenshot-front FILE  the client area of the frontmost window the dialog opened (the help
//                        window), or of the dialog when there is none
//
// Every step waits until the dialog's thread has taken the input in. Parsing is pure and runs
// in both builds; a problem comes back as false with "line N: ..." in `problem`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct ScriptStep {
  enum class Action { Move, Press, Release, Key, Wait, Screenshot, ScreenshotFront };
  explicit ScriptStep(Action what = Action::Wait) : action(what) {}
  Action action;
  int x = 0, y = 0;      // Move, Press, Release: client point
  unsigned key = 0;      // Key: the virtual key
  int milliseconds = 0;  // Wait
  std::string path;      // Screenshot, ScreenshotFront
};

// Clicks and drags are expanded into presses, moves and releases.
bool parseDialogScript(std::istream& text, std::vector<ScriptStep>* steps, std::string* problem);
