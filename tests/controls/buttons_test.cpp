// Bitmap buttons, press buttons and hot spots: when they fire and what they show; drag
// trackers; the window mover; the panel's background.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/bitmap_button.h"
#include "controls/drag_tracker.h"
#include "controls/window_mover.h"
#include "controls/window_panel.h"
#include "tests/controls/window_fixture.h"

namespace {

constexpr uint32_t kActiveOwned = ControlFlags::Active | ControlFlags::Owned;

struct Firing {
    int32_t x, y, event;
    void* userData;
};

uint32_t recordFiring(void* context, int32_t x, int32_t y, EventData, int32_t event,
                      void* userData) {
    static_cast<std::vector<Firing>*>(context)->push_back({x, y, event, userData});
    return 0x100;
}

enum class Kind { Bitmap, Press, Hot };

struct Step {
    int32_t event, x, y;
};

class ButtonTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        fired.clear();
        panel = std::make_unique<WindowPanel>(0, 0, 240, 120, ControlFlags::Active, nullptr,
                                              window, solidBitmap(240, 120, kGrey));
    }
    void TearDown() override {
        panel.reset();
        WindowTest::TearDown();
    }
    BitmapButton* make(Kind kind, ButtonAction action, HBITMAP pressedBitmap) {
        HBITMAP normal = solidBitmap(20, 10, kRed);
        BitmapButton* b = nullptr;
        void* user = &fired;
        switch (kind) {
        case Kind::Bitmap:
            b = new BitmapButton(40, 30, 20, 10, kActiveOwned, panel.get(), normal,
                                 pressedBitmap, action, &fired, user);
            break;
        case Kind::Press:
            b = new PressButton(40, 30, 20, 10, kActiveOwned, panel.get(), normal,
                                pressedBitmap, action, &fired, user);
            break;
        case Kind::Hot:
            b = new HotSpot(40, 30, 20, 10, kActiveOwned, panel.get(), action, &fired, user);
            break;
        }
        panel->add(b);
        return b;
    }
    uint32_t send(int32_t event, int32_t x, int32_t y) {
        return panel->dispatch(x, y, nullptr, event);
    }

    std::unique_ptr<WindowPanel> panel;
    std::vector<Firing> fired;
};

TEST_F(ButtonTest, FiresOnlyOnTheRightButtonAndPlace) {
    const struct {
        const char* name;
        Kind kind;
        std::vector<Step> steps;
        std::vector<int32_t> firedEvents;
    } cases[] = {
        {"bitmap button, click inside", Kind::Bitmap, {{8, 45, 35}, {6, 50, 35}}, {6}},
        {"bitmap button, dragged off before release", Kind::Bitmap,
         {{8, 45, 35}, {5, 100, 80}, {6, 100, 80}}, {}},
        {"bitmap button, dragged off and back", Kind::Bitmap,
         {{8, 45, 35}, {5, 100, 80}, {5, 59, 39}, {6, 59, 39}}, {6}},
        {"bitmap button, right click", Kind::Bitmap, {{9, 45, 35}, {7, 45, 35}}, {}},
        {"press button, click inside", Kind::Press, {{8, 45, 35}, {6, 45, 35}}, {8}},
        {"press button, right click", Kind::Press, {{9, 45, 35}, {7, 45, 35}}, {}},
        {"hot spot, click inside", Kind::Hot, {{8, 41, 31}, {6, 60, 40}}, {6}},
        {"hot spot, right click", Kind::Hot, {{9, 45, 35}, {7, 45, 35}}, {}},
    };
    for (const auto& k : cases) {
        SetUp();
        BitmapButton* b = make(k.kind, recordFiring, nullptr);
        for (const Step& s : k.steps) send(s.event, s.x, s.y);
        std::vector<int32_t> events;
        for (const Firing& f : fired) events.push_back(f.event);
        EXPECT_EQ(events, k.firedEvents) << k.name;
        EXPECT_FALSE(b->isPressed()) << k.name;
        if (!fired.empty()) {
            EXPECT_EQ(fired[0].userData, &fired) << k.name;
            EXPECT_EQ(fired[0].x, k.steps.back().x) << k.name;
        }
        TearDown();
    }
}

