// The control base: dispatch through the handler table, rectangle tests, paint marking.
#include <gtest/gtest.h>

#include "tests/controls/probe.h"


namespace {

uint32_t lastEvent = 0;
Control* lastControl = nullptr;

uint32_t recordingHandler(Control* c, int32_t, int32_t, EventData, int32_t event) {
    lastControl = c;
    lastEvent = uint32_t(event);
    return 0x77;
}

TEST(ControlDispatch, ForwardsEachCodeToItsSlot) {
    EventLog log;
    Probe p("p", log, 0, 0, 10, 10);
    const struct {
        int32_t event;
        bool reachesProbe;
    } cases[] = {
        {ControlEvent::Draw, true},     {1, true},
        {ControlEvent::Key, true},      {3, true},
        {ControlEvent::MouseMove, true}, {ControlEvent::LeftUp, true},
        {ControlEvent::RightUp, true},  {ControlEvent::LeftDown, true},
        {ControlEvent::RightDown, true}, {ControlEvent::Refresh, true},
        {ControlEvent::Init, true},     {ControlEvent::FocusIn, true},
        {25, true},                     {ControlEvent::Count, false},
        {1000, false},                  {-1, false},
    };
    for (const auto& c : cases) {
        log.clear();
        const uint32_t result = p.dispatch(3, 4, nullptr, c.event);
        SCOPED_TRACE(c.event);
        if (c.reachesProbe) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].event, c.event);
            EXPECT_EQ(log[0].x, 3);
            EXPECT_EQ(log[0].y, 4);
            EXPECT_EQ(result, 1u);
        } else {
            EXPECT_TRUE(log.empty());
            EXPECT_EQ(result, 0u);
        }
    }
}

TEST(ControlDispatch, BaseSlotsAnswerDoneAndUnusedDismissReachesItsSlot) {
    Control c(0, 0, 5, 5, ControlFlags::Active, nullptr);
    for (int32_t e : {0, 2, 5, 6, 7, 8, 9, 10, 11, 16, 20}) {
        EXPECT_EQ(c.dispatch(0, 0, nullptr, e), 1u) << e;
    }
}

TEST(ControlDispatch, FallbackEntryGetsTheOriginalCodeAndMissingBothAnswersZero) {
    Control c(0, 0, 5, 5, ControlFlags::Active, nullptr);
    EXPECT_EQ(c.setHandler(ControlEvent::Fallback, recordingHandler), 1);
    EXPECT_EQ(c.dispatch(0, 0, nullptr, 13), 0x77u);
    EXPECT_EQ(lastEvent, 13u);
    EXPECT_EQ(lastControl, &c);

    EXPECT_EQ(c.setHandler(ControlEvent::Fallback, nullptr), 1);
    EXPECT_EQ(c.dispatch(0, 0, nullptr, 13), 0u);
}

TEST(ControlDispatch, SetHandlerAcceptsOnlyTableCodes) {
    Control c(0, 0, 5, 5, ControlFlags::Active, nullptr);
    EXPECT_EQ(c.setHandler(25, recordingHandler), 1);
    EXPECT_EQ(c.handler(25), recordingHandler);
    EXPECT_EQ(c.setHandler(26, recordingHandler), 0);
    EXPECT_EQ(c.dispatch(0, 0, nullptr, 26), 0u);
}

TEST(ControlDispatch, ResetSilencesTheControl) {
    ControlGroup parent(0, 0, 50, 50, ControlFlags::Active, nullptr);
    Control c(0, 0, 5, 5, ControlFlags::Active, &parent);
    c.reset();
    EXPECT_EQ(c.parent, nullptr);
    for (int32_t e = 0; e < ControlEvent::Count; ++e) EXPECT_EQ(c.dispatch(0, 0, nullptr, e), 0u);
}

TEST(ControlGeometry, ContainsIncludesAllEdgesAndUsesLow16Bits) {
    Control c(10, 20, 20, 10, ControlFlags::Active, nullptr);
    Control wrapped(65536 + 10, 20, 65536 + 20, 10, ControlFlags::Active, nullptr);
    const struct {
        int32_t px, py;
        bool inside;
    } cases[] = {
        {10, 20, true}, {30, 30, true}, {20, 25, true}, {9, 25, false},
        {31, 25, false}, {20, 19, false}, {20, 31, false},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(c.contains(k.px, k.py), k.inside) << k.px << "," << k.py;
        EXPECT_EQ(wrapped.contains(k.px, k.py), k.inside) << k.px << "," << k.py;
    }
}

TEST(ControlGeometry, AbsolutePositionAddsParentsAndMoveBySetSizeChangeFields) {
    ControlGroup root(5, 6, 200, 200, ControlFlags::Active, nullptr);
    ControlGroup mid(10, 20, 100, 100, ControlFlags::Active, &root);
    Control leaf(1, 2, 3, 4, ControlFlags::Active, &mid);
    EXPECT_EQ(leaf.absoluteX(), 16);
    EXPECT_EQ(leaf.absoluteY(), 28);
    EXPECT_EQ(leaf.window(), nullptr);
    EXPECT_EQ(leaf.moveBy(-1, 3), 1);
    EXPECT_EQ(leaf.setSize(7, 8), 1);
    EXPECT_EQ(leaf.absoluteX(), 15);
    EXPECT_EQ(leaf.absoluteY(), 31);
    EXPECT_EQ(leaf.width, 7);
    EXPECT_EQ(leaf.height, 8);
}

// A control covering window pixels 10..30 in both directions (edges inclusive).
TEST(ControlPaint, OnlyTheFourCornerTestsMarkTheControl) {
    const struct {
        const char* name;
        Rect16 update;  // top, left, bottom, right
        int32_t dirtyBefore;
        int32_t dirtyAfter;
        uint32_t result;
    } cases[] = {
        {"wholly inside", {12, 12, 20, 20}, 0, 1, ControlResult::Paint},
        {"equal to the control", {10, 10, 30, 30}, 0, 1, ControlResult::Paint},
        {"top-left corner inside", {20, 20, 40, 40}, 0, 1, 0},
        {"bottom-right corner inside", {0, 0, 15, 15}, 0, 1, 0},
        {"touching the far corner", {30, 30, 40, 40}, 0, 1, 0},
        {"covering the control", {0, 0, 50, 50}, 0, 1, 0},
        {"crossing without a corner", {15, 0, 18, 50}, 0, 0, 0},
        {"disjoint, clears old mark", {40, 40, 50, 50}, 1, 0, 0},
    };
    for (const auto& k : cases) {
        ControlGroup root(0, 0, 100, 100, ControlFlags::Active, nullptr);
        Control c(5, 5, 20, 20, ControlFlags::Active, &root);
        root.x = 5;  // absolute position 10, 10: the marking converts window coordinates
        root.y = 5;
        c.dirty = k.dirtyBefore;
        Rect16 update = k.update;
        EXPECT_EQ(c.dispatch(0, 0, &update, ControlEvent::Paint), k.result) << k.name;
        EXPECT_EQ(c.dirty, k.dirtyAfter) << k.name;
    }
}

}  // namespace
