#include "dmx/MonotonicTimer.h"
#include "support/Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using orinsub::dmx::MonotonicTimer;
using orinsub::dmx::NextDeadline;
using orinsub::testing::Eventually;

TEST(NextDeadlineTest, StaysOnTheGridAndSkipsWhatAnOverrunMissed)
{
    const int64_t period = 20'000'000;
    const int64_t start = 1'000'000'000;
    EXPECT_EQ(NextDeadline(start, start + 300'000, period), start + period) << "on time";
    EXPECT_EQ(NextDeadline(start, start + period, period), start + period) << "due right now";
    EXPECT_EQ(NextDeadline(start, start + period + 1, period), start + 2 * period);
    EXPECT_EQ(NextDeadline(start, start + 3 * period + period / 2, period), start + 4 * period)
        << "three deadlines missed: one tick next, on the grid, not a burst of three";
    EXPECT_EQ(NextDeadline(start, start - period, period), start + period);
}

TEST(MonotonicTimerTest, TicksUntilStoppedAndNeverAfter)
{
    std::atomic<int> ticks{0};
    MonotonicTimer timer;
    ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
    EXPECT_TRUE(timer.IsRunning());
    ASSERT_TRUE(Eventually([&] { return ticks >= 5; }));
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
    const int stoppedAt = ticks;
    std::this_thread::sleep_for(10ms); // ten periods of the real timer
    EXPECT_EQ(ticks, stoppedAt);
}

TEST(MonotonicTimerTest, StopWaitsForTheRunningTick)
{
    std::atomic<bool> inTick{false};
    std::atomic<bool> release{false};
    std::atomic<int> ticks{0};
    MonotonicTimer timer;
    ASSERT_TRUE(timer.Start(1ms, [&] {
        inTick = true;
        while (!release)
            std::this_thread::sleep_for(1ms); // a long tick, held by the test
        ++ticks;
        inTick = false;
    }));
    ASSERT_TRUE(Eventually([&] { return inTick.load(); }));
    std::atomic<bool> stopping{false};
    std::atomic<bool> stopped{false};
    std::thread ui([&] {
        stopping = true;
        timer.Stop();
        stopped = true;
    });
    // A loaded machine may start the thread late: the stop must be under way before the release.
    ASSERT_TRUE(Eventually([&] { return stopping.load(); }));
    std::this_thread::sleep_for(100ms); // time for a stop that does not wait to end
    EXPECT_FALSE(stopped);
    release = true;
    ui.join();
    EXPECT_FALSE(inTick);
    EXPECT_EQ(ticks, 1) << "no tick starts once a stop is under way";
}

TEST(MonotonicTimerTest, RefusesASecondStartAndBadArgumentsButRestartsAfterStop)
{
    std::atomic<int> ticks{0};
    MonotonicTimer timer; // declared last: it stops before what its ticks touch goes
    EXPECT_FALSE(timer.Start(0ms, [] {}));
    EXPECT_FALSE(timer.Start(1ms, nullptr));
    ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
    EXPECT_FALSE(timer.Start(1ms, [] {}));
    timer.Stop();
    timer.Stop();
    ticks = 0;
    ASSERT_TRUE(timer.Start(1ms, [&] { ++ticks; }));
    EXPECT_TRUE(Eventually([&] { return ticks >= 2; }));
}

} // namespace
