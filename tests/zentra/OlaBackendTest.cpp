#include "OlaTestDaemon.h"
#include "ZentraLib.h"
#include "dmx/LinkTick.h"
#include "dmx/MonotonicTimer.h"
#include "zentra/DeviceSelection.h"

#include <gtest/gtest.h>

#include <thread>

// The OLA backend against a private daemon of its own (every network plugin off, its own port).
// Where the daemon cannot run, the tests are skipped with the reason.
namespace {

using namespace std::chrono_literals;
using zentra::testing::OlaTestDaemon;
using zentra::testing::OlaUniverseSender;
using zentra::testing::OlaUniverseWatcher;
using zentra::testing::Slots;
using Frame = std::array<uint8_t, 513>;

constexpr unsigned kOut = 1;
constexpr unsigned kIn = 2;

template <typename Done> bool Eventually(Done done, std::chrono::milliseconds timeout = 5s)
{
    for (auto until = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(2ms)) {
        if (done())
            return true;
    }
    return done();
}

class OlaBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!daemon.Start(why))
            GTEST_SKIP() << "no private OLA daemon here: " << why;
        ASSERT_TRUE(daemon.PluginsSwitchedOn().empty())
            << "a plugin was left on: " << daemon.PluginsSwitchedOn().front();
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

TEST_F(OlaBackendTest, LinkClosesWhenTheDaemonDiesAndReopensWhenItReturns)
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
    EXPECT_EQ(port->GetDeviceId(), "");

    std::string why;
    ASSERT_TRUE(daemon.Start(why)) << why;
    ASSERT_TRUE(Eventually([&] { return port->IsOpen(); }, 10s)) << "reopened by itself";
    OlaUniverseWatcher watcher(daemon.Port(), kOut);
    ASSERT_TRUE(watcher.WaitRegistered(5s));
    port->SetOutputSlot(3, 88);
    EXPECT_TRUE(watcher.WaitFor([](const Slots &s) { return s[2] == 88; }, 5s));
    ShutdownLink(&timer, port);
}

} // namespace
