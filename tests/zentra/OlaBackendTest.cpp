#include "Backends.h"
#include "OlaTestDaemon.h"
#include "ZentraLib.h"
#include "dmx/LinkTick.h"
#include "dmx/MonotonicTimer.h"
#include "support/Eventually.h"
#include "zentra/DeviceSelection.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The OLA backend against a private daemon of its own (every network plugin off, its own port).
// Where the daemon cannot run, the tests are skipped with the reason.
namespace {

using namespace std::chrono_literals;
using orinsub::testing::Eventually;
using zentra::testing::OlaTestDaemon;
using zentra::testing::OlaUniverseSender;
using zentra::testing::OlaUniverseWatcher;
using zentra::testing::Slots;
using Frame = std::array<uint8_t, 513>;

constexpr unsigned kOut = 1;
constexpr unsigned kIn = 2;

class OlaBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!OlaTestDaemon::CanRunHere(why))
            GTEST_SKIP() << "no private OLA daemon here: " << why;
        ASSERT_TRUE(daemon.Start(why)) << why;
        const std::vector<std::string> on = daemon.PluginsSwitchedOn();
        ASSERT_TRUE(on.empty()) << "a plugin was left on: " << on.front();
        std::string error;
        ASSERT_TRUE(zentra::SelectDevice(Device(), error)) << error;
    }
    void TearDown() override
    {
        if (device)
            Zentra_Close(device);
        std::string error;
        zentra::SelectDevice("sim", error);
    }

    std::string Device() const
    {
        return "ola:" + std::to_string(kOut) + "/" + std::to_string(kIn) + "@" +
               std::to_string(daemon.Port());
    }

    ZENTRA_HANDLE OpenDevice()
    {
        const auto ids = zentra::ListDevices();
        EXPECT_EQ(ids, std::vector<std::u16string>{u"OLA 1/2"});
        return ids.empty() ? nullptr : Zentra_OpenIDW(ids[0].c_str());
    }

    OlaTestDaemon daemon;
    ZENTRA_HANDLE device = nullptr;
};

TEST_F(OlaBackendTest, WrittenFramesArriveInTheOutputUniverse)
{
    // Frames to a universe that nobody holds vanish: the watcher holds it first.
    OlaUniverseWatcher watcher(daemon.Port(), kOut);
    ASSERT_TRUE(watcher.WaitRegistered(5s));
    device = OpenDevice();
    ASSERT_NE(device, nullptr);
    Frame frame{};
    for (std::size_t i = 1; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 5);
    ASSERT_NE(Zentra_Write(device, frame.data(), 513, 500), 0);
    EXPECT_TRUE(watcher.WaitFor(
        [&](const Slots &got) { return std::equal(got.begin(), got.end(), frame.begin() + 1); },
        5s));
}

TEST_F(OlaBackendTest, FramesSentToTheInputUniverseAreRead)
{
    device = OpenDevice();
    ASSERT_NE(device, nullptr);
    Frame frame{};
    frame.fill(0xEE);
    EXPECT_EQ(Zentra_Read(device, frame.data(), 513, 10), 0) << "nothing came in yet";
    EXPECT_EQ(frame[1], 0xEE);

    OlaUniverseSender sender(daemon.Port());
    ASSERT_TRUE(sender.Connected());
    Slots levels{};
    levels[0] = 12;
    levels[511] = 34;
    // The backend's client registers on its own thread: send until it has the universe.
    EXPECT_TRUE(Eventually([&] {
        sender.Send(kIn, levels);
        return Zentra_Read(device, frame.data(), 513, 10) != 0 && frame[1] == 12;
    }));
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[512], 34);
    EXPECT_EQ(frame[2], 0);
}

TEST_F(OlaBackendTest, InputEndsWithItsDaemon)
{
    device = OpenDevice();
    ASSERT_NE(device, nullptr);
    OlaUniverseSender sender(daemon.Port());
    Slots levels{};
    Frame frame{};
    ASSERT_TRUE(Eventually([&] {
        sender.Send(kIn, levels);
        return Zentra_Read(device, frame.data(), 513, 10) != 0;
    }));

    daemon.Kill();
    // The input client's loop ends by itself; one that stayed would spin on the dead socket.
    EXPECT_TRUE(Eventually([&] { return Zentra_Read(device, frame.data(), 513, 10) == 0; }))
        << "the last frame from a daemon that is gone reads as if it still came in";
}

TEST_F(OlaBackendTest, WithoutDaemonNothingOpensAndNoDaemonIsStarted)
{
    daemon.Stop();
    const bool defaultPortWasFree = !zentra::testing::Listening(9010);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(OpenDevice(), nullptr);
    EXPECT_FALSE(zentra::testing::Listening(daemon.Port()));
    if (defaultPortWasFree) {
        EXPECT_FALSE(zentra::testing::Listening(9010)) << "a client started a daemon";
    }
}

