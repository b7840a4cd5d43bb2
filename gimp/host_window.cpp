#include "gimp/host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <string>

namespace {

// One property of a window as bytes; empty when it has none.
std::string property(Display* display, Window window, Atom name, Atom type) {
  Atom actualType = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(display, window, name, 0, 256, False, type, &actualType, &format, &items,
                         &after, &data) == Success &&
      data) {
    value.assign(reinterpret_cast<char*>(data),
                 items * size_t(format == 32 ? sizeof(long) : format / 8));
    XFree(data);
  }
  return value;
}

}  // namespace

unsigned long gimpImageWindow(pid_t gimp) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Atom roleAtom = XInternAtom(display, "WM_WINDOW_ROLE", False);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  unsigned long found = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) {
      std::string pid = property(display, children[i], pidAtom, XA_CARDINAL);
      long value = 0;
      if (pid.size() >= sizeof value) std::memcpy(&value, pid.data(), sizeof value);
      if (value == long(gimp) &&
          property(display, children[i], roleAtom, XA_STRING).rfind("gimp-image-window", 0) == 0)
        found = children[i];
    }
    if (children) XFree(children);
  }
  XCloseDisplay(display);
  return found;
}
