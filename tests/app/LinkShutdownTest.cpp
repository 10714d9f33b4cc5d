#include "app/MainFrame.h"
#include "dmx/LinkTick.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "zentra/SimulatedInterface.h"

#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace orinsub;
using namespace std::chrono_literals;

namespace {

// On the real link timer: the window closes while a tick is in the middle of a write.
TEST(LinkShutdownTest, ClosingWaitsForTheRunningTickThenClosesTheDeviceAndTicksNoMore)
{
    model::g_orin = model::COrinGlobal{};
    zentra::sim::Restore();
    model::COrinSUBDoc doc;
    model::g_orin.m_pDoc = &doc;
    auto frame = std::make_unique<app::CMainFrame>(&doc);
    frame->OnInitialUpdate();
    ASSERT_TRUE(QTest::qWaitFor([] { return model::g_orin.m_pZentra->IsOpen(); }, 2000));

    zentra::sim::HoldCalls(zentra::sim::Call::Write);
    ASSERT_TRUE(zentra::sim::WaitForHeldCall(2s));
    std::thread release([] {
        std::this_thread::sleep_for(50ms); // the frame is being deleted by then
        zentra::sim::ReleaseCalls();
    });
    frame.reset(); // returns only after the held write finished
    release.join();

    zentra::sim::Counts counts = zentra::sim::GetCounts();
    EXPECT_EQ(counts.openHandles, 0);
    EXPECT_EQ(counts.closedWhileInUse, 0);
    EXPECT_FALSE(dmx::s_tickBusy.test());
    const zentra::sim::Counts atClose = counts;
    std::this_thread::sleep_for(100ms); // five periods
    counts = zentra::sim::GetCounts();
    EXPECT_EQ(counts.writes + counts.failedWrites, atClose.writes + atClose.failedWrites);
    EXPECT_EQ(counts.enumerations, atClose.enumerations);
    model::g_orin = model::COrinGlobal{};
}

} // namespace
