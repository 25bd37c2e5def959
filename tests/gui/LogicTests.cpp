// The library's window-free logic: hit testing, hover transitions, constraints, scroll
// arithmetic, command identifiers, timer identifiers and hint placement.
#include "gui/CommandIdPool.h"
#include "gui/HintPlacement.h"
#include "gui/HitTest.h"
#include "gui/HoverTracker.h"
#include "gui/ScrollMath.h"
#include "gui/SizeConstraints.h"
#include "gui/TimerRegistry.h"
#include <gtest/gtest.h>
#include <vector>

using namespace gui;

namespace {

int hit(const std::vector<HitBox>& boxes, POINT p, bool allowDisabled = false) {
    return TopmostHit(
        boxes.size(), [&](size_t i) { return boxes[i]; }, p, allowDisabled);
}

// Stand-ins for controls: the tracker only compares their addresses.
TControl* control(int n) {
    static char storage[8];
    return reinterpret_cast<TControl*>(&storage[n]);
}

}  // namespace

TEST(HitTest, TheLastOverlappingBoxInZOrderWins) {
    const std::vector<HitBox> boxes{{{0, 0, 100, 100}}, {{50, 50, 150, 150}}, {{200, 0, 300, 50}}};
    EXPECT_EQ(hit(boxes, {60, 60}), 1);
    EXPECT_EQ(hit(boxes, {10, 10}), 0);
    EXPECT_EQ(hit(boxes, {250, 10}), 2);
    EXPECT_EQ(hit(boxes, {170, 170}), -1);
}

TEST(HitTest, RightAndBottomEdgesAreOutside) {
    const std::vector<HitBox> boxes{{{10, 10, 20, 20}}};
    EXPECT_EQ(hit(boxes, {10, 10}), 0);
    EXPECT_EQ(hit(boxes, {19, 19}), 0);
    EXPECT_EQ(hit(boxes, {20, 15}), -1);
    EXPECT_EQ(hit(boxes, {15, 20}), -1);
}

TEST(HitTest, HiddenBoxesAreSkippedAndDisabledOnesUnlessAllowed) {
    std::vector<HitBox> boxes{
        {{0, 0, 100, 100}}, {{0, 0, 100, 100}, false, true}, {{0, 0, 100, 100}, true, false}};
    EXPECT_EQ(hit(boxes, {5, 5}), 0);
    EXPECT_EQ(hit(boxes, {5, 5}, true), 2);
    boxes[0].visible = false;
    EXPECT_EQ(hit(boxes, {5, 5}), -1);
}

TEST(HoverTracker, LeaveGoesToTheOldControlBeforeEnterToTheNew) {
    HoverTracker tracker;
    HoverTracker::Transition t = tracker.Update(control(1));
    EXPECT_EQ(t.leave, nullptr);
    EXPECT_EQ(t.enter, control(1));

    t = tracker.Update(control(1));
    EXPECT_EQ(t.leave, nullptr);
    EXPECT_EQ(t.enter, nullptr);

    t = tracker.Update(control(2));
    EXPECT_EQ(t.leave, control(1));
    EXPECT_EQ(t.enter, control(2));

    t = tracker.Update(nullptr);
    EXPECT_EQ(t.leave, control(2));
    EXPECT_EQ(t.enter, nullptr);
    EXPECT_EQ(tracker.Current(), nullptr);
}

TEST(HoverTracker, ADestroyedControlIsNeverNamedAgain) {
    HoverTracker tracker;
    tracker.Update(control(1));
    tracker.Forget(control(2));
    EXPECT_EQ(tracker.Current(), control(1));
    tracker.Forget(control(1));
    const HoverTracker::Transition t = tracker.Update(control(3));
    EXPECT_EQ(t.leave, nullptr);
    EXPECT_EQ(t.enter, control(3));
}

TEST(HoverTracker, WhileAControlHoldsTheMouseOnlyItEntersAndLeaves) {
    HoverTracker tracker;
    tracker.Update(control(1));
    // Pressed on 1, dragged over 2: 1 is left, 2 is not entered.
    HoverTracker::Transition t = tracker.Update(control(2), control(1));
    EXPECT_EQ(t.leave, control(1));
    EXPECT_EQ(t.enter, nullptr);
    // Back over 1 while still held: 1 is entered again.
    t = tracker.Update(control(1), control(1));
    EXPECT_EQ(t.leave, nullptr);
    EXPECT_EQ(t.enter, control(1));
    // Released over 2: now 2 is entered.
    tracker.Update(control(2), control(1));
    t = tracker.Update(control(2), nullptr);
    EXPECT_EQ(t.leave, nullptr);
    EXPECT_EQ(t.enter, control(2));
}

TEST(SizeConstraints, MinimumAndMaximumApplyAndTheMinimumWins) {
    EXPECT_EQ(ApplySizeConstraints(500, 300, 0, 0, 0, 0).width, 500);
    ConstrainedSize s = ApplySizeConstraints(500, 300, 1024, 0, 0, 0);
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.height, 300);
    s = ApplySizeConstraints(2000, 2000, 0, 0, 800, 600);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
    s = ApplySizeConstraints(100, 100, 300, 300, 200, 200);
    EXPECT_EQ(s.width, 300);
    EXPECT_EQ(s.height, 300);
}

