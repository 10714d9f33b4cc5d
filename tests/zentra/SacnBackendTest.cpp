#include "LoopbackUdp.h"
#include "SacnCid.h"
#include "UdpBackend.h"
#include "zentra/DeviceSelection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using zentra::Backend;
using zentra::detail::Cid;
using zentra::testing::LoopbackUdp;
using Frame = std::array<uint8_t, 513>;
using Packet = std::vector<uint8_t>;

unsigned Get16(const Packet &p, std::size_t at)
{
    return static_cast<unsigned>(p[at] << 8 | p[at + 1]);
}
uint32_t Get32(const Packet &p, std::size_t at)
{
    return Get16(p, at) << 16 | Get16(p, at + 2);
}

// A data packet as another console would send it, built from the standard's table.
Packet DataPacket(const Cid &cid, unsigned universe, uint8_t sequence,
                  std::vector<uint8_t> values /* start code first */)
{
    const std::size_t size = 125 + values.size();
    Packet p(size, 0);
    auto put16 = [&](std::size_t at, unsigned v) {
        p[at] = static_cast<uint8_t>(v >> 8);
        p[at + 1] = static_cast<uint8_t>(v);
    };
    put16(0, 0x0010);
    const char id[] = "ASC-E1.17";
    std::copy(id, id + 9, p.begin() + 4);
    put16(16, 0x7000 | (size - 16));
    put16(20, 0x0004);
    std::copy(cid.begin(), cid.end(), p.begin() + 22);
    put16(38, 0x7000 | (size - 38));
    put16(42, 0x0002);
    p[108] = 100;
    p[111] = sequence;
    put16(113, universe);
    put16(115, 0x7000 | (size - 115));
    p[117] = 0x02;
    p[118] = 0xA1;
    put16(121, 1);
    put16(123, static_cast<unsigned>(values.size()));
    std::copy(values.begin(), values.end(), p.begin() + 125);
    return p;
}

const Cid kOtherConsole = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

class SacnBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orinsub-sacn-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        configHome = pattern;
        setenv("XDG_CONFIG_HOME", pattern, 1);
    }
    void TearDown() override
    {
        if (device)
            backend->Close(device);
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(configHome);
    }

    void Open(const std::string &argument)
    {
        inputPort = LoopbackUdp::FreePort();
        std::string error;
        backend = zentra::detail::MakeSacnOn(argument, true, {inputPort, node.Port()}, error);
        ASSERT_TRUE(backend) << error;
        device = backend->Open(backend->EnumerateIds().at(0));
        ASSERT_NE(device, nullptr);
    }

    Packet WriteAndCapture(const Frame &frame)
    {
        EXPECT_TRUE(backend->Write(device, frame, 500ms));
        return node.Receive().value_or(Packet{});
    }

    bool Read(Frame &frame) { return backend->Read(device, frame, 10ms); }

    // Sends packets, then waits until a read shows slot 1 at marker.
    Frame SendUntil(const std::vector<Packet> &packets, uint8_t marker)
    {
        for (const auto &packet : packets)
            node.SendTo(inputPort, packet);
        Frame frame{};
        for (int i = 0; i < 500 && !(Read(frame) && frame[1] == marker); ++i)
            std::this_thread::sleep_for(2ms);
        return frame;
    }

    std::filesystem::path configHome;
    LoopbackUdp node;
    uint16_t inputPort = 0;
    std::shared_ptr<Backend> backend;
    Backend::Handle device = nullptr;
};

TEST_F(SacnBackendTest, DataPacketLayersMatchTheStandardFieldByField)
{
    Open("127.0.0.1:258");
    Frame frame{};
    for (std::size_t i = 1; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i);
    const Packet p = WriteAndCapture(frame);
    ASSERT_EQ(p.size(), 638u);
    // Root layer.
    EXPECT_EQ(Get16(p, 0), 0x0010u) << "preamble size";
    EXPECT_EQ(Get16(p, 2), 0x0000u) << "postamble size";
    EXPECT_EQ(std::string(p.begin() + 4, p.begin() + 16), std::string("ASC-E1.17\0\0\0", 12));
    EXPECT_EQ(Get16(p, 16), 0x7000u | 622) << "flags and length";
    EXPECT_EQ(Get32(p, 18), 0x00000004u) << "VECTOR_ROOT_E131_DATA";
    const Cid cid = zentra::detail::InstallationCid(zentra::detail::SacnCidPath());
    EXPECT_TRUE(std::equal(cid.begin(), cid.end(), p.begin() + 22)) << "the installation's CID";
    // Framing layer.
    EXPECT_EQ(Get16(p, 38), 0x7000u | 600);
    EXPECT_EQ(Get32(p, 40), 0x00000002u) << "VECTOR_E131_DATA_PACKET";
    EXPECT_STREQ(reinterpret_cast<const char *>(&p[44]), "OrinSUB");
    EXPECT_TRUE(std::all_of(p.begin() + 52, p.begin() + 108, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(p[108], 100) << "priority";
    EXPECT_EQ(Get16(p, 109), 0u) << "synchronisation address";
    EXPECT_EQ(p[111], 0) << "sequence";
    EXPECT_EQ(p[112], 0) << "options";
    EXPECT_EQ(Get16(p, 113), 258u) << "universe";
    // DMP layer.
    EXPECT_EQ(Get16(p, 115), 0x7000u | 523);
    EXPECT_EQ(p[117], 0x02) << "VECTOR_DMP_SET_PROPERTY";
    EXPECT_EQ(p[118], 0xA1) << "address and data type";
    EXPECT_EQ(Get16(p, 119), 0u) << "first property address";
    EXPECT_EQ(Get16(p, 121), 1u) << "address increment";
    EXPECT_EQ(Get16(p, 123), 513u) << "property value count";
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), p.begin() + 125)) << "start code, slots";

    EXPECT_EQ(WriteAndCapture(frame)[111], 1) << "the sequence counts on";
}

