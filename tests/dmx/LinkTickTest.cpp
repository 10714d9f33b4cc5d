#include "dmx/LinkTick.h"
#include "ManualTimer.h"
#include "dmx/MonotonicTimer.h"
#include "support/Eventually.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace orinsub::dmx;
using orinsub::testing::Eventually;
using orinsub::testing::ManualTimer;
namespace sim = zentra::sim;

sim::Frame FrameOf(std::initializer_list<std::pair<int, uint8_t>> levels)
{
    sim::Frame frame{};
    for (auto [slot, level] : levels)
        frame[slot] = level;
    return frame;
}

class LinkTickTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sim::Restore();
        s_writeFailures = 0;
        port = std::make_unique<COrinZentra>();
    }
    void TearDown() override
    {
        sim::ReleaseCalls();
        ShutdownLink(nullptr, port);
        const sim::Counts counts = sim::GetCounts();
        EXPECT_EQ(counts.openHandles, 0) << "every handle opened was closed";
        EXPECT_EQ(counts.closedWhileInUse, 0);
    }

    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            LinkTick(*port);
    }

    void OpenAndExchangeOnce()
    {
        Tick();
        ASSERT_TRUE(port->IsOpen());
        Tick();
        ASSERT_EQ(sim::GetCounts().writes, 1u);
    }

    std::unique_ptr<COrinZentra> port;
};

TEST_F(LinkTickTest, OpensOnOneTickAndExchangesFramesFromTheNext)
{
    port->SetOutputSlot(1, 255);
    port->SetOutputSlot(512, 7);
    sim::SetInputFrame(FrameOf({{2, 20}, {512, 99}}));

    Tick();
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(port->GetDeviceId(), QStringLiteral("SIM-1"));
    EXPECT_EQ(sim::GetCounts().writes + sim::GetCounts().reads, 0u);

    Tick();
    EXPECT_EQ(sim::LastWrittenFrame(), FrameOf({{1, 255}, {512, 7}}))
        << "a device that opens receives what the mix wrote while none was open";
    EXPECT_EQ(port->GetInputSlot(2), 20);
    EXPECT_EQ(port->GetInputSlot(512), 99);
    EXPECT_EQ(sim::GetCounts().enumerations, 1u);
}

TEST_F(LinkTickTest, TenFailedWritesThenASuccessKeepTheDevice)
{
    OpenAndExchangeOnce();
    sim::FailNextWrites(10);
    Tick(10);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(s_writeFailures, 10);

    Tick();
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(s_writeFailures, 0);
    EXPECT_EQ(sim::GetCounts().writes, 2u);
    EXPECT_EQ(sim::GetCounts().enumerations, 1u);
}

TEST_F(LinkTickTest, EleventhFailedWriteInARowClosesThePortAndTheReopenedDeviceGetsTheStage)
{
    port->SetOutputSlot(5, 50);
    sim::SetInputFrame(FrameOf({{6, 60}}));
    OpenAndExchangeOnce();
    ASSERT_EQ(port->GetInputSlot(6), 60);

    sim::FailNextWrites(11);
    Tick(10);
    ASSERT_TRUE(port->IsOpen());
    const uint64_t enumerations = sim::GetCounts().enumerations;
    Tick();
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(port->GetDeviceId().isEmpty());
    EXPECT_EQ(s_writeFailures, 0);
    EXPECT_EQ(sim::GetCounts().openHandles, 0) << "the device was closed, not just forgotten";
    for (int slot = 0; slot < kFrameSize; ++slot)
        ASSERT_EQ(port->GetInputSlot(slot), 0) << slot;
    EXPECT_EQ(sim::GetCounts().enumerations, enumerations) << "the search starts on the next tick";

    Tick();
    EXPECT_TRUE(port->IsOpen()) << "the device still answers enumerations, so it reopens";
    Tick();
    EXPECT_EQ(sim::LastWrittenFrame(), FrameOf({{5, 50}}))
        << "its first frame carries the stage, though nothing on the desk moved";
}