TEST_F(OlaBackendTest, LostDaemonIsToldAndTheStageGoesOutAgainWhenItReturns)
{
    using namespace orinsub::dmx;
    auto port = std::make_unique<COrinZentra>();
    MonotonicTimer timer;
    ASSERT_TRUE(StartLinkTick(timer, *port));
    ASSERT_TRUE(Eventually([&] { return port->IsOpen(); }));
    EXPECT_EQ(port->GetDeviceId(), "OLA 1/2");

    {
        OlaUniverseWatcher watcher(daemon.Port(), kOut);
        ASSERT_TRUE(watcher.WaitRegistered(5s));
        port->SetOutputSlot(3, 77);
        EXPECT_TRUE(watcher.WaitFor([](const Slots &s) { return s[2] == 77; }, 5s));

        OlaUniverseSender sender(daemon.Port());
        Slots in{};
        in[4] = 200;
        EXPECT_TRUE(Eventually([&] {
            sender.Send(kIn, in);
            return port->GetInputSlot(5) == 200 && port->GetReadFailures() == 0;
        })) << "the input reaches the port's input frame";

        daemon.Kill();
    }
    EXPECT_TRUE(Eventually([&] { return !port->IsOpen(); }))
        << "eleven failed writes close the device";
    EXPECT_TRUE(Eventually([&] { return port->GetOutputHealth().Look().lost; }));
    const OutputHealth::Reading lost = port->GetOutputHealth().Look();
    EXPECT_NE(lost.fault, OutputFault::NoDevice) << "the universe is there, the daemon is not";
    EXPECT_EQ(lost.deviceId, "OLA 1/2");

    std::string why;
    ASSERT_TRUE(daemon.Start(why)) << why;
    OlaUniverseWatcher watcher(daemon.Port(), kOut);
    ASSERT_TRUE(watcher.WaitRegistered(5s));
    EXPECT_TRUE(watcher.WaitFor([](const Slots &s) { return s[2] == 77; }, 5s))
        << "reopened by itself, the stage goes out again without a touch on the desk";
    EXPECT_FALSE(port->GetOutputHealth().Look().lost);
    ShutdownLink(&timer, port);
}

// A "daemon" that takes the connection and then never reads, as a hung one would: once the
// socket's buffers are full, sends block in the client library.
class StalledDaemon
{
public:
    StalledDaemon()
    {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 4096;
        setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_listener, 4);
        socklen_t size = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~StalledDaemon()
    {
        Disconnect();
        close(m_listener);
    }
    uint16_t Port() const { return m_port; }
    /// Takes the connection waiting, if there is one.
    void Accept() { m_connection = accept(m_listener, nullptr, nullptr); }
    /// Ends the connection, as a daemon that finally dies.
    void Disconnect()
    {
        if (m_connection >= 0)
            close(m_connection);
        m_connection = -1;
    }

private:
    int m_listener = -1;
    int m_connection = -1;
    uint16_t m_port = 0;
};

TEST(OlaStalledDaemonTest, HungDaemonNeverHoldsTheLinkForLong)
{
    StalledDaemon daemon;
    std::string error;
    auto backend = zentra::detail::MakeOla("1@" + std::to_string(daemon.Port()), true, error);
    ASSERT_TRUE(backend) << error;
    zentra::Backend::Handle device = backend->Open(u"OLA 1");
    ASSERT_NE(device, nullptr);
    daemon.Accept();

    // Writes go into the socket's buffers until they are full; from then on each write fails
    // within its wait, whether the client library blocks or gives up.
    const Frame frame{};
    auto longest = std::chrono::steady_clock::duration::zero();
    int failed = 0;
    for (int i = 0; i < 100000 && failed < 11; ++i) {
        const auto start = std::chrono::steady_clock::now();
        failed = backend->Write(device, frame, 500ms) ? 0 : failed + 1;
        longest = std::max(longest, std::chrono::steady_clock::now() - start);
    }
    EXPECT_EQ(failed, 11) << "the buffers filled and the writes failed";
    EXPECT_LT(longest, 1s) << "no write waited anywhere near as long as the daemon hangs";

    const auto closing = std::chrono::steady_clock::now();
    backend->Close(device);
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 2s) << "the close does not wait for it";

    daemon.Disconnect(); // a client still stuck gives up; the daemon taking connections is usable
    zentra::Backend::Handle again = nullptr;
    EXPECT_TRUE(Eventually([&] { return (again = backend->Open(u"OLA 1")) != nullptr; }));
    if (again)
        backend->Close(again);
}

} // namespace
