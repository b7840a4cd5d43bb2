#include "hostapp/x11/x11_presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "hostapp/x11/x11_input.h"
#include "platform/driver.h"
#include "platform/presentation.h"

namespace pres = platform::presentation;
namespace drv = platform::driver;

namespace {

// One stand-in window shown as an X window, with the pixels last put into it.
struct Shown {
  Window xid = 0;
  RECT client{};
  std::vector<COLORREF> pixels;
  int width = 0;
  int height = 0;
};

// A channel of a TrueColor visual: where a COLORREF byte goes in a pixel.
struct Channel {
  int shift = 0;
  unsigned long mask = 0;
  unsigned long place(unsigned value) const {
    return (shift >= 0 ? (unsigned long)value << shift : (unsigned long)value >> -shift) & mask;
  }
};

Channel channelFor(unsigned long mask) {
  int top = 63;
  while (top > 0 && !(mask >> top & 1)) --top;
  return Channel{top - 7, mask};
}

// A request that fails on a window the server already dropped, or a focus refused by the window
// manager, must not end the program as Xlib's default handler would.
int ignoreError(Display*, XErrorEvent*) { return 0; }

bool isDown(unsigned state) { return (state & (Button1Mask | Button2Mask | Button3Mask)) != 0; }

}  // namespace

struct X11Presenter::Impl {
  Display* display = nullptr;
  int screen = 0;
  Visual* visual = nullptr;
  int depth = 0;
  Channel red, green, blue;
  Atom deleteWindow = 0;
  std::string title;
  Window transientFor = 0;
  Colormap colormap = 0;
  GC gc = nullptr;
  std::map<HWND, Shown> shown;
  bool dragging = false;
  POINT dragOffset{0, 0};  // the X client origin minus the stand-in's, at the press

  ~Impl() {
    pres::setInputSource(nullptr);
    pres::setMessageBoxHandler(nullptr);
    pres::setFileDialogHandler(nullptr);
    if (!display) return;
    for (auto& entry : shown) XDestroyWindow(display, entry.second.xid);
    if (gc) XFreeGC(display, gc);
    if (colormap) XFreeColormap(display, colormap);
    XCloseDisplay(display);
  }

  Window newWindow(int x, int y, int width, int height, bool overrideRedirect) {
    XSetWindowAttributes a{};
    a.background_pixel = pixel(RGB(240, 240, 240));
    a.border_pixel = 0;
    a.colormap = colormap;
    a.override_redirect = overrideRedirect;
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    return XCreateWindow(
        display, RootWindow(display, screen), x, y, unsigned(std::max(width, 1)),
        unsigned(std::max(height, 1)), 0, depth, InputOutput, visual,
        CWBackPixel | CWBorderPixel | CWColormap | CWOverrideRedirect | CWEventMask, &a);
  }

