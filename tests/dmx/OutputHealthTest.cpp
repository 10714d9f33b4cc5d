#include "dmx/OutputHealth.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace orinsub::dmx;
using Clock = OutputHealth::Clock;

struct Case
{
    const char *what;
    bool frameSent;            // a frame went out after the start
    OutputFault fault;         // what the tick saw after it (None: nothing failed)
    Clock::duration sinceSent; // from that frame (or the start) to the look
    bool lost;
};

class OutputHealthRule : public ::testing::TestWithParam<Case>
{
};

TEST_P(OutputHealthRule, LostOnlyWhenNoFrameWentOutForHalfASecondAndTheTickSawWhy)
{
    const Case &c = GetParam();
    const Clock::time_point start = Clock::time_point{} + 1000s;
    const Clock::time_point sent = c.frameSent ? start + 20ms : start;
    OutputHealth health(start);
    if (c.frameSent)
        health.FrameSent(sent);
    if (c.fault != OutputFault::None)
        health.Failed(c.fault, u"OLA 1");
    const OutputHealth::Reading reading = health.Look(sent + c.sinceSent);
    EXPECT_EQ(reading.lost, c.lost);
    EXPECT_EQ(reading.fault, c.fault);
    EXPECT_EQ(reading.deviceId, c.fault == OutputFault::None ? QString() : QStringLiteral("OLA 1"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputHealthRule,
    ::testing::Values(
        Case{"a frame or two dropped", true, OutputFault::WriteFailed, 60ms, false},
        Case{"just at the limit", true, OutputFault::WriteFailed, kOutputLostAfter, false},
        Case{"writes failing past it", true, OutputFault::WriteFailed, 501ms, true},
        Case{"the device gone", true, OutputFault::NoDevice, 2s, true},
        Case{"the device not opening", true, OutputFault::OpenFailed, 2s, true},
        Case{"at start the link gets its time to open", false, OutputFault::OpenFailed, 400ms,
             false},
        Case{"no device opened since the start", false, OutputFault::OpenFailed, 600ms, true},
        Case{"a tick that did not run is no fault", true, OutputFault::None, 10s, false}),
    [](const auto &info) {
        std::string name = info.param.what;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

} // namespace
