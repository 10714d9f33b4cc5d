#include "dmx/LinkTick.h"
#include "zentra/SimulatedInterface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation of the process while counting is on.
namespace {
std::atomic<bool> s_counting{false};
std::atomic<int> s_allocations{0};
} // namespace

void *operator new(std::size_t size)
{
    if (s_counting.load(std::memory_order_relaxed))
        s_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

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
    s_counting = true;
    for (int i = 0; i < 6; ++i)
        LinkTick(*port);
    s_counting = false;

    EXPECT_EQ(s_allocations, 0);
    EXPECT_EQ(sim::GetCounts().writes, 3u);
    ShutdownLink(nullptr, port);
}

} // namespace