  // A managed top-level window: title, class, close box, fixed size, placed where asked.
  void manage(Window xid, const std::string& name, int x, int y, int width, int height,
              Window owner) {
    XStoreName(display, xid, name.c_str());
    XClassHint cls{const_cast<char*>("inkjet"), const_cast<char*>("Inkjet")};
    XSetClassHint(display, xid, &cls);
    XSetWMProtocols(display, xid, &deleteWindow, 1);
    XSizeHints hints{};
    // Static gravity: the position is the client area's, as the stand-in keeps it, whatever
    // frame the window manager adds.
    hints.flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
    hints.win_gravity = StaticGravity;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, xid, &hints);
    if (owner) XSetTransientForHint(display, xid, owner);
  }

  unsigned long pixel(COLORREF c) const {
    return red.place(GetRValue(c)) | green.place(GetGValue(c)) | blue.place(GetBValue(c));
  }

  void put(const Shown& s) {
    if (s.width <= 0 || s.height <= 0) return;
    std::vector<uint32_t> data(size_t(s.width) * size_t(s.height));
    for (size_t i = 0; i < data.size(); ++i) {
      data[i] = uint32_t(pixel(s.pixels[i]));
    }
    XImage* image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(data.data()), unsigned(s.width),
                                 unsigned(s.height), 32, s.width * 4);
    if (!image) return;
    XPutImage(display, s.xid, gc, image, 0, 0, 0, 0, unsigned(s.width), unsigned(s.height));
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
  }

  Window ownerWindow(HWND owner) const {
    auto it = shown.find(owner);
    return it != shown.end() ? it->second.xid : transientFor;
  }

  // Makes the X windows match the stand-in's visible windows.
  void sync() {
    std::vector<pres::WindowView> views = pres::visibleWindows();
    for (auto it = shown.begin(); it != shown.end();) {
      bool visible = std::any_of(views.begin(), views.end(),
                                 [&](const pres::WindowView& v) { return v.handle == it->first; });
      if (visible) {
        ++it;
      } else {
        XDestroyWindow(display, it->second.xid);
        it = shown.erase(it);
      }
    }
    for (const pres::WindowView& view : views) {
      auto found = shown.find(view.handle);
      const RECT& c = view.client;
      if (found == shown.end()) {
        Shown s;
        // Popups, help and about belong to a window shown here and sit exactly where the
        // module puts them; a window of its own is left to the window manager.
        bool owned = view.owner != nullptr && shown.count(view.owner) != 0;
        s.xid = newWindow(c.left, c.top, view.width, view.height, owned);
        if (owned)
          XStoreName(display, s.xid, view.templateName.c_str());
        else
          manage(s.xid, title, c.left, c.top, view.width, view.height, transientFor);
        s.client = c;
        XMapRaised(display, s.xid);
        found = shown.emplace(view.handle, s).first;
      }
      Shown& s = found->second;
      if (std::memcmp(&s.client, &c, sizeof c) != 0) {
        XMoveResizeWindow(display, s.xid, c.left, c.top, unsigned(std::max(view.width, 1)),
                          unsigned(std::max(view.height, 1)));
        s.client = c;
      }
      size_t count = size_t(view.width) * size_t(view.height);
      if (s.width != view.width || s.height != view.height ||
          !std::equal(s.pixels.begin(), s.pixels.end(), view.pixels, view.pixels + count)) {
        s.pixels.assign(view.pixels, view.pixels + count);
        s.width = view.width;
        s.height = view.height;
        put(s);
      }
    }
    XFlush(display);
  }

  HWND handleOf(Window xid) const {
    for (const auto& entry : shown)
      if (entry.second.xid == xid) return entry.first;
    return nullptr;
  }

  POINT standInOrigin(HWND handle) const {
    for (const pres::WindowView& view : pres::visibleWindows())
      if (view.handle == handle) return POINT{view.client.left, view.client.top};
    return POINT{0, 0};
  }

  void pointer(HWND handle, const XEvent& e, x11input::PointerKind kind) {
    int x, y, rootX, rootY;
    unsigned state, button = 0;
    if (kind == x11input::PointerKind::motion) {
      x = e.xmotion.x, y = e.xmotion.y, rootX = e.xmotion.x_root, rootY = e.xmotion.y_root;
      state = e.xmotion.state;
    } else {
      x = e.xbutton.x, y = e.xbutton.y, rootX = e.xbutton.x_root, rootY = e.xbutton.y_root;
      state = e.xbutton.state;
      button = e.xbutton.button;
    }
    POINT standIn = standInOrigin(handle);
    if (kind == x11input::PointerKind::press && !isDown(state)) {
      dragging = true;
      dragOffset = POINT{rootX - x - standIn.x, rootY - y - standIn.y};
    }
    // While a button is held the window may be moving under the pointer: positions are taken
    // from the root and the stand-in's current rectangle, not from the lagging X window.
    POINT origin = dragging ? POINT{standIn.x + dragOffset.x, standIn.y + dragOffset.y}
                            : POINT{rootX - x, rootY - y};
    auto message = x11input::pointerMessage({kind, button, state, rootX, rootY}, origin);
    if (kind == x11input::PointerKind::release &&
        !isDown(state & ~(unsigned(Button1Mask) << (button - 1))))
      dragging = false;
    if (message) drv::queueMessageTo(handle, message->message, message->wParam, message->lParam);
  }

  void key(XEvent& e, bool down) {
    char text[8];
    KeySym keysym = NoSymbol;
    XLookupString(&e.xkey, text, sizeof text, &keysym, nullptr);
    UINT vk = x11input::virtualKey(keysym);
    if (vk == 0) return;
    drv::queueMessage(down ? WM_KEYDOWN : WM_KEYUP, vk, down ? 1 : LPARAM(0xC0000001u));
  }

  void handle(XEvent& e) {
    HWND handle = handleOf(e.xany.window);
    if (!handle) return;
    switch (e.type) {
      case Expose:
        if (e.xexpose.count == 0) put(shown[handle]);
        break;
      case MotionNotify:
        // Only moves that follow each other are merged: a move after a button event must
        // stay after it.
        while (XPending(display) > 0) {
          XEvent next;
          XPeekEvent(display, &next);
          if (next.type != MotionNotify || next.xany.window != e.xany.window) break;
          XNextEvent(display, &e);
        }
        pointer(handle, e, x11input::PointerKind::motion);
        break;
      case ButtonPress:
        pointer(handle, e, x11input::PointerKind::press);
        break;
      case ButtonRelease:
        pointer(handle, e, x11input::PointerKind::release);
        break;
      case KeyPress:
        key(e, true);
        break;
      case KeyRelease:
        key(e, false);
        break;
      case ClientMessage:
        if (Atom(e.xclient.data.l[0]) == deleteWindow)
          drv::queueMessageTo(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        break;
      default:
        break;
    }
  }

  // The input source: shows the windows as they are now, then waits for one real event that
  // means something to the dialog.
  bool nextInput() {
    sync();
    while (drv::pendingInput() == 0) {
      XEvent e;
      XNextEvent(display, &e);
      handle(e);
    }
    return true;
  }

  int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
  bool chooseFile(const pres::FileRequest& request, std::string* path);
};

