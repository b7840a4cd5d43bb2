// Probe: a control that records every call it receives, for the routing tests; and send, which
// makes the call a named input stands for, as the dialog's window procedure does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/control_group.h"

enum class Ev {
  Draw,
  Key,
  MouseMove,
  LeftUp,
  RightUp,
  LeftDown,
  RightDown,
  Refresh,
  Paint,
  Init,
  Advance,
  FocusIn,
  FocusOut,
};

inline const char* nameOf(Ev e) {
  switch (e) {
    case Ev::Draw:
      return "draw";
    case Ev::Key:
      return "key";
    case Ev::MouseMove:
      return "move";
    case Ev::LeftUp:
      return "left-up";
    case Ev::RightUp:
      return "right-up";
    case Ev::LeftDown:
      return "left-down";
    case Ev::RightDown:
      return "right-down";
    case Ev::Refresh:
      return "refresh";
    case Ev::Paint:
      return "paint";
    case Ev::Init:
      return "init";
    case Ev::Advance:
      return "advance";
    case Ev::FocusIn:
      return "focus-in";
    case Ev::FocusOut:
      return "focus-out";
  }
  return "?";
}

// What the input means for the control: (x, y) is the pointer for mouse inputs and the origin
// for Draw; key is the character of Key; update the rectangle of Paint; window the target of
// Draw.
inline uint32_t send(Control& c, Ev e, int32_t x = 0, int32_t y = 0, char16_t key = 0,
                     const Rect16* update = nullptr, HWND window = nullptr) {
  const Position at{x, y};
  switch (e) {
    case Ev::Draw:
      return c.draw(at, window);
    case Ev::Key:
      return c.onKey(key);
    case Ev::MouseMove:
      return c.onMouseMove(at);
    case Ev::LeftUp:
      return c.onButtonUp(at, MouseButton::Left);
    case Ev::RightUp:
      return c.onButtonUp(at, MouseButton::Right);
    case Ev::LeftDown:
      return c.onButtonDown(at, MouseButton::Left);
    case Ev::RightDown:
      return c.onButtonDown(at, MouseButton::Right);
    case Ev::Refresh:
      return c.onRefresh();
    case Ev::Paint:
      return c.onPaint(*update);
    case Ev::Init:
      return c.onInit();
    case Ev::Advance:
      return c.onAdvance();
    case Ev::FocusIn:
      return c.onFocusIn();
    case Ev::FocusOut:
      return c.onFocusOut();
  }
  return 0;
}

// A paint pass over the whole of update, then the draw pass into window, as WM_PAINT does.
inline void paintAndDraw(Control& c, Rect16 update, HWND window) {
  c.onPaint(update);
  c.draw({0, 0}, window);
}

struct Received {
  std::string who;
  int32_t x;
  int32_t y;
  Ev event;
};

using EventLog = std::vector<Received>;

class Probe : public Control {
 public:
  Probe(std::string name, EventLog& log, int32_t x, int32_t y, int32_t w, int32_t h,
        ControlFlags flags = ControlFlags::Active, Control* parent = nullptr)
      : Control(x, y, w, h, flags, parent), name(std::move(name)), log(log) {}
  ~Probe() override { ++destroyed; }

  uint32_t draw(Position at, HWND) override { return note(at, Ev::Draw); }
  uint32_t onKey(char16_t) override { return note({0, 0}, Ev::Key); }
  uint32_t onMouseMove(Position at) override { return note(at, Ev::MouseMove); }
  uint32_t onButtonUp(Position at, MouseButton b) override {
    return note(at, b == MouseButton::Left ? Ev::LeftUp : Ev::RightUp);
  }
  uint32_t onButtonDown(Position at, MouseButton b) override {
    return note(at, b == MouseButton::Left ? Ev::LeftDown : Ev::RightDown);
  }
  uint32_t onInit() override { return note({0, 0}, Ev::Init); }
  uint32_t onRefresh() override { return note({0, 0}, Ev::Refresh); }
  uint32_t onAdvance() override { return note({0, 0}, Ev::Advance); }
  uint32_t onFocusIn() override { return note({0, 0}, Ev::FocusIn); }
  uint32_t onFocusOut() override { return note({0, 0}, Ev::FocusOut); }
  uint32_t onPaint(const Rect16& update) override {
    note({0, 0}, Ev::Paint);
    return Control::onPaint(update);
  }

  std::string name;
  EventLog& log;
  uint32_t answer = 1;
  inline static int destroyed = 0;

 private:
  uint32_t note(Position at, Ev e) {
    log.push_back({name, at.x, at.y, e});
    return answer;
  }
};

// The calls as "who:event" strings, in the order they arrived.
inline std::vector<std::string> trace(const EventLog& log) {
  std::vector<std::string> out;
  for (const Received& r : log) out.push_back(r.who + ":" + nameOf(r.event));
  return out;
}
