#include "Backends.h"
#include "UsbProFraming.h"
#include "dmx/LinkTick.h"
#include "support/Eventually.h"
#include "zentra/DeviceSelection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using orinsub::testing::Eventually;
using zentra::Backend;
namespace usbpro = zentra::detail::usbpro;
using Frame = std::array<uint8_t, 513>;
using Bytes = std::vector<uint8_t>;

Bytes Message(uint8_t label, const Bytes &data)
{
    Bytes message(data.size() + usbpro::kFraming);
    usbpro::Frame(label, data, message);
    return message;
}

// A received-frame message: status byte 0, start code 0, then the slots.
Bytes Received(const Bytes &levels, uint8_t status = 0)
{
    Bytes data = {status, 0};
    data.insert(data.end(), levels.begin(), levels.end());
    return Message(usbpro::kLabelReceivedDmx, data);
}

// A widget on the controlling side of a pseudo-terminal; the backend opens the terminal side.
class PtyWidget
{
public:
    PtyWidget()
    {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0)
            path = ptsname(fd);
    }
    ~PtyWidget() { Unplug(); }
    PtyWidget(const PtyWidget &) = delete;
    PtyWidget &operator=(const PtyWidget &) = delete;

    /// The terminal side goes away with its controller, as a widget with its cable.
    void Unplug()
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }

    // The next message the backend sent, parsed with the same framing rules.
    std::optional<std::pair<uint8_t, Bytes>> NextMessage(std::chrono::milliseconds wait = 2000ms)
    {
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            uint8_t label = 0;
            std::span<const uint8_t> data;
            if (fromBackend.Next(label, data))
                return std::make_pair(label, Bytes(data.begin(), data.end()));
            pollfd ready{fd, POLLIN, 0};
            if (std::chrono::steady_clock::now() >= until || poll(&ready, 1, 10) < 0)
                return std::nullopt;
            const auto space = fromBackend.Space();
            const ssize_t got = read(fd, space.data(), space.size());
            if (got > 0)
                fromBackend.Added(static_cast<std::size_t>(got));
        }
    }

    int fd = -1;
    std::string path; // empty when no pseudo-terminal could be made
    usbpro::Reader fromBackend;
};

// The backend on a widget's terminal, opened as the link opens it.
class UsbProBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.path.empty());
        std::string error;
        backend = zentra::detail::MakeUsbPro(pty.path, true, error);
        ASSERT_TRUE(backend) << error;
        const auto ids = backend->EnumerateIds();
        ASSERT_EQ(ids.size(), 1u);
        device = backend->Open(ids[0]);
        ASSERT_NE(device, nullptr);
        const auto first = NextMessage();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->first, usbpro::kLabelReceiveMode);
        EXPECT_EQ(first->second, Bytes{0}) << "asks for every received frame";
    }
    void TearDown() override
    {
        if (device)
            backend->Close(device);
    }

    std::optional<std::pair<uint8_t, Bytes>> NextMessage(std::chrono::milliseconds wait = 2000ms)
    {
        return pty.NextMessage(wait);
    }

    void Send(const Bytes &bytes)
    {
        ASSERT_EQ(write(pty.fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    bool Read(Frame &frame) { return backend->Read(device, frame, 10ms); }

    // Reads until slot 1 shows marker (the widget's bytes take a moment through the terminal).
    Frame ReadUntil(uint8_t marker)
    {
        Frame frame{};
        Eventually([&] { return Read(frame) && frame[1] == marker; });
        return frame;
    }

    PtyWidget pty;
    std::shared_ptr<Backend> backend;
    Backend::Handle device = nullptr;
};

TEST_F(UsbProBackendTest, FramesGoOutAsSendDmxMessages)
{
    Frame frame{};
    for (std::size_t i = 1; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(255 - i);
    ASSERT_TRUE(backend->Write(device, frame, 500ms));
    const auto message = NextMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->first, usbpro::kLabelSendDmx);
    EXPECT_EQ(message->second, Bytes(frame.begin(), frame.end())) << "start code and 512 slots";

    const uint8_t tiny[3] = {0, 7, 8};
    ASSERT_TRUE(backend->Write(device, tiny, 500ms));
    const auto padded = NextMessage();
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->second.size(), 25u) << "no shorter packet than the widget sends";
    EXPECT_EQ(padded->second[2], 8);
}

TEST_F(UsbProBackendTest, WholeMessageBytesOnTheWire)
{
    const Frame frame{};
    ASSERT_TRUE(backend->Write(device, frame, 500ms));
    Bytes wire(513 + 5);
    std::size_t got = 0;
    Eventually([&] {
        const ssize_t n = read(pty.fd, wire.data() + got, wire.size() - got);
        got += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
        return got == wire.size();
    });
    // After the receive-mode message of the set-up, which the fixture's reader may have left.
    ASSERT_EQ(got, wire.size());
    EXPECT_EQ(wire[0], 0x7E);
    EXPECT_EQ(wire[1], 6);
    EXPECT_EQ(wire[2], 0x01) << "length 513, low byte first";
    EXPECT_EQ(wire[3], 0x02);
    EXPECT_EQ(wire[517], 0xE7);
}

TEST_F(UsbProBackendTest, ReceivedFramesFillTheInputFrame)
{
    Frame frame{};
    frame.fill(0xEE);
    EXPECT_FALSE(Read(frame)) << "nothing received yet";
    EXPECT_EQ(frame[1], 0xEE);
    Send(Received({10, 20, 30}));
    frame = ReadUntil(10);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[3], 30);
    EXPECT_EQ(frame[4], 0) << "slots the widget did not report are 0";
    Bytes full(512);
    for (std::size_t i = 0; i < full.size(); ++i)
        full[i] = static_cast<uint8_t>(i + 1);
    Send(Received(full));
    frame = ReadUntil(1);
    EXPECT_TRUE(std::equal(full.begin(), full.end(), frame.begin() + 1));
}

