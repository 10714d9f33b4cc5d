#include "LoopbackUdp.h"
#include "UdpBackend.h"
#include "support/Eventually.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using orinsub::testing::Eventually;
using zentra::Backend;
using zentra::testing::LoopbackUdp;
using Frame = std::array<uint8_t, 513>;

Frame Numbered(uint8_t seed)
{
    Frame frame{};
    for (std::size_t i = 1; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 3 + seed);
    return frame;
}

std::vector<uint8_t> ArtDmx(unsigned universe, std::span<const uint8_t> slots,
                            std::optional<unsigned> announced = std::nullopt)
{
    std::vector<uint8_t> packet = {'A', 'r', 't', '-', 'N', 'e', 't', 0, 0x00, 0x50, 0, 14, 1, 0};
    packet.push_back(static_cast<uint8_t>(universe & 0xFF));
    packet.push_back(static_cast<uint8_t>(universe >> 8));
    const unsigned length = announced.value_or(static_cast<unsigned>(slots.size()));
    packet.push_back(static_cast<uint8_t>(length >> 8));
    packet.push_back(static_cast<uint8_t>(length & 0xFF));
    packet.insert(packet.end(), slots.begin(), slots.end());
    return packet;
}

// The backend on 127.0.0.1 with a capture socket as the node and a free port for its input.
class ArtNetBackendTest : public ::testing::Test
{
protected:
    void Open(const std::string &universes)
    {
        inputPort = LoopbackUdp::FreePort();
        std::string error;
        backend = zentra::detail::MakeArtNetOn("127.0.0.1:" + universes, true,
                                               {inputPort, node.Port()}, error);
        ASSERT_TRUE(backend) << error;
        const auto ids = backend->EnumerateIds();
        ASSERT_EQ(ids.size(), 1u);
        device = backend->Open(ids[0]);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override
    {
        if (device)
            backend->Close(device);
    }

    bool Read(Frame &frame) { return backend->Read(device, frame, 10ms); }

    // Sends packets to the backend, then a marker frame on the same universe, and reads until the
    // marker arrived: every packet before it has been seen by then.
    Frame ReadAfter(const std::vector<std::vector<uint8_t>> &packets, unsigned universe)
    {
        for (const auto &packet : packets)
            node.SendTo(inputPort, packet);
        const uint8_t marker[2] = {0xA5, 0x5A};
        node.SendTo(inputPort, ArtDmx(universe, marker));
        Frame frame{};
        Eventually([&] { return Read(frame) && frame[1] == 0xA5; });
        return frame;
    }

    LoopbackUdp node;
    uint16_t inputPort = 0;
    std::shared_ptr<Backend> backend;
    Backend::Handle device = nullptr;
};

TEST_F(ArtNetBackendTest, ArtDmxCarriesHeaderUniverseSequenceAndAllSlots)
{
    Open("4660"); // 0x1234: net 0x12, sub-net and universe 0x34
    const Frame frame = Numbered(1);
    ASSERT_TRUE(backend->Write(device, frame, 500ms));
    const auto packet = node.Receive();
    ASSERT_TRUE(packet);
    ASSERT_EQ(packet->size(), 18u + 512u);
    const std::vector<uint8_t> id(packet->begin(), packet->begin() + 8);
    EXPECT_EQ(id, (std::vector<uint8_t>{'A', 'r', 't', '-', 'N', 'e', 't', 0}));
    EXPECT_EQ((*packet)[8], 0x00) << "OpDmx 0x5000, low byte first";
    EXPECT_EQ((*packet)[9], 0x50);
    EXPECT_EQ((*packet)[10], 0) << "protocol version 14, high byte first";
    EXPECT_EQ((*packet)[11], 14);
    EXPECT_EQ((*packet)[12], 1) << "sequence starts at 1";
    EXPECT_EQ((*packet)[13], 0) << "physical";
    EXPECT_EQ((*packet)[14], 0x34) << "SubUni";
    EXPECT_EQ((*packet)[15], 0x12) << "Net";
    EXPECT_EQ((*packet)[16], 0x02) << "length 512, high byte first";
    EXPECT_EQ((*packet)[17], 0x00);
    EXPECT_TRUE(std::equal(packet->begin() + 18, packet->end(), frame.begin() + 1));
}

TEST_F(ArtNetBackendTest, SequenceRunsFromOneTo255AndNeverSendsZero)
{
    Open("0");
    const Frame frame{};
    std::vector<uint8_t> sequences;
    for (int i = 0; i < 257; ++i) {
        ASSERT_TRUE(backend->Write(device, frame, 500ms));
        const auto packet = node.Receive();
        ASSERT_TRUE(packet);
        sequences.push_back((*packet)[12]);
    }
    EXPECT_EQ(sequences[0], 1);
    EXPECT_EQ(sequences[254], 255);
    EXPECT_EQ(sequences[255], 1) << "0 would switch the node's reordering off";
    EXPECT_EQ(sequences[256], 2);
}

TEST_F(ArtNetBackendTest, ShortFrameGoesOutAsFullUniverseWithZeros)
{
    Open("0");
    const uint8_t shortFrame[4] = {0, 10, 20, 30};
    ASSERT_TRUE(backend->Write(device, shortFrame, 500ms));
    const auto packet = node.Receive();
    ASSERT_TRUE(packet);
    ASSERT_EQ(packet->size(), 530u);
    EXPECT_EQ((*packet)[18], 10);
    EXPECT_EQ((*packet)[20], 30);
    EXPECT_TRUE(std::all_of(packet->begin() + 21, packet->end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ArtNetBackendTest, InputUniversePacketsFillTheInputFrame)
{
    Open("1/7");
    Frame frame{};
    frame.fill(0xEE);
    EXPECT_FALSE(Read(frame)) << "nothing received yet";
    EXPECT_EQ(frame[1], 0xEE) << "a failed read leaves the frame alone";

    const uint8_t levels[6] = {1, 2, 3, 4, 5, 6};
    node.SendTo(inputPort, ArtDmx(7, levels));
    ASSERT_TRUE(Eventually([&] { return Read(frame); }));
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 1);
    EXPECT_EQ(frame[6], 6);
    EXPECT_EQ(frame[7], 0) << "slots the packet did not carry are 0";
    EXPECT_EQ(frame[512], 0);

    const Frame full = Numbered(9);
    const Frame last = ReadAfter({ArtDmx(7, {full.begin() + 1, full.end()})}, 7);
    EXPECT_EQ(last[2], 0x5A) << "the newest frame wins";
}

TEST_F(ArtNetBackendTest, MalformedShortAndForeignPacketsAreIgnored)
{
    Open("1/7");
    const Frame before = ReadAfter({}, 7);
    ASSERT_EQ(before[1], 0xA5);

    const uint8_t levels[4] = {9, 9, 9, 9};
    const auto good = ArtDmx(7, levels);
    auto wrongId = good;
    wrongId[0] = 'X';
    auto poll = good;
    poll[9] = 0x20; // ArtPoll
    auto oldVersion = good;
    oldVersion[11] = 13;
    const std::vector<uint8_t> stub(good.begin(), good.begin() + 17);
    for (const auto &packet :
         {wrongId, poll, oldVersion, stub, ArtDmx(8, levels),
          ArtDmx(7, levels, 200) /* announces more than it carries */, ArtDmx(7, levels, 0),
          ArtDmx(7, levels, 514), std::vector<uint8_t>(4000, 0xFF), std::vector<uint8_t>()})
        node.SendTo(inputPort, packet);
    // Loopback delivers within microseconds; the pause only makes sure all of it is waiting.
    std::this_thread::sleep_for(50ms);
    Frame after{};
    ASSERT_TRUE(Read(after));
    EXPECT_EQ(after, before) << "none of the packets was taken as input";
}

TEST_F(ArtNetBackendTest, WithoutInputUniverseEveryReadFails)
{
    Open("3");
    Frame frame{};
    EXPECT_FALSE(Read(frame));
}

// The loopback interface of the process's network namespace up or down; false when it cannot be
// set.
bool SetLoopbackUp(bool up)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool done = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags =
        static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
    done = done && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

// Runs in a child process with a network namespace of its own, whose loopback interface it takes
// down and up again; exits 0 when the writes followed the link, else 1 with what went wrong.
[[noreturn]] void WriteThroughALoopbackThatGoesDown()
{
    const auto fail = [](const char *what) {
        std::fprintf(stderr, "%s\n", what);
        std::_Exit(1);
    };
    if (unshare(CLONE_NEWNET) != 0 || !SetLoopbackUp(true))
        fail("no network namespace of its own");
    LoopbackUdp node;
    std::string error;
    auto backend = zentra::detail::MakeArtNetOn("127.0.0.1", true,
                                                {LoopbackUdp::FreePort(), node.Port()}, error);
    Backend::Handle device = backend ? backend->Open(u"Art-Net 0") : nullptr;
    if (!device)
        fail("the device did not open");
    const Frame frame = Numbered(1);
    if (!backend->Write(device, frame, 500ms) || !node.Receive())
        fail("no frame while the link was up");
    if (!SetLoopbackUp(false))
        fail("the link did not go down");
    for (int i = 0; i < 3; ++i) {
        if (backend->Write(device, frame, 500ms))
            fail("a write reported a frame sent while the link was down");
    }
    if (node.Receive(100ms))
        fail("a frame arrived while the link was down");
    if (!SetLoopbackUp(true) || !backend->Write(device, frame, 500ms) || !node.Receive())
        fail("no frame once the link was back");
    backend->Close(device);
    std::_Exit(0);
}

// With the network link down the system takes each packet and drops it: the writes must fail, so
// that the console says frames do not get out.
TEST(ArtNetLinkDownTest, WritesFailWhileTheLinkIsDownAndSucceedOnceItIsBack)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a network namespace of the test's own needs root";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(WriteThroughALoopbackThatGoesDown(), ::testing::ExitedWithCode(0), "");
}

} // namespace
