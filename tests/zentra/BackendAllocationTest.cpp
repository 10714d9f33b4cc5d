#include "Backends.h"
#include "LoopbackUdp.h"
#include "OlaTestDaemon.h"
#include "UdpBackend.h"
#include "UsbProFraming.h"
#include "support/AllocationCounter.h"
#include "support/ScratchConfigHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <thread>

// The link tick's thread is what must not allocate; the OLA backend's client threads may allocate
// inside the client library, off the tick's time.

namespace {

using namespace std::chrono_literals;
using zentra::Backend;
using zentra::testing::LoopbackUdp;

// Twenty ticks' worth of reads and writes; the allocations they made.
int AllocationsOfTicks(Backend &backend, Backend::Handle device,
                       const std::function<void()> &betweenTicks = {})
{
    std::array<uint8_t, 513> out{};
    std::array<uint8_t, 513> in{};
    backend.Read(device, in, 10ms); // the first calls may settle buffers
    backend.Write(device, out, 500ms);
    int allocations = 0;
    for (int i = 0; i < 20; ++i) {
        if (betweenTicks)
            betweenTicks();
        out[1] = static_cast<uint8_t>(i);
        orinsub::testing::StartCountingAllocations();
        backend.Read(device, in, 10ms);
        backend.Write(device, out, 500ms);
        allocations += orinsub::testing::StopCountingAllocations();
    }
    return allocations;
}

TEST(BackendAllocationTest, NetworkBackendsAllocateNothingPerTick)
{
    const orinsub::testing::ScratchConfigHome home; // sACN keeps its source id there
    LoopbackUdp node;
    const std::array<uint8_t, 530> artDmx = [] {
        std::array<uint8_t, 530> p{'A',  'r', 't', '-', 'N', 'e', 't', 0, 0x00,
                                   0x50, 0,   14,  1,   0,   2,   0,   2, 0};
        return p;
    }();
    for (bool sacn : {false, true}) {
        const uint16_t inputPort = LoopbackUdp::FreePort();
        std::string error;
        auto backend = sacn ? zentra::detail::MakeSacnOn("127.0.0.1:1/2", true,
                                                         {inputPort, node.Port()}, error)
                            : zentra::detail::MakeArtNetOn("127.0.0.1:1/2", true,
                                                           {inputPort, node.Port()}, error);
        ASSERT_TRUE(backend) << error;
        Backend::Handle device = backend->Open(backend->EnumerateIds().at(0));
        ASSERT_NE(device, nullptr);
        // Input keeps coming in, so that the reads decode packets too.
        EXPECT_EQ(AllocationsOfTicks(*backend, device, [&] { node.SendTo(inputPort, artDmx); }), 0)
            << (sacn ? "sACN" : "Art-Net");
        backend->Close(device);
    }
}

TEST(BackendAllocationTest, UsbWidgetAllocatesNothingPerTick)
{
    const int widget = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(widget, 0);
    ASSERT_EQ(grantpt(widget), 0);
    ASSERT_EQ(unlockpt(widget), 0);
    std::string error;
    auto backend = zentra::detail::MakeUsbPro(ptsname(widget), true, error);
    ASSERT_TRUE(backend) << error;
    Backend::Handle device = backend->Open(backend->EnumerateIds().at(0));
    ASSERT_NE(device, nullptr);
    std::vector<uint8_t> received(2 + 512 + zentra::detail::usbpro::kFraming);
    const std::vector<uint8_t> data(2 + 512, 0);
    zentra::detail::usbpro::Frame(zentra::detail::usbpro::kLabelReceivedDmx, data, received);
    std::vector<uint8_t> drain(4096);
    EXPECT_EQ(AllocationsOfTicks(*backend, device,
                                 [&] {
                                     write(widget, received.data(), received.size());
                                     while (read(widget, drain.data(), drain.size()) > 0) {
                                     }
                                 }),
              0);
    backend->Close(device);
    close(widget);
}

TEST(BackendAllocationTest, OlaAllocatesNothingOnTheTicksThread)
{
    zentra::testing::OlaTestDaemon daemon;
    std::string why;
    if (!zentra::testing::OlaTestDaemon::CanRunHere(why))
        GTEST_SKIP() << "no private OLA daemon here: " << why;
    ASSERT_TRUE(daemon.Start(why)) << why;
    std::string error;
    auto backend = zentra::detail::MakeOla("1/2@" + std::to_string(daemon.Port()), true, error);
    ASSERT_TRUE(backend) << error;
    Backend::Handle device = backend->Open(u"OLA 1/2");
    ASSERT_NE(device, nullptr);
    zentra::testing::OlaUniverseSender sender(daemon.Port());
    zentra::testing::Slots levels{};
    EXPECT_EQ(AllocationsOfTicks(*backend, device, [&] { sender.Send(2, levels); }), 0);
    backend->Close(device);
}

} // namespace
