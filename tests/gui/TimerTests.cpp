// Timers: interval 0 never fires, a deleted or restarted timer never sees a late tick, a handler
// may delete its own timer.
#include "GuiTestSupport.h"
#include "gui/Timer.h"
#include <gtest/gtest.h>

using namespace gui;
using guitest::PumpUntil;

TEST(Timer, FiresWhileEnabledWithAnIntervalAndAHandler) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(10);
    EXPECT_FALSE(timer.Running());  // no handler yet
    timer.SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    });
    EXPECT_TRUE(timer.Running());
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
}

TEST(Timer, AnIntervalOfZeroNeverFires) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(0);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_FALSE(timer.Running());
    guitest::Pump(100);
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(5);
    EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }));
}

TEST(Timer, ALateTickOfADeletedOrRestartedTimerIsDropped) {
    int ticks = 0;
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject*) { ++ticks; });
    const UINT_PTR firstRun = timer->Identifier();
    ASSERT_NE(firstRun, 0u);

    timer->SetInterval(20);  // restart: a new identifier
    const UINT_PTR secondRun = timer->Identifier();
    EXPECT_NE(secondRun, firstRun);
    TTimer::Tick(firstRun);
    EXPECT_EQ(ticks, 0);
    TTimer::Tick(secondRun);
    EXPECT_EQ(ticks, 1);

    timer->SetEnabled(false);
    TTimer::Tick(secondRun);
    EXPECT_EQ(ticks, 1);

    timer->SetEnabled(true);
    const UINT_PTR thirdRun = timer->Identifier();
    delete timer;
    TTimer::Tick(thirdRun);
    EXPECT_EQ(ticks, 1);
}

TEST(Timer, AHandlerMayDeleteItsOwnTimer) {
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    int ticks = 0;
    timer->SetInterval(5);
    timer->SetOnTimer([&](TObject* sender) {
        ++ticks;
        delete static_cast<TTimer*>(sender);
    });
    EXPECT_TRUE(PumpUntil([&] { return owner.ComponentCount() == 0; }));
    guitest::Pump(50);
    EXPECT_EQ(ticks, 1);
}

TEST(Timer, TheOwnerStopsItsTimers) {
    int ticks = 0;
    UINT_PTR run = 0;
    {
        TComponent owner(nullptr);
        auto* timer = new TTimer(&owner);
        timer->SetInterval(5);
        timer->SetOnTimer([&](TObject*) { ++ticks; });
        run = timer->Identifier();
    }
    TTimer::Tick(run);
    guitest::Pump(50);
    EXPECT_EQ(ticks, 0);
}