// --- Message boxes and the file prompt: small windows drawn with the core font ---------------

namespace {

struct Button {
  std::string label;
  int id;
  XRectangle box;
};

std::vector<Button> boxButtons(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      return {{"OK", IDOK, {}}, {"Cancel", IDCANCEL, {}}};
    case MB_ABORTRETRYIGNORE:
      return {{"Abort", IDABORT, {}}, {"Retry", IDRETRY, {}}, {"Ignore", IDIGNORE, {}}};
    case MB_YESNOCANCEL:
      return {{"Yes", IDYES, {}}, {"No", IDNO, {}}, {"Cancel", IDCANCEL, {}}};
    case MB_YESNO:
      return {{"Yes", IDYES, {}}, {"No", IDNO, {}}};
    case MB_RETRYCANCEL:
      return {{"Retry", IDRETRY, {}}, {"Cancel", IDCANCEL, {}}};
    default:
      return {{"OK", IDOK, {}}};
  }
}

// What Escape and the close box answer: Cancel, else No, else the only button.
int escapeAnswer(const std::vector<Button>& buttons) {
  for (int id : {IDCANCEL, IDNO, IDOK})
    for (const Button& b : buttons)
      if (b.id == id) return id;
  return buttons.front().id;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  if (out.empty()) out.push_back("");
  return out;
}

// A modal window of the presenter's own: text lines, an optional entry line, a row of buttons.
struct SmallDialog {
  SmallDialog(X11Presenter::Impl& presenter, std::vector<std::string> lines,
              std::vector<Button> choices)
      : p(presenter), text(std::move(lines)), buttons(std::move(choices)) {}

  X11Presenter::Impl& p;
  std::vector<std::string> text;
  std::vector<Button> buttons;
  bool entry = false;
  std::string entered;
  Window xid = 0;
  XFontStruct* font = nullptr;
  int width = 0, height = 0;

  int textWidth(const std::string& s) const {
    return font ? XTextWidth(font, s.c_str(), int(s.size())) : int(s.size()) * 7;
  }

