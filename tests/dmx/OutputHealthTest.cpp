#include "dmx/OutputHealth.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace orinsub::dmx;
using Clock = OutputHealth::Clock;

const Clock::time_point kStart = Clock::time_point{} + 1000s;

struct Case
{
    const char *what;
    OutputFault fault;         // what the tick saw after its last frame (None: nothing failed)
    Clock::duration sinceSent; // from the last frame (or the start) to the look
    bool lost;
};

class OutputHealthRule : public ::testing::TestWithParam<Case>
{
};

TEST_P(OutputHealthRule, LostOnlyWhenNoFrameWentOutForHalfASecondAndTheTickSawWhy)
{
    const Case &c = GetParam();
    OutputHealth health(kStart);
    health.FrameSent(kStart + 20ms);
    if (c.fault != OutputFault::None)
        health.Failed(c.fault, QStringLiteral("Art-Net 0"));
    const OutputHealth::Reading reading = health.Look(kStart + 20ms + c.sinceSent);
    EXPECT_EQ(reading.lost, c.lost);
    EXPECT_EQ(reading.fault, c.fault);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputHealthRule,
    ::testing::Values(Case{"a frame or two dropped", OutputFault::WriteFailed, 60ms, false},
                      Case{"just at the limit", OutputFault::WriteFailed, kOutputLostAfter, false},
                      Case{"writes failing past it", OutputFault::WriteFailed, 501ms, true},
                      Case{"the device gone", OutputFault::NoDevice, 2s, true},
                      Case{"the device not opening", OutputFault::OpenFailed, 2s, true},
                      Case{"a tick that did not run is no fault", OutputFault::None, 10s, false}),
    [](const auto &info) {
        std::string name = info.param.what;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST(OutputHealthTest, AnInterfaceThatNeverOpensIsToldHalfASecondAfterTheStart)
{
    OutputHealth health(kStart);
    health.Failed(OutputFault::OpenFailed, QStringLiteral("OLA 1"));
    EXPECT_FALSE(health.Look(kStart + 400ms).lost) << "the link gets its time to open";
    const OutputHealth::Reading reading = health.Look(kStart + 600ms);
    EXPECT_TRUE(reading.lost);
    EXPECT_EQ(reading.deviceId, QStringLiteral("OLA 1"));
}

TEST(OutputHealthTest, TheFirstFrameOutEndsTheLossAtOnceAndTheLatestReasonIsTold)
{
    OutputHealth health(kStart);
    health.Failed(OutputFault::WriteFailed, QStringLiteral("OLA 1"));
    health.Failed(OutputFault::NoDevice, QString());
    const OutputHealth::Reading reading = health.Look(kStart + 5s);
    EXPECT_TRUE(reading.lost);
    EXPECT_EQ(reading.fault, OutputFault::NoDevice);
    EXPECT_TRUE(reading.deviceId.isEmpty());

    health.FrameSent(kStart + 5s);
    EXPECT_FALSE(health.Look(kStart + 5s).lost);
    EXPECT_EQ(health.Look(kStart + 5s).fault, OutputFault::None);
}

} // namespace
