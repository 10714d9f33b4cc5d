#include "JackBoxTest.h"
#include "surfaces/midi/MidiPort.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub::surfaces::midi;
using orinsub::testing::JackTestBox;
using orinsub::testing::JackTestServer;
using Type = MidiMessage::Type;
using Bytes = std::vector<uint8_t>;

namespace {

/// The console's port opened on "jack:TestBox", and the box, on a private server.
class MidiPortJack : public orinsub::testing::JackBoxTest<::testing::Test>
{
protected:
    void SetUp() override
    {
        JackBoxTest::SetUp();
        if (IsSkipped())
            return;
        port = std::make_unique<MidiPort>(
            MidiDeviceName{MidiDeviceName::Backend::Jack, QStringLiteral("TestBox")});
        port->SetReceiver([this](const MidiMessage &m) { received.push_back(m); });
    }
    /// Whether the port connects to the box within a few looks (and the connection carries).
    bool Connects()
    {
        if (!QTest::qWaitFor([&] { return port->IsConnected(); }, 3 * MidiPort::kLookIntervalMs))
            return false;
        JackTestServer::LetConnectionsSettle();
        return true;
    }

    std::unique_ptr<MidiPort> port;
    std::vector<MidiMessage> received;
};

} // namespace

// The surface's port is found by part of its name, its messages reach the UI thread, feedback
// reaches the box; unplugged, the status says so and the console reconnects by itself on replug.
TEST_F(MidiPortJack, ReceivesSendsAndReconnectsAfterUnplug)
{
    ASSERT_TRUE(Connects());
    EXPECT_EQ(port->StatusText(), QStringLiteral("MIDI : TestBox"));

    box->Send({0xB0, 7, 100});
    box->Send({0xF0, 1, 2, 0xF7}); // system-exclusive: ignored
    box->Send({0x90, 60, 127});
    box->Send({0xF0, 1, 2, 0xF7, 0xB0, 8, 1}); // what follows it in one event counts
    // A box late in a cycle (a loaded machine) has its events read again: order is what counts.
    const std::vector<MidiMessage> wanted = {
        {Type::Control, 0, 7, 100}, {Type::Note, 0, 60, 127}, {Type::Control, 0, 8, 1}};
    EXPECT_TRUE(QTest::qWaitFor([&] {
        auto next = wanted.begin();
        for (const MidiMessage &m : received)
            next += next != wanted.end() && m == *next;
        return next == wanted.end();
    }));

    port->Send({Type::PitchBend, 8, 0, 0x1234});
    std::vector<Bytes> feedback;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (auto &m : box->Received())
            feedback.push_back(m);
        return !feedback.empty();
    }));
    EXPECT_EQ(feedback.front(), (Bytes{0xE8, 0x34, 0x24}));

    box.reset();
    port->LookForSurface();
    EXPECT_FALSE(port->IsConnected());
    EXPECT_EQ(port->StatusText(), QStringLiteral("MIDI : 装置なし"));
    port->Send({Type::Note, 0, 1, 127}); // goes nowhere, harms nothing

    box = std::make_unique<JackTestBox>();
    ASSERT_TRUE(Connects());
    received.clear();
    box->Send({0xE0, 0x7F, 0x7F});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received.front(), (MidiMessage{Type::PitchBend, 0, 0, 16383}));
}

// A server that stops is noticed at once and named; once it runs again the box is found again.
TEST_F(MidiPortJack, FindsTheBoxAgainAfterTheServerRestarts)
{
    ASSERT_TRUE(Connects());

    server->Stop();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !port->IsConnected(); }, 3 * MidiPort::kLookIntervalMs));
    EXPECT_EQ(port->StatusText(), QStringLiteral("MIDI : JACK 停止中"));

    server->Start();
    ASSERT_TRUE(server->Problem().isEmpty()) << server->Problem().toStdString();
    const auto deadBox = std::move(box); // died with the server
    box = std::make_unique<JackTestBox>();
    ASSERT_TRUE(Connects());
    box->Send({0xB0, 7, 5});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received.back(), (MidiMessage{Type::Control, 0, 7, 5}));
}