TEST_F(ButtonTest, ActionResultIsPassedUpAndNullActionOnlyPresses) {
    make(Kind::Bitmap, recordFiring, nullptr);
    send(8, 45, 35);
    EXPECT_EQ(send(6, 45, 35), 0x101u);
    panel->remove(panel->firstChild());
    BitmapButton* quiet = make(Kind::Press, nullptr, nullptr);
    EXPECT_EQ(send(8, 45, 35), 1u);
    EXPECT_TRUE(quiet->isPressed());
    EXPECT_EQ(send(6, 45, 35), 1u);
    EXPECT_FALSE(quiet->isPressed());
}

TEST_F(ButtonTest, ShowsThePressedImageWhileHeld) {
    const struct {
        const char* name;
        Kind kind;
        int32_t down, up;
        bool hasPressedBitmap;
        COLORREF whileHeld, afterwards;
    } cases[] = {
        {"left press", Kind::Bitmap, 8, 6, true, kBlue, kRed},
        {"right press shows pressed too", Kind::Bitmap, 9, 7, true, kBlue, kRed},
        {"no pressed picture keeps the normal one", Kind::Bitmap, 8, 6, false, kRed, kRed},
        {"press button", Kind::Press, 8, 6, true, kBlue, kRed},
        {"hot spot draws nothing", Kind::Hot, 8, 6, true, kGrey, kGrey},
    };
    for (const auto& k : cases) {
        SetUp();
        make(k.kind, nullptr, k.hasPressedBitmap ? solidBitmap(20, 10, kBlue) : nullptr);
        panel->dirty = 1;
        panel->dispatch(0, 0, dataFromWindow(window), ControlEvent::Draw);
        send(k.down, 45, 35);
        EXPECT_EQ(at(59, 39), k.whileHeld) << k.name;
        EXPECT_EQ(at(60, 40), kGrey) << k.name << ": the picture ends at its own size";
        send(k.up, 45, 35);
        EXPECT_EQ(at(40, 30), k.afterwards) << k.name;
        TearDown();
    }
}

struct Drag {
    int32_t dx, dy;
    char button;
};

uint32_t leftDrag(void* context, int32_t dx, int32_t dy, EventData, int32_t) {
    static_cast<std::vector<Drag>*>(context)->push_back({dx, dy, 'L'});
    return 0;
}
uint32_t rightDrag(void* context, int32_t dx, int32_t dy, EventData, int32_t) {
    static_cast<std::vector<Drag>*>(context)->push_back({dx, dy, 'R'});
    return 0;
}

TEST(DragTracker, ReportsOffsetsForOneButtonAtATime) {
    std::vector<Drag> drags;
    ControlGroup root(0, 0, 300, 200, ControlFlags::Active, nullptr);
    auto* tracker = new InvisibleDragTracker(50, 20, 40, 30, kActiveOwned, &root, leftDrag,
                                             rightDrag, &drags);
    root.add(tracker);
    const Step steps[] = {
        {8, 60, 25},  // grab 10, 5
        {5, 70, 40},  // offset 70 - 10 - 50, 40 - 5 - 20
        {9, 65, 30},  // ignored: the left button holds it
        {5, 40, 10},  // still the left drag, now outside the tracker
        {7, 40, 10},  // the right release is no business of the left drag
        {6, 40, 10},
        {5, 60, 25},  // no button held: nothing to report
    };
    for (const Step& s : steps) root.dispatch(s.x, s.y, nullptr, s.event);
    ASSERT_EQ(drags.size(), 2u);
    EXPECT_EQ(drags[0].button, 'L');
    EXPECT_EQ(drags[0].dx, 10);
    EXPECT_EQ(drags[0].dy, 15);
    EXPECT_EQ(drags[1].button, 'L');
    EXPECT_EQ(drags[1].dx, -20);
    EXPECT_EQ(drags[1].dy, -15);
    EXPECT_FALSE(tracker->leftHeld());
    EXPECT_FALSE(tracker->rightHeld());

    drags.clear();
    root.dispatch(80, 45, nullptr, 9);
    root.dispatch(81, 47, nullptr, 5);
    root.dispatch(81, 47, nullptr, 7);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].button, 'R');
    EXPECT_EQ(drags[0].dx, 1);
    EXPECT_EQ(drags[0].dy, 2);
}

