#include "dmx/LinkTick.h"
#include "support/AllocationCounter.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

namespace {

using namespace orinsub::dmx;
namespace sim = zentra::sim;

TEST(LinkTickAllocationTest, TicksOnAnOpenDeviceAllocateNothing)
{
    sim::Restore();
    auto port = std::make_unique<COrinZentra>();
    LinkTick(*port); // opening may allocate: it builds ids
    ASSERT_TRUE(port->IsOpen());

    sim::FailNextWrites(3);
    sim::FailNextReads(2);
    orinsub::testing::StartCountingAllocations();
    for (int i = 0; i < 6; ++i)
        LinkTick(*port);
    EXPECT_EQ(orinsub::testing::StopCountingAllocations(), 0);
    EXPECT_EQ(sim::GetCounts().writes, 3u);
    ShutdownLink(nullptr, port);
}

} // namespace
