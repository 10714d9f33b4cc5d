#pragma once

#include "XvfbConsole.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "support/OwnLoopback.h"
#include "zentra/LoopbackUdp.h"

#include <QDeadlineTimer>
#include <lo/lo.h>
#include <memory>
#include <string>
#include <vector>

namespace orinsub::testing {

using zentra::testing::LoopbackUdp;

inline constexpr uint16_t kArtNetPort = 6454;

/// Binds 127.0.0.1:port, waiting up to 30 s: another program on this machine may hold it a while.
inline std::unique_ptr<LoopbackUdp> BindWhenFree(uint16_t port)
{
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        try {
            return std::make_unique<LoopbackUdp>(port);
        } catch (const std::runtime_error &) {
            QTest::qWait(500);
        }
    }
    return nullptr;
}

/// Whether something holds 127.0.0.1:port.
inline bool IsTaken(uint16_t port)
{
    try {
        LoopbackUdp probe(port);
        return false;
    } catch (const std::runtime_error &) {
        return true;
    }
}

/// A show of three cues: 1 snaps channel 1 to full, 2 fades channel 2 to 250 in 4 s, 3 snaps
/// channel 3 to 100.
inline bool SaveThreeCueShow(const QString &path)
{
    model::COrinSUBDoc doc;
    const auto cue = [](int number, int channel, int level, int tenths) {
        model::Cue c;
        c.number = number;
        c.look[channel - 1] = static_cast<uint8_t>(level);
        c.upTime = c.downTime = tenths;
        return c;
    };
    return doc.m_extension.cues.Add(cue(10, 1, 255, 0)).IsOk() &&
           doc.m_extension.cues.Add(cue(20, 2, 250, 40)).IsOk() &&
           doc.m_extension.cues.Add(cue(30, 3, 100, 0)).IsOk() &&
           model::SaveShowFile(doc, path).IsOk();
}

/// The console's frames as they arrive on Art-Net's port: the 512 slots of each.
class ArtNetFrames
{
public:
    static constexpr size_t kArtDmxData = 18; // where the slots begin in an ArtDmx packet
    static constexpr size_t kSlots = 512;

    explicit ArtNetFrames(LoopbackUdp &socket) : m_socket(socket) {}
    /// The next frame within the timeout; empty when none came.
    std::vector<uint8_t> Next(std::chrono::milliseconds timeout = std::chrono::seconds(2))
    {
        const auto packet = m_socket.Receive(timeout);
        if (!packet || packet->size() < kArtDmxData + kSlots)
            return {};
        return {packet->begin() + kArtDmxData, packet->begin() + kArtDmxData + kSlots};
    }
    /// Throws away the frames that wait; the last of them, or empty.
    std::vector<uint8_t> Drain()
    {
        std::vector<uint8_t> last;
        for (auto frame = Next({}); !frame.empty(); frame = Next({}))
            last = frame;
        return last;
    }
    /// Reads frames until one satisfies done (or 30 s pass: a sanitised console on a busy
    /// machine); that frame, or empty.
    template <typename Done> std::vector<uint8_t> WaitFor(Done done)
    {
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const auto frame = Next();
            if (!frame.empty() && done(frame))
                return frame;
        }
        return {};
    }

private:
    LoopbackUdp &m_socket;
};

/// The real console on a private X server sending Art-Net to 127.0.0.1 and played over OSC,
/// in a network namespace of the test's own when it may make one, so that Art-Net's fixed port
/// is free whatever else runs on the machine.
class ArtNetConsoleTest : public XvfbConsoleTest
{
protected:
    void SetUp() override
    {
        m_ownLoopback = OwnLoopback(); // the X server and the console live in it too
        XvfbConsoleTest::SetUp();
    }
    /// The frames on 127.0.0.1:6454, or a failure when the port stayed taken.
    std::unique_ptr<LoopbackUdp> BindArtNet()
    {
        std::unique_ptr<LoopbackUdp> socket = BindWhenFree(kArtNetPort);
        EXPECT_TRUE(socket) << "127.0.0.1:6454 stayed taken"
                            << (m_ownLoopback ? "" : " (no network namespace of the test's own)");
        return socket;
    }
    /// Starts the console on Art-Net and OSC (a free port) with these arguments, and waits
    /// until it listens for OSC.
    void StartPlayedConsole(const QStringList &arguments)
    {
        m_oscPort = LoopbackUdp::FreePort();
        StartConsole(QStringList{"--dmx", "artnet:127.0.0.1", "--osc", QString::number(m_oscPort)} +
                     arguments);
        ASSERT_TRUE(QTest::qWaitFor([&] { return IsTaken(m_oscPort); }, 20000));
    }
    /// Sends an int to a target of the console's OSC surface (127.0.0.1).
    void Osc(const char *target, int value = 1)
    {
        lo_address console = lo_address_new("127.0.0.1", std::to_string(m_oscPort).c_str());
        const std::string path = std::string("/orinsub/") + target;
        EXPECT_GE(lo_send(console, path.c_str(), "i", value), 0) << path;
        lo_address_free(console);
    }

    uint16_t m_oscPort = 0;
    bool m_ownLoopback = false;
};

} // namespace orinsub::testing
