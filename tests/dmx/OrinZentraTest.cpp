#include "dmx/OrinZentra.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

namespace {

using orinsub::dmx::COrinZentra;
namespace sim = zentra::sim;

class OrinZentraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sim::Restore();
        m_device = Zentra_OpenIDW(sim::kDeviceId);
        ASSERT_NE(m_device, nullptr);
        port.SetHandle(m_device);
    }
    void TearDown() override { Zentra_Close(m_device); }

    COrinZentra port;
    ZENTRA_HANDLE m_device = nullptr;
};

TEST_F(OrinZentraTest, OutputSlotsOutsideTheDimmersAreIgnored)
{
    for (int dimmer : {-1, 0, 513, 10000})
        port.SetOutputSlot(dimmer, 200);
    port.SetOutputSlot(1, 11);
    port.SetOutputSlot(512, 22);
    ASSERT_NE(port.WriteFrame(), 0);
    sim::Frame expected{};
    expected[1] = 11;
    expected[512] = 22;
    EXPECT_EQ(sim::LastWrittenFrame(), expected) << "start code stays 0";
}

TEST_F(OrinZentraTest, ASilencedPortSendsNothingAndSendsTheStageAgainOnceLoud)
{
    port.SetOutputSlot(1, 11);
    port.SilenceOutput(true);
    const uint64_t writes = sim::GetCounts().writes;
    EXPECT_NE(port.WriteFrame(), 0) << "silence is no failure of the device";
    EXPECT_EQ(sim::GetCounts().writes, writes);
    port.SilenceOutput(false);
    ASSERT_NE(port.WriteFrame(), 0);
    EXPECT_EQ(sim::LastWrittenFrame()[1], 11);
}

TEST_F(OrinZentraTest, ReadFailuresDropBackTo100PastTheThousandthAndClearOnASuccess)
{
    sim::FailNextReads(1001);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(port.ReadFrame(), 0);
    EXPECT_EQ(port.GetReadFailures(), 1000);
    port.ReadFrame();
    EXPECT_EQ(port.GetReadFailures(), 100);
    EXPECT_NE(port.ReadFrame(), 0);
    EXPECT_EQ(port.GetReadFailures(), 0);
}

TEST_F(OrinZentraTest, FailedReadKeepsTheLastInputFrame)
{
    sim::Frame input{};
    input[0] = 0;
    input[1] = 100;
    input[512] = 255;
    sim::SetInputFrame(input);
    ASSERT_NE(port.ReadFrame(), 0);
    sim::SetInputFrame({});
    sim::FailNextReads(1);
    EXPECT_EQ(port.ReadFrame(), 0);
    EXPECT_EQ(port.GetInputSlot(1), 100);
    EXPECT_EQ(port.GetInputSlot(512), 255);
    EXPECT_EQ(port.GetReadFailures(), 1);
}

TEST_F(OrinZentraTest, ResetForgetsTheDeviceAndItsInputButKeepsTheStageWithoutClosing)
{
    port.SetDeviceId(QStringLiteral("SIM-1"));
    port.SetOutputSlot(7, 70);
    sim::Frame input{};
    input[3] = 30;
    sim::SetInputFrame(input);
    port.ReadFrame();
    sim::FailNextReads(1);
    port.ReadFrame();

    port.Reset();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.GetDeviceId().isEmpty());
    EXPECT_EQ(port.GetReadFailures(), 0);
    EXPECT_EQ(port.GetOutputSlot(7), 70) << "the device that opens next sends the stage";
    EXPECT_EQ(port.GetInputSlot(3), 0);
    EXPECT_EQ(sim::GetCounts().openHandles, 1) << "closing is the caller's job";
}

} // namespace