// A backup sends below its main; the priority takes effect on the next frame, within 1..200.
TEST_F(SacnBackendTest, ThePriorityIsTheConsolesAndChangesFromTheNextFrame)
{
    Open("127.0.0.1:1");
    const Frame frame{};
    for (const auto &[set, sent] : {std::pair<int, int>{90, 90}, {0, 1}, {250, 200}, {100, 100}}) {
        zentra::SetSacnPriority(static_cast<uint8_t>(set));
        EXPECT_EQ(WriteAndCapture(frame)[108], sent) << set;
    }
}

TEST_F(SacnBackendTest, CloseEndsTheStreamWithTerminatedPackets)
{
    Open("127.0.0.1:5");
    Frame frame{};
    frame[1] = 77;
    WriteAndCapture(frame);
    backend->Close(device);
    device = nullptr;
    for (int i = 0; i < 3; ++i) {
        const auto p = node.Receive();
        ASSERT_TRUE(p) << "three stream-terminated packets";
        EXPECT_EQ((*p)[112], 0x40);
        EXPECT_EQ((*p)[111], i + 1) << "the sequence goes on through them";
    }
    EXPECT_FALSE(node.Receive(50ms));
}

TEST_F(SacnBackendTest, SourceIdStaysTheSameForTheInstallation)
{
    const auto path = zentra::detail::SacnCidPath();
    EXPECT_EQ(path, configHome / "OrinSUB" / "sacn-cid");
    const Cid first = zentra::detail::InstallationCid(path);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(zentra::detail::InstallationCid(path), first) << "read back, not made anew";
    EXPECT_EQ(first[6] >> 4, 4) << "a version 4 UUID";

    std::ofstream(path) << "not an id\n";
    const Cid replaced = zentra::detail::InstallationCid(path);
    EXPECT_NE(replaced, Cid{});
    EXPECT_EQ(zentra::detail::InstallationCid(path), replaced) << "a broken file is replaced";

    const Cid elsewhere = zentra::detail::InstallationCid(configHome / "other" / "sacn-cid");
    EXPECT_NE(elsewhere, replaced) << "another installation is another source";

    const Cid unwritable = zentra::detail::InstallationCid("/proc/no/such/sacn-cid");
    EXPECT_NE(unwritable, Cid{}) << "an id for this run even when none can be stored";
}

TEST_F(SacnBackendTest, InputUniversePacketsFillTheInputFrame)
{
    Open("127.0.0.1:1/9");
    Frame frame{};
    EXPECT_FALSE(Read(frame)) << "nothing received yet";
    frame = SendUntil({DataPacket(kOtherConsole, 9, 0, {0, 11, 22, 33})}, 11);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 11);
    EXPECT_EQ(frame[3], 33);
    EXPECT_EQ(frame[4], 0) << "slots the packet did not carry are 0";
}

TEST_F(SacnBackendTest, LateMalformedAndForeignPacketsAreIgnored)
{
    Open("127.0.0.1:1/9");
    const Frame before = SendUntil({DataPacket(kOtherConsole, 9, 50, {0, 1, 1})}, 1);
    ASSERT_EQ(before[1], 1);

    const std::vector<uint8_t> levels = {0, 99, 99};
    std::vector<Packet> junk = {
        DataPacket(kOtherConsole, 9, 45, levels),         // late: 5 behind the last one
        DataPacket(kOtherConsole, 9, 50, levels),         // the same sequence again
        DataPacket(kOtherConsole, 10, 51, levels),        // another universe
        DataPacket(kOtherConsole, 9, 51, {0xDD, 99, 99}), // not a level frame
        Packet(100, 0),
        Packet(),
    };
    auto preview = DataPacket(kOtherConsole, 9, 52, levels);
    preview[112] = 0x80;
    auto terminated = DataPacket(kOtherConsole, 9, 52, levels);
    terminated[112] = 0x40;
    auto wrongVector = DataPacket(kOtherConsole, 9, 52, levels);
    wrongVector[21] = 0x08; // extended (synchronisation) packet
    auto overlong = DataPacket(kOtherConsole, 9, 52, levels);
    overlong[124] = 200; // more values than it carries
    auto wrongType = DataPacket(kOtherConsole, 9, 52, levels);
    wrongType[118] = 0xA2;
    auto ownId =
        DataPacket(zentra::detail::InstallationCid(zentra::detail::SacnCidPath()), 9, 52, levels);
    for (auto &packet : {preview, terminated, wrongVector, overlong, wrongType, ownId})
        junk.push_back(packet);
    for (const auto &packet : junk)
        node.SendTo(inputPort, packet);
    std::this_thread::sleep_for(50ms); // loopback is quicker: everything is waiting by now
    Frame after{};
    ASSERT_TRUE(Read(after));
    EXPECT_EQ(after, before) << "none of the packets was taken as input";

    const Frame wrapped = SendUntil({DataPacket(kOtherConsole, 9, 20, {0, 5})}, 5);
    EXPECT_EQ(wrapped[1], 5) << "far behind means the source started over: taken";
}

} // namespace