TEST(DragTracker, GrabOffsetsAreDistancesEvenLeftOfTheControl) {
    std::vector<Drag> drags;
    DragTracker tracker(50, 20, 40, 30, ControlFlags::Active, nullptr, nullptr, leftDrag,
                        nullptr, &drags);
    tracker.dispatch(45, 12, nullptr, ControlEvent::LeftDown);  // grab |45-50|, |12-20|
    tracker.dispatch(45, 12, nullptr, ControlEvent::MouseMove);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].dx, 45 - 5 - 50);
    EXPECT_EQ(drags[0].dy, 12 - 8 - 20);
    EXPECT_EQ(tracker.dispatch(45, 12, nullptr, ControlEvent::LeftUp), 0u);
    tracker.setCallbacks(nullptr, nullptr, nullptr);
    tracker.dispatch(45, 12, nullptr, ControlEvent::LeftDown);
    EXPECT_EQ(tracker.dispatch(50, 12, nullptr, ControlEvent::MouseMove), 1u);
}

class MoverTest : public WindowTest {};

TEST_F(MoverTest, DragsTheWindowAndNeverPaints) {
    MoveWindow(window, 300, 200, 240, 120, TRUE);
    WindowPanel panel(0, 0, 240, 120, ControlFlags::Active, nullptr, window,
                      solidBitmap(240, 120, kGrey));
    auto* mover = new WindowMover(0, 0, 240, 120, kActiveOwned, &panel, 300, 200, 240, 120,
                                  window, nullptr);
    panel.add(mover);
    EXPECT_EQ(mover->window(), window);

    panel.dispatch(10, 10, nullptr, ControlEvent::LeftDown);
    panel.dispatch(25, 5, nullptr, ControlEvent::MouseMove);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 315);
    EXPECT_EQ(r.top, 195);
    // The pointer is now over the grabbed point again in the moved window's coordinates.
    panel.dispatch(10, 10, nullptr, ControlEvent::MouseMove);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 315);
    EXPECT_EQ(r.right - r.left, 240);
    panel.dispatch(10, 10, nullptr, ControlEvent::LeftUp);
    panel.dispatch(50, 50, nullptr, ControlEvent::MouseMove);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 315) << "no move after the release";

    // An update inside the mover alone still marks the panel, so its background is redrawn.
    Rect16 update{20, 20, 30, 30};
    EXPECT_EQ(panel.dispatch(0, 0, &update, ControlEvent::Paint), uint32_t(ControlResult::Paint));
    EXPECT_EQ(mover->dirty, 0);
    EXPECT_EQ(panel.dirty, 1);
}

TEST_F(ButtonTest, DirtyPanelRedrawsItsBackgroundAndEveryChild) {
    make(Kind::Bitmap, nullptr, nullptr);
    panel->dirty = 1;
    panel->dispatch(0, 0, dataFromWindow(window), ControlEvent::Draw);
    EXPECT_EQ(at(5, 5), kGrey);
    EXPECT_EQ(at(40, 30), kRed);
    EXPECT_EQ(panel->dirty, 0);
    EXPECT_EQ(panel->firstChild()->dirty, 0);
}

}  // namespace