TEST(SizeConstraints, AChangedLimitIsReported) {
    TSizeConstraints constraints;
    int changes = 0;
    constraints.OnChange = [&] { ++changes; };
    constraints.SetMinWidth(1024);
    constraints.SetMinWidth(1024);
    constraints.SetMinHeight(-5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(constraints.MinHeight(), 0);
    EXPECT_EQ(constraints.Apply(10, 10).width, 1024);
}

TEST(ScrollMath, PositionsStayWithinTheRange) {
    EXPECT_EQ(MaxScrollPosition(1000, 400), 600);
    EXPECT_EQ(MaxScrollPosition(300, 400), 0);
    EXPECT_EQ(ClampScrollPosition(700, 1000, 400), 600);
    EXPECT_EQ(ClampScrollPosition(-3, 1000, 400), 0);
    EXPECT_EQ(ClampScrollPosition(50, 300, 400), 0);
}

TEST(ScrollMath, SmoothLinesAreATenthOfNineTenthsOfThePage) {
    EXPECT_EQ(ScrollPageStep(700), 630);
    EXPECT_EQ(ScrollLineStep(8, true, 700), 63);
    EXPECT_EQ(ScrollLineStep(8, false, 700), 8);
    EXPECT_EQ(ScrollLineStep(8, true, 5), 1);
}

TEST(ScrollMath, RequestsMoveTheBar) {
    const int range = 2000, page = 500, line = 45;
    EXPECT_EQ(ScrollTarget({SB_LINEDOWN, 0}, 100, range, page, line, false), 145);
    EXPECT_EQ(ScrollTarget({SB_LINEUP, 0}, 10, range, page, line, false), 0);
    EXPECT_EQ(ScrollTarget({SB_PAGEDOWN, 0}, 100, range, page, line, false), 550);
    EXPECT_EQ(ScrollTarget({SB_BOTTOM, 0}, 100, range, page, line, false), 1500);
    EXPECT_EQ(ScrollTarget({SB_TOP, 0}, 100, range, page, line, false), 0);
    EXPECT_EQ(ScrollTarget({SB_THUMBPOSITION, 1700}, 100, range, page, line, false), 1500);
    EXPECT_EQ(ScrollTarget({SB_THUMBTRACK, 700}, 100, range, page, line, false), 100);
    EXPECT_EQ(ScrollTarget({SB_THUMBTRACK, 700}, 100, range, page, line, true), 700);
    EXPECT_EQ(ScrollTarget({SB_ENDSCROLL, 0}, 100, range, page, line, true), 100);
}

TEST(CommandIdPool, HandsOutTheLowestFreeIdentifier) {
    CommandIdPool pool;
    EXPECT_EQ(pool.Allocate(), 1u);
    EXPECT_EQ(pool.Allocate(), 2u);
    EXPECT_EQ(pool.Allocate(), 3u);
    pool.Release(2);
    EXPECT_FALSE(pool.InUse(2));
    EXPECT_EQ(pool.Allocate(), 2u);
    EXPECT_EQ(pool.Allocate(), 4u);
}

TEST(CommandIdPool, IdentifiersFitTheLowWordAndRunOut) {
    CommandIdPool pool;
    UINT last = 0;
    for (UINT i = 0; i < 0xFFFF; ++i)
        last = pool.Allocate();
    EXPECT_EQ(last, 0xFFFFu);
    EXPECT_EQ(pool.Allocate(), 0u);
    pool.Release(77);
    EXPECT_EQ(pool.Allocate(), 77u);
}

TEST(TimerRegistry, EveryStartGetsAnIdentifierNeverSeenBefore) {
    TimerRegistry registry;
    auto* a = reinterpret_cast<TTimer*>(0x10);
    const UINT_PTR first = registry.Register(a);
    registry.Unregister(first);
    const UINT_PTR second = registry.Register(a);
    EXPECT_NE(first, second);
    EXPECT_EQ(registry.Find(first), nullptr);  // a late tick of the first run finds nobody
    EXPECT_EQ(registry.Find(second), a);
    EXPECT_EQ(registry.Count(), 1u);
}

TEST(TimerRegistry, OnlyEnabledTimersWithAnIntervalAndAHandlerRun) {
    EXPECT_TRUE(TimerShouldRun(true, 10, true));
    EXPECT_FALSE(TimerShouldRun(true, 0, true));
    EXPECT_FALSE(TimerShouldRun(false, 10, true));
    EXPECT_FALSE(TimerShouldRun(true, 10, false));
}

TEST(HintPlacement, BelowThePointerAndInsideTheWorkArea) {
    const RECT work{0, 0, 1280, 1000};
    RECT r = PlaceHintRect({100, 20}, {500, 400}, 20, work);
    EXPECT_EQ(r.left, 500);
    EXPECT_EQ(r.top, 420);
    EXPECT_EQ(r.right, 600);
    r = PlaceHintRect({100, 20}, {1250, 400}, 20, work);
    EXPECT_EQ(r.right, 1280);
    r = PlaceHintRect({100, 20}, {500, 990}, 20, work);
    EXPECT_EQ(r.top, 970);  // above the pointer
    r = PlaceHintRect({2000, 20}, {500, 10}, 20, work);
    EXPECT_EQ(r.left, 0);
}
