#include "surfaces/midi/MidiPort.h"
#include "FakeMidiSystem.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

using namespace orinsub::surfaces::midi;
using orinsub::testing::FakeMidiSystem;
using Type = MidiMessage::Type;
using Bytes = std::vector<uint8_t>;

namespace {

/// The console's port on a box named "box" of a fake JACK server.
class MidiPortTest : public ::testing::Test
{
protected:
    MidiPortTest()
    {
        port.SetReceiver([this](const MidiMessage &m) { received.push_back(m); });
    }
    /// Lets the event loop run what the system woke: its wake is waiting by then.
    static void Settle() { QCoreApplication::processEvents(); }

    FakeMidiSystem system;
    MidiPort port{{MidiDeviceName::Backend::Jack, QStringLiteral("box")}, system.Factory()};
    QSignalSpy connection{&port, &MidiPort::ConnectionChanged};
    QSignalSpy feedback{&port, &MidiPort::FeedbackOpened};
    std::vector<MidiMessage> received;
};

} // namespace

// The box's ports may appear in either order; each is connected as it appears, and the
// receiving port coming second is reported so the box gets told everything.
TEST_F(MidiPortTest, ConnectsEachPortAsItAppearsAndLetsTheBoxGo)
{
    EXPECT_FALSE(port.IsConnected());
    EXPECT_EQ(port.StatusText(), QStringLiteral("MIDI : 装置なし"));

    system.Plug(QStringLiteral("Box:faders"));
    Settle(); // the server's notice, not the one-second look
    ASSERT_TRUE(port.IsConnected());
    EXPECT_FALSE(port.HasFeedback());
    EXPECT_EQ(port.StatusText(), QStringLiteral("MIDI : box"));
    system.Send({0xB0, 7, 100});
    Settle();
    EXPECT_EQ(received, (std::vector<MidiMessage>{{Type::Control, 0, 7, 100}}));

    system.Plug({}, QStringLiteral("Box:lamps"));
    Settle();
    EXPECT_EQ(feedback.count(), 1);
    port.Send({Type::FineControl, 0, 1, 0x1234});
    EXPECT_EQ(system.Received(), (std::vector<Bytes>{{0xB0, 1, 0x24}, {0xB0, 33, 0x34}}));

    system.Unplug();
    Settle();
    EXPECT_FALSE(port.IsConnected());
    EXPECT_EQ(port.StatusText(), QStringLiteral("MIDI : 装置なし"));
    EXPECT_EQ(connection.count(), 2);
    EXPECT_EQ(connection.at(1).at(0).toBool(), false);
}

// Messages posted on the system's own thread reach the receiver on the UI thread: every press,
// and the fader's last value.
TEST_F(MidiPortTest, MessagesFromTheSystemsThreadReachTheUiThread)
{
    system.Plug(QStringLiteral("box:faders"));
    Settle();
    const auto send = system.Sender();
    constexpr int kMoves = 5000;
    std::thread box([&] {
        for (int i = 0; i < kMoves; ++i) {
            send({0xB0, 7, static_cast<uint8_t>(1 + i % 127)});
            if (i % 50 == 0)
                send({0x90, 60, 127});
            if (i % 500 == 0) // now and then the UI thread catches up
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // A move merges into the fader's move still waiting, ahead of a press that came between.
    const auto lastMove = [&] {
        const auto last =
            std::find_if(received.rbegin(), received.rend(),
                         [](const MidiMessage &m) { return m.type == Type::Control; });
        return last == received.rend() ? -1 : last->value;
    };
    const auto presses = [&] {
        return std::count_if(received.begin(), received.end(),
                             [](const MidiMessage &m) { return m.type == Type::Note; });
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return presses() == kMoves / 50 && lastMove() == 1 + (kMoves - 1) % 127; }));
    box.join();
}