// What the status line says comes from here: each way the link loses its output, with the
// device concerned, and the first frame out ends it.
TEST_F(LinkTickTest, EachWayOfLosingOutputIsToldWithItsDevice)
{
    const auto afterLimit = [] { return OutputHealth::Clock::now() + kOutputLostAfter + 1ms; };
    const auto expectLost = [&](OutputFault fault, const QString &id) {
        const OutputHealth::Reading reading = port->GetOutputHealth().Look(afterLimit());
        EXPECT_TRUE(reading.lost);
        EXPECT_EQ(reading.fault, fault);
        EXPECT_EQ(reading.deviceId, id);
    };
    OpenAndExchangeOnce();
    EXPECT_FALSE(port->GetOutputHealth().Look(afterLimit()).lost) << "frames get out";

    sim::FailNextWrites(3);
    Tick(3);
    expectLost(OutputFault::WriteFailed, QStringLiteral("SIM-1"));
    Tick();
    EXPECT_FALSE(port->GetOutputHealth().Look(afterLimit()).lost);

    sim::SetPresent(false); // unplugged: writes fail until the port closes, then none is found
    Tick(11);
    expectLost(OutputFault::WriteFailed, QStringLiteral("SIM-1"));
    Tick();
    expectLost(OutputFault::NoDevice, QString());

    sim::SetDevices({{u"BROKEN", false}});
    sim::SetPresent(true);
    Tick();
    expectLost(OutputFault::OpenFailed, QStringLiteral("BROKEN"));
}

TEST_F(LinkTickTest, FailedReadsNeverCloseTheDevice)
{
    OpenAndExchangeOnce();
    sim::FailNextReads(15);
    Tick(15);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(port->GetReadFailures(), 15);
    Tick();
    EXPECT_EQ(port->GetReadFailures(), 0);
}

TEST_F(LinkTickTest, WithoutADeviceEveryTickSearchesAndTheOutputIsKept)
{
    sim::SetPresent(false);
    port->SetOutputSlot(10, 128);
    Tick(3);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(sim::GetCounts().enumerations, 3u);
    EXPECT_EQ(port->GetOutputSlot(10), 128);

    sim::SetPresent(true);
    Tick(2);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(sim::LastWrittenFrame(), FrameOf({{10, 128}}));
}

TEST_F(LinkTickTest, UnpluggedDeviceIsClosedAndReopenedWhenPluggedBackIn)
{
    OpenAndExchangeOnce();
    sim::SetPresent(false);
    Tick(11);
    EXPECT_FALSE(port->IsOpen());
    Tick(2);
    EXPECT_FALSE(port->IsOpen());

    sim::SetPresent(true);
    Tick();
    ASSERT_TRUE(port->IsOpen());
    EXPECT_EQ(port->GetDeviceId(), QStringLiteral("SIM-1"));
    const uint64_t writes = sim::GetCounts().writes;
    Tick();
    EXPECT_EQ(sim::GetCounts().writes, writes + 1);
    EXPECT_EQ(port->GetReadFailures(), 0);
}

TEST_F(LinkTickTest, FirstDeviceThatOpensIsKeptAndNoOtherIsOpened)
{
    sim::SetDevices({{u"BROKEN", false}, {u"SECOND"}, {u"THIRD"}});
    Tick();
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(port->GetDeviceId(), QStringLiteral("SECOND"));
    EXPECT_EQ(sim::GetCounts().openedIds, (std::vector<std::u16string>{u"BROKEN", u"SECOND"}));
    EXPECT_EQ(sim::GetCounts().openHandles, 1);
    Tick();
    EXPECT_EQ(sim::GetCounts().writes, 1u);
}

TEST_F(LinkTickTest, NoDeviceThatOpensLeavesThePortClosed)
{
    sim::SetDevices({{u"A", false}, {u"B", false}});
    Tick(2);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(sim::GetCounts().opens, 4u) << "each tick tries every device again";
}

TEST_F(LinkTickTest, OverlappingTickReturnsAtOnceWithoutTouchingThePort)
{
    OpenAndExchangeOnce();
    sim::HoldCalls(sim::Call::Write);
    std::thread slowTick([this] { Tick(); });
    ASSERT_TRUE(sim::WaitForHeldCall(5s));
    const sim::Counts before = sim::GetCounts();

    Tick();
    const sim::Counts after = sim::GetCounts();
    EXPECT_EQ(after.reads, before.reads);
    EXPECT_EQ(after.enumerations, before.enumerations);

    sim::ReleaseCalls();
    slowTick.join();
    EXPECT_EQ(sim::GetCounts().writes, 2u);
}

