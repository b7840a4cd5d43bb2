// Shows the stand-in's windows on an X11 display and feeds them the user's real input, so that
// the module's dialog runs natively on a Linux desktop (the `inkjet dialog` command, the GIMP
// plug-in). Plain Xlib.
//
// Contract: open() connects to the display (null and a message when it cannot) and installs
// the stand-in's presentation hooks (platform/presentation.h); the destructor removes them,
// destroys its windows and closes the connection. While the module's modal loops run, every
// visible stand-in window is a real window: windows without an owner are managed top-level
// windows titled `title` (transient for the host's window when given), owned ones (popups,
// help, about) override-redirect windows at their exact positions; pixels are put whenever
// they change; the close box is Cancel. Message boxes are small windows of the presenter's own;
// file dialogs are the desktop's chooser through zenity when it works, else a small prompt for
// the path. X errors never end the program. One presenter at a time; one thread.
#pragma once

#include <memory>
#include <string>

class X11Presenter {
 public:
  // displayName null: $DISPLAY. transientFor: the host's X window the dialog belongs to, 0: none.
  static std::unique_ptr<X11Presenter> open(const char* displayName, const std::string& title,
                                            unsigned long transientFor, std::string* problem);
  ~X11Presenter();
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;

  struct Impl;

 private:
  explicit X11Presenter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};