TEST_F(UsbProBackendTest, TornAndGarbledStreamResynchronises)
{
    Bytes stream = {0x00, 0xE7, 0x42}; // noise
    stream.push_back(0x7E);            // a start byte in the noise
    const Bytes badEnd = Received({99, 99});
    stream.insert(stream.end(), badEnd.begin(), badEnd.end() - 1);
    stream.push_back(0x00);                               // ...whose end byte is wrong
    const Bytes hugeLength = {0x7E, 5, 0xFF, 0xFF, 1, 2}; // length beyond any message
    stream.insert(stream.end(), hugeLength.begin(), hugeLength.end());
    const Bytes faulty = Received({98}, 0x02); // the widget says: overrun
    stream.insert(stream.end(), faulty.begin(), faulty.end());
    const Bytes otherLabel = Message(10, {1, 2, 3});
    stream.insert(stream.end(), otherLabel.begin(), otherLabel.end());
    const Bytes good = Received({42, 43});
    stream.insert(stream.end(), good.begin(), good.end());

    // One byte at a time, read in between: every message is torn somewhere.
    Frame frame{};
    for (uint8_t byte : stream) {
        Send({byte});
        std::this_thread::sleep_for(1ms); // through the terminal before the read
        Read(frame);
    }
    frame = ReadUntil(42);
    EXPECT_EQ(frame[1], 42);
    EXPECT_EQ(frame[2], 43);
    EXPECT_EQ(frame[3], 0);
}

TEST(UsbProReaderTest, RandomNoiseNeverHidesTheMessagesInIt)
{
    std::mt19937 random(7);
    usbpro::Reader reader;
    const Bytes good = Received({1, 2, 3, 4});
    int found = 0;
    int planted = 0;
    for (int round = 0; round < 2000; ++round) {
        Bytes chunk(random() % 64);
        for (auto &byte : chunk)
            byte = static_cast<uint8_t>(random() % 4 == 0 ? 0x7E : random());
        if (round % 10 == 0) {
            // Noise may run into a planted message only by a start byte with a fitting length;
            // an end byte before it seals the noise off.
            chunk.push_back(0xE7);
            chunk.insert(chunk.end(), good.begin(), good.end());
            ++planted;
        }
        for (std::size_t at = 0; at < chunk.size();) {
            const auto space = reader.Space();
            ASSERT_FALSE(space.empty());
            const std::size_t n = std::min(space.size(), chunk.size() - at);
            std::copy_n(chunk.begin() + at, n, space.begin());
            reader.Added(n);
            at += n;
            uint8_t label;
            std::span<const uint8_t> data;
            while (reader.Next(label, data)) {
                ASSERT_LE(data.size(), usbpro::kMaxData);
                if (label == usbpro::kLabelReceivedDmx &&
                    Bytes(data.begin(), data.end()) == Bytes{0, 0, 1, 2, 3, 4})
                    ++found;
            }
        }
    }
    EXPECT_GE(found, planted * 9 / 10) << "noise swallows a message only by a rare accident";
}

