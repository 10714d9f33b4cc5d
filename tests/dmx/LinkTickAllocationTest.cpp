#include "dmx/LinkTick.h"
#include "support/AllocationCounter.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

namespace {

using namespace orinsub::dmx;
namespace sim = zentra::sim;

// With every lane running a chase of the most steps, laid over the frame by the tick.
TEST(LinkTickAllocationTest, TicksOnAnOpenDeviceAllocateNothing)
{
    sim::Restore();
    auto port = std::make_unique<COrinZentra>();
    LinkTick(*port); // opening may allocate: it builds ids
    ASSERT_TRUE(port->IsOpen());
    ChaseStage &stage = port->GetChaseStage();
    const std::vector<ChaseLook> steps(kMaxChaseSteps, ChaseLook{1, 2, 3});
    ChaseTiming timing;
    timing.stepCount = kMaxChaseSteps;
    timing.direction = ChaseDirection::Random;
    timing.crossfade = kStepUnits / 2;
    for (int lane = 0; lane < kChaseLanes; ++lane) {
        stage.Run(lane, steps, timing);
        stage.SetGains(lane, 255, 255);
    }
    stage.SetChannelOfSlot(1, 2);

    sim::FailNextWrites(3);
    sim::FailNextReads(2);
    orinsub::testing::StartCountingAllocations();
    for (int i = 0; i < 6; ++i)
        LinkTick(*port);
    EXPECT_EQ(orinsub::testing::StopCountingAllocations(), 0);
    EXPECT_EQ(sim::GetCounts().writes, 3u);
    EXPECT_EQ(sim::LastWrittenFrame()[1], 3) << "the chases went out";
    ShutdownLink(nullptr, port);
}

} // namespace
