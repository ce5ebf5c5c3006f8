// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZTimer.h"

#include "platform/Application.h"
#include "platform/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct Firing
{
    uint32_t count;
    uint32_t sinceStart;
    uint32_t sincePrevious;
};

class Recorder : public ZTimerCB
{
public:
    bool OnTimer(ZTimer& timer, uint32_t count, uint32_t sinceStart, uint32_t sincePrev) override
    {
        firings.push_back({count, sinceStart, sincePrev});
        if (action) {
            return action(timer, count);
        }
        return true;
    }
    std::vector<Firing> firings;
    std::function<bool(ZTimer&, uint32_t)> action;
};

// Runs the event loop until the timer stops (or a second passes).
void RunUntilStopped(ZTimer& timer)
{
    plat::test::RunUntil([&] { return !timer.IsRunning(); }, 1000);
}

TEST(ZTimerTest, CountLimitFiresExactlyThatOften)
{
    Recorder cb;
    ZTimer timer(cb, 5, 3);
    ASSERT_TRUE(timer.Start(5, 3));
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_NE(timer.GetId(), 0u);
    RunUntilStopped(timer);
    EXPECT_FALSE(timer.IsRunning());
    ASSERT_EQ(cb.firings.size(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(cb.firings[i].count, i + 1);
    }
    // Elapsed times grow with each firing.
    EXPECT_GE(cb.firings[2].sinceStart, cb.firings[0].sinceStart);
}

TEST(ZTimerTest, CallbackReturningFalseStopsAtOnce)
{
    Recorder cb;
    cb.action = [](ZTimer&, uint32_t) { return false; };
    ZTimer timer(cb);
    ASSERT_TRUE(timer.Start(2, 0));
    RunUntilStopped(timer);
    plat::test::RunUntil([] { return false; }, 30); // nothing more arrives
    EXPECT_EQ(cb.firings.size(), 1u);
}

TEST(ZTimerTest, CallbackMayStopOrRestartItsTimer)
{
    Recorder cb;
    cb.action = [](ZTimer& t, uint32_t count) {
        if (count == 2) {
            t.Stop(); // stays stopped although the callback says go on
        }
        return true;
    };
    ZTimer timer(cb);
    ASSERT_TRUE(timer.Start(2, 0));
    RunUntilStopped(timer);
    plat::test::RunUntil([] { return false; }, 30);
    EXPECT_EQ(cb.firings.size(), 2u);
}

TEST(ZTimerTest, StaleAndUnknownIdsAreIgnored)
{
    Recorder cb;
    ZTimer timer(cb);
    ASSERT_TRUE(timer.Start(10000, 0));
    uint32_t first = timer.GetId();
    ASSERT_TRUE(timer.Restart()); // a fresh window-system timer
    EXPECT_NE(timer.GetId(), first);
    ZTimer::Dispatch(first);
    ZTimer::Dispatch(0xDEAD);
    EXPECT_TRUE(cb.firings.empty());
    ZTimer::Dispatch(timer.GetId());
    EXPECT_EQ(cb.firings.size(), 1u);
    EXPECT_TRUE(timer.Stop());
    EXPECT_FALSE(timer.Stop());
}

TEST(ZTimerTest, RegistryKeepsOtherIdsReachableAfterRemovals)
{
    // Many timers running at once: stopping every other one must leave the rest findable
    // (removal re-inserts the rest of each probe run).
    Recorder cb;
    std::vector<std::unique_ptr<ZTimer>> timers;
    for (int i = 0; i < 40; ++i) {
        timers.push_back(std::make_unique<ZTimer>(cb));
        ASSERT_TRUE(timers.back()->Start(100000, 0));
    }
    for (int i = 0; i < 40; i += 2) {
        timers[size_t(i)]->Stop();
    }
    for (int i = 1; i < 40; i += 2) {
        ZTimer::Dispatch(timers[size_t(i)]->GetId());
    }
    EXPECT_EQ(cb.firings.size(), 20u);
    int32_t live = ZTimer::LiveCount();
    timers.clear();
    EXPECT_EQ(ZTimer::LiveCount(), live - 40);
}

uint32_t s_fakeTick = 0;
uint32_t FakeTick()
{
    return s_fakeTick;
}

TEST(ZTimerTest, ElapsedTimesAcrossTheTickCountWrap)
{
    plat::SetTickSource(&FakeTick);
    s_fakeTick = 0xFFFFFFF0u; // 16 ms before the wrap
    Recorder cb;
    ZTimer timer(cb);
    ASSERT_TRUE(timer.Start(100000, 0));
    s_fakeTick = 0xFFFFFFFAu;
    ZTimer::Dispatch(timer.GetId());
    s_fakeTick = 20; // past the wrap
    ZTimer::Dispatch(timer.GetId());
    plat::SetTickSource(nullptr);
    ASSERT_EQ(cb.firings.size(), 2u);
    EXPECT_EQ(cb.firings[0].sinceStart, 10u);
    EXPECT_EQ(cb.firings[0].sincePrevious, 10u);
    EXPECT_EQ(cb.firings[1].sinceStart, 36u);
    EXPECT_EQ(cb.firings[1].sincePrevious, 26u);
}

} // namespace