TEST_F(LinkTickTest, ShutdownWaitsForARunningTickThenClosesAndDeletesThePort)
{
    MonotonicTimer timer;
    ASSERT_TRUE(StartLinkTick(timer, *port));
    ASSERT_TRUE(Eventually([&] { return sim::GetCounts().writes > 0; }));

    sim::HoldCalls(sim::Call::Write);
    ASSERT_TRUE(sim::WaitForHeldCall(5s));
    std::atomic<bool> shutDown{false};
    std::thread ui([&] {
        ShutdownLink(&timer, port);
        shutDown = true;
    });
    std::this_thread::sleep_for(50ms); // time for a shutdown that does not wait to end
    EXPECT_FALSE(shutDown) << "shutdown went ahead while a tick was writing";
    const uint64_t writes = sim::GetCounts().writes;

    sim::ReleaseCalls();
    ui.join();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(sim::GetCounts().writes, writes + 1) << "the running tick finished its write";
    EXPECT_EQ(sim::GetCounts().openHandles, 0);
    EXPECT_FALSE(s_tickBusy.test_and_set()) << "shutdown lets go of the flag";
    s_tickBusy.clear();
}

TEST_F(LinkTickTest, ShutdownHoldsOffTicksAndStopsTheTimerBeforeClosing)
{
    ManualTimer timer;
    ASSERT_TRUE(StartLinkTick(timer, *port));
    EXPECT_EQ(timer.period, kLinkPeriod);
    timer.Fire();
    ASSERT_TRUE(port->IsOpen());

    int handlesAtStop = -1;
    uint64_t callsInTickDuringStop = 0;
    timer.onStop = [&] {
        handlesAtStop = sim::GetCounts().openHandles;
        const sim::Counts before = sim::GetCounts();
        timer.Fire(); // a tick that comes now must find the port held
        const sim::Counts after = sim::GetCounts();
        callsInTickDuringStop = after.reads + after.writes - before.reads - before.writes;
    };
    ShutdownLink(&timer, port);
    EXPECT_EQ(handlesAtStop, 1) << "the device is closed only after the timer is stopped";
    EXPECT_EQ(callsInTickDuringStop, 0u);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(sim::GetCounts().openHandles, 0);
}

TEST_F(LinkTickTest, TicksRightAfterOneAnotherStillRestBetweenFrames)
{
    OpenAndExchangeOnce();
    sim::TakeWriteTimes();
    Tick(3); // as ticks whose deadlines an overrun has passed would run
    const auto writes = sim::TakeWriteTimes();
    ASSERT_EQ(writes.size(), 3u);
    for (size_t i = 1; i < writes.size(); ++i)
        EXPECT_GE(writes[i] - writes[i - 1], kTickRest);
}

TEST_F(LinkTickTest, AnIdleLinkWakesOncePerFrame)
{
    // Every sleep of the timer's thread is a voluntary context switch, so they count its wake-ups.
    constexpr int kFrames = 25;
    std::atomic<int> frames{0};
    std::atomic<long> switchesAtFirst{0}, switchesAtLast{0};
    MonotonicTimer timer;
    ASSERT_TRUE(timer.Start(kLinkPeriod, [&] {
        LinkTick(*port);
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        const int frame = ++frames;
        if (frame == 2) // the first tick opened the device
            switchesAtFirst = usage.ru_nvcsw;
        else if (frame == 2 + kFrames)
            switchesAtLast = usage.ru_nvcsw;
    }));
    ASSERT_TRUE(Eventually([&] { return frames > 2 + kFrames; }));
    ShutdownLink(&timer, port);
    EXPECT_LE(switchesAtLast - switchesAtFirst, kFrames + kFrames / 4)
        << "the rest after a tick is part of the wait for the next one";
}

TEST_F(LinkTickTest, TimerDrivenLinkFollowsTheOutputAndDeliversTheInput)
{
    MonotonicTimer timer;
    ASSERT_TRUE(StartLinkTick(timer, *port));
    sim::SetInputFrame(FrameOf({{1, 33}}));
    // The UI thread moves levels while the tick sends and receives.
    for (int level = 0; level < 256; level += 5) {
        port->SetOutputSlot(1, static_cast<uint8_t>(level));
        port->SetOutputSlot(2, static_cast<uint8_t>(255 - level));
        (void)port->GetInputSlot(1);
        (void)port->GetDeviceId();
        (void)port->GetOutputHealth().Look();
        std::this_thread::sleep_for(1ms); // the moves spread over the real tick's frames
    }
    EXPECT_TRUE(Eventually([] { return sim::LastWrittenFrame()[1] == 255; }));
    EXPECT_TRUE(Eventually([&] { return port->GetInputSlot(1) == 33; }));
    EXPECT_EQ(port->GetDeviceId(), QStringLiteral("SIM-1"));
    ShutdownLink(&timer, port);
}

} // namespace
