#include "model/CurveOutput.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

using namespace orinsub;
namespace sim = zentra::sim;

namespace {

class CurveOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sim::Restore();
        device = Zentra_OpenIDW(sim::kDeviceId);
        ASSERT_NE(device, nullptr);
        port.SetHandle(device);
        model::g_orin.m_pDoc = &doc;
        model::g_orin.m_pZentra = &port;
    }
    void TearDown() override
    {
        model::g_orin = model::COrinGlobal{};
        Zentra_Close(device);
    }
    void Curve(int dimmer, model::DimmerCurve curve)
    {
        const int dimmers[] = {dimmer};
        ASSERT_TRUE(doc.SetDimmerCurves(dimmers, curve));
    }

    model::COrinSUBDoc doc;
    dmx::COrinZentra port;
    ZENTRA_HANDLE device = nullptr;
};

} // namespace

TEST_F(CurveOutputTest, EveryDimmerGoesOutThroughItsCurveTheHeldLookToo)
{
    Curve(5, {model::CurveKind::Linear, 50, 60});
    Curve(6, {model::CurveKind::Switch, 50, 100});
    Curve(7, {model::CurveKind::Square, 50, 100});
    model::PublishDimmerCurves();
    for (int slot : {4, 5, 6, 7})
        port.SetOutputSlot(slot, 128);
    ASSERT_NE(port.WriteFrame(), 0);
    sim::Frame sent = sim::LastWrittenFrame();
    EXPECT_EQ(sent[4], 128) << "a linear dimmer sends its level";
    EXPECT_EQ(sent[5], 77) << "60 % of 128";
    EXPECT_EQ(sent[6], 255) << "the switch at its threshold";
    EXPECT_EQ(sent[7], 64);

    std::array<uint8_t, 512> look{};
    look[4] = 255;
    port.HoldOutput(look);
    ASSERT_NE(port.WriteFrame(), 0);
    EXPECT_EQ(sim::LastWrittenFrame()[5], 153) << "the limit of 60 % at full";

    Curve(5, {});
    model::PublishDimmerCurves();
    ASSERT_NE(port.WriteFrame(), 0);
    EXPECT_EQ(sim::LastWrittenFrame()[5], 255) << "linear again";
}