  void layout() {
    int lineHeight = 18;
    width = 320;
    for (const std::string& l : text) width = std::max(width, textWidth(l) + 40);
    height = 20 + int(text.size()) * lineHeight + (entry ? 34 : 0) + 50;
    int x = width - 20;
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
      x -= 80;
      it->box = XRectangle{short(x), short(height - 40), 72, 26};
      x -= 8;
    }
  }

  void draw() {
    XClearWindow(p.display, xid);
    GC gc = p.gc;
    XSetForeground(p.display, gc, p.pixel(RGB(0, 0, 0)));
    int y = 30;
    for (const std::string& l : text) {
      XDrawString(p.display, xid, gc, 20, y, l.c_str(), int(l.size()));
      y += 18;
    }
    if (entry) {
      XDrawRectangle(p.display, xid, gc, 18, y - 6, unsigned(width - 38), 24);
      std::string shown = entered + "_";
      while (shown.size() > 1 && textWidth(shown) > width - 48) shown.erase(0, 1);
      XDrawString(p.display, xid, gc, 24, y + 11, shown.c_str(), int(shown.size()));
    }
    for (const Button& b : buttons) {
      XDrawRectangle(p.display, xid, gc, b.box.x, b.box.y, b.box.width, b.box.height);
      int tx = b.box.x + (b.box.width - textWidth(b.label)) / 2;
      XDrawString(p.display, xid, gc, tx, b.box.y + 17, b.label.c_str(), int(b.label.size()));
    }
    XFlush(p.display);
  }

  int run(const std::string& caption, Window owner) {
    font = XQueryFont(p.display, XGContextFromGC(p.gc));
    layout();
    int x = (DisplayWidth(p.display, p.screen) - width) / 2;
    int y = (DisplayHeight(p.display, p.screen) - height) / 2;
    xid = p.newWindow(x, y, width, height, false);
    p.manage(xid, caption, x, y, width, height, owner);
    XMapRaised(p.display, xid);  // focused once mapped: a window manager may map it later
    int answer = 0;
    while (answer == 0) {
      XEvent e;
      XNextEvent(p.display, &e);
      if (e.xany.window != xid) {
        if (e.type == Expose) p.handle(e);  // the dialog behind keeps its pixels
        continue;
      }
      answer = take(e);
    }
    XDestroyWindow(p.display, xid);
    if (font) XFreeFontInfo(nullptr, font, 0);
    XFlush(p.display);
    return answer;
  }

  int take(XEvent& e) {
    switch (e.type) {
      case MapNotify:
        XSetInputFocus(p.display, xid, RevertToParent, CurrentTime);
        return 0;
      case Expose:
        if (e.xexpose.count == 0) draw();
        return 0;
      case ButtonRelease:
        for (const Button& b : buttons)
          if (e.xbutton.x >= b.box.x && e.xbutton.x < b.box.x + b.box.width &&
              e.xbutton.y >= b.box.y && e.xbutton.y < b.box.y + b.box.height)
            return b.id;
        return 0;
      case ClientMessage:
        return Atom(e.xclient.data.l[0]) == p.deleteWindow ? escapeAnswer(buttons) : 0;
      case KeyPress:
        return typed(e);
      default:
        return 0;
    }
  }

  int typed(XEvent& e) {
    char chars[16];
    KeySym keysym = NoSymbol;
    int n = XLookupString(&e.xkey, chars, sizeof chars, &keysym, nullptr);
    if (keysym == XK_Return || keysym == XK_KP_Enter) return buttons.front().id;
    if (keysym == XK_Escape) return escapeAnswer(buttons);
    if (!entry) return 0;
    if (keysym == XK_BackSpace && !entered.empty()) entered.pop_back();
    for (int i = 0; i < n; ++i)
      if (static_cast<unsigned char>(chars[i]) >= 0x20 && chars[i] != 0x7F) entered += chars[i];
    draw();
    return 0;
  }
};

}  // namespace

int X11Presenter::Impl::messageBox(HWND owner, const std::string& text, const std::string& caption,
                                   UINT type) {
  sync();
  SmallDialog box{*this, lines(text), boxButtons(type)};
  return box.run(caption, ownerWindow(owner));
}

