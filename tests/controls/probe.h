// Probe: a control that records every event it receives, for the routing tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/control_group.h"

struct Received {
    std::string who;
    int32_t x;
    int32_t y;
    int32_t event;
};

using EventLog = std::vector<Received>;

class Probe : public Control {
public:
    Probe(std::string name, EventLog& log, int32_t x, int32_t y, int32_t w, int32_t h,
          uint32_t flags = ControlFlags::Active, Control* parent = nullptr)
        : Control(x, y, w, h, flags, parent), name(std::move(name)), log(log) {}
    ~Probe() override { ++destroyed; }

    uint32_t draw(int32_t x, int32_t y, EventData, int32_t e) override { return note(x, y, e); }
    uint32_t onKey(int32_t x, int32_t y, EventData, int32_t e) override { return note(x, y, e); }
    uint32_t onMouseMove(int32_t x, int32_t y, EventData, int32_t e) override {
        return note(x, y, e);
    }
    uint32_t onButtonUp(int32_t x, int32_t y, EventData, int32_t e) override {
        return note(x, y, e);
    }
    uint32_t onButtonDown(int32_t x, int32_t y, EventData, int32_t e) override {
        return note(x, y, e);
    }
    uint32_t onOther(int32_t x, int32_t y, EventData, int32_t e) override { return note(x, y, e); }
    uint32_t onPaint(int32_t x, int32_t y, EventData d, int32_t e) override {
        note(x, y, e);
        return Control::onPaint(x, y, d, e);
    }

    std::string name;
    EventLog& log;
    uint32_t answer = 1;
    inline static int destroyed = 0;

private:
    uint32_t note(int32_t x, int32_t y, int32_t e) {
        log.push_back({name, x, y, e});
        return answer;
    }
};

// Events of one kind as "who:event" strings, in the order they arrived.
inline std::vector<std::string> trace(const EventLog& log) {
    std::vector<std::string> out;
    for (const Received& r : log) out.push_back(r.who + ":" + std::to_string(r.event));
    return out;
}