TEST_F(UsbProBackendTest, StalledWidgetFailsWritesWithoutTearingTheStream)
{
    // The widget stops taking bytes: the terminal's queue fills and writes must fail in bounded
    // time, not hang the link.
    Frame frame{};
    frame[1] = 1;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000 && failed == 0; ++i)
        failed += backend->Write(device, frame, 500ms) ? 0 : 1;
    ASSERT_EQ(failed, 1) << "the queue filled up";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_FALSE(backend->Write(device, frame, 500ms)) << "still stalled";

    // The widget drains: the next write first finishes the torn message, and every message on
    // the wire is whole.
    int messages = 0;
    while (NextMessage(100ms))
        ++messages;
    frame[1] = 2;
    ASSERT_TRUE(backend->Write(device, frame, 500ms));
    std::optional<std::pair<uint8_t, Bytes>> last;
    while (auto message = NextMessage(200ms)) {
        last = message;
        ++messages;
    }
    ASSERT_TRUE(last);
    EXPECT_EQ(last->second[1], 2) << "the newest frame came out whole after the stall";
    EXPECT_GT(messages, 1);
}

TEST_F(UsbProBackendTest, UnpluggedWidgetFailsAndIsNoLongerListed)
{
    Send(Received({5}));
    ReadUntil(5);
    pty.Unplug();
    const Frame frame{};
    EXPECT_FALSE(backend->Write(device, frame, 500ms));
    backend->Close(device);
    device = nullptr;
    EXPECT_TRUE(backend->EnumerateIds().empty());
    EXPECT_EQ(backend->Open(u"USB Pro 0"), nullptr);
}

// The console's link on a widget that is unplugged and plugged in again, as udev shows one: a
// device path that vanishes and comes back, here a link to a new pseudo-terminal.
TEST(UsbProLinkTest, UnpluggedWidgetIsToldAndGetsTheStageWhenPluggedInAgain)
{
    using namespace orinsub::dmx;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orinsub-widget-" + std::to_string(getpid()));
    std::string error;
    ASSERT_TRUE(zentra::SelectDevice("usbpro:" + path.string(), error)) << error;
    auto port = std::make_unique<COrinZentra>();
    const auto lookLater = [&] {
        return port->GetOutputHealth().Look(OutputHealth::Clock::now() + kOutputLostAfter + 1ms);
    };
    // The level of slot 3 in the next SendDmx message the widget gets, ticking meanwhile.
    const auto slot3 = [&](PtyWidget &widget) -> int {
        for (int i = 0; i < 50; ++i) {
            LinkTick(*port);
            while (const auto message = widget.NextMessage(5ms)) {
                if (message->first == usbpro::kLabelSendDmx)
                    return message->second.at(3);
            }
        }
        return -1;
    };

    auto widget = std::make_unique<PtyWidget>();
    std::filesystem::create_symlink(widget->path, path);
    port->SetOutputSlot(3, 77);
    EXPECT_EQ(slot3(*widget), 77);

    widget->Unplug();
    std::filesystem::remove(path);
    for (int i = 0; i < 12; ++i)
        LinkTick(*port);
    EXPECT_FALSE(port->IsOpen()) << "eleven failed writes closed it";
    EXPECT_TRUE(lookLater().lost);
    EXPECT_EQ(lookLater().fault, OutputFault::NoDevice);

    widget = std::make_unique<PtyWidget>();
    std::filesystem::create_symlink(widget->path, path);
    EXPECT_EQ(slot3(*widget), 77) << "the stage comes back without a touch on the desk";
    EXPECT_FALSE(lookLater().lost);

    ShutdownLink(nullptr, port);
    std::filesystem::remove(path);
    zentra::SelectDevice("sim", error);
}

} // namespace