namespace {

enum class Choice { chosen, cancelled, unavailable };

// The desktop's file chooser through zenity, when it is installed; unavailable when it is not
// or it fails (it exits 0 with the path, 1 for a cancel).
Choice desktopChooser(const pres::FileRequest& request, const std::string& title,
                      std::string* path) {
  std::vector<std::string> args = {"zenity", "--file-selection", "--title=" + title};
  if (request.save) {
    args.push_back("--save");
    args.push_back("--confirm-overwrite");
  }
  for (const auto& filter : request.filters) {
    std::string patterns = filter.second;
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    args.push_back("--file-filter=" + filter.first + " | " + patterns);
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return Choice::unavailable;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, "zenity", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string output;
  char buffer[512];
  for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0)
      output.append(buffer, size_t(n));
    else if (errno != EINTR)
      break;
  }
  close(out[0]);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
    return Choice::unavailable;
  while (!output.empty() && output.back() == '\n') output.pop_back();
  if (WEXITSTATUS(status) == 1) return Choice::cancelled;
  if (WEXITSTATUS(status) != 0 || output.empty()) return Choice::unavailable;
  *path = output;
  return Choice::chosen;
}

}  // namespace

// The desktop's chooser when there is one, else a prompt of our own for the path.
bool X11Presenter::Impl::chooseFile(const pres::FileRequest& request, std::string* path) {
  sync();
  std::string title = request.title.empty() ? (request.save ? "Save" : "Open") : request.title;
  switch (desktopChooser(request, title, path)) {
    case Choice::chosen:
      return true;
    case Choice::cancelled:
      return false;
    case Choice::unavailable:
      break;
  }
  std::vector<std::string> text = {request.save ? "Save as:" : "Open:"};
  for (const auto& filter : request.filters) text.push_back(filter.first);
  SmallDialog prompt{*this, text, {{"OK", IDOK, {}}, {"Cancel", IDCANCEL, {}}}};
  prompt.entry = true;
  if (prompt.run(title, ownerWindow(request.owner)) != IDOK || prompt.entered.empty()) return false;
  *path = prompt.entered;
  return true;
}

// --- The presenter ---------------------------------------------------------------------------

std::unique_ptr<X11Presenter> X11Presenter::open(const char* displayName, const std::string& title,
                                                 unsigned long transientFor, std::string* problem) {
  auto impl = std::make_unique<Impl>();
  impl->display = XOpenDisplay(displayName);
  if (!impl->display) {
    const char* name = XDisplayName(displayName);
    *problem = std::string("cannot open the display \"") + (name ? name : "") + "\"";
    return nullptr;
  }
  Display* d = impl->display;
  XSetErrorHandler(ignoreError);
  impl->screen = DefaultScreen(d);
  XVisualInfo found{};
  if (!XMatchVisualInfo(d, impl->screen, 24, TrueColor, &found)) {
    *problem = "the display has no 24-bit TrueColor visual";
    return nullptr;
  }
  impl->visual = found.visual;
  impl->depth = found.depth;
  impl->red = channelFor(found.red_mask);
  impl->green = channelFor(found.green_mask);
  impl->blue = channelFor(found.blue_mask);
  impl->deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  impl->title = title;
  impl->transientFor = Window(transientFor);
  impl->colormap = XCreateColormap(d, RootWindow(d, impl->screen), impl->visual, AllocNone);
  // The GC must have the depth of the windows it draws into, which need not be the root's.
  Pixmap probe = XCreatePixmap(d, RootWindow(d, impl->screen), 1, 1, unsigned(impl->depth));
  impl->gc = XCreateGC(d, probe, 0, nullptr);
  XFreePixmap(d, probe);
  drv::setScreenSize(DisplayWidth(d, impl->screen), DisplayHeight(d, impl->screen));
  Impl* raw = impl.get();
  pres::setInputSource([raw] { return raw->nextInput(); });
  pres::setMessageBoxHandler(
      [raw](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        return raw->messageBox(owner, text, caption, type);
      });
  pres::setFileDialogHandler([raw](const pres::FileRequest& request, std::string* path) {
    return raw->chooseFile(request, path);
  });
  return std::unique_ptr<X11Presenter>(new X11Presenter(std::move(impl)));
}

X11Presenter::X11Presenter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11Presenter::~X11Presenter() = default;
