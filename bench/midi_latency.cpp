// MIDI surface timings (a plain program, run by hand on the Release build:
// build/bin/midi_latency [--moves N] [--period FRAMES] [--idle-seconds N]).
//
// The whole console runs off-screen with its real link timer against the simulated interface; a
// fader box on a private JACK server (dummy driver, FRAMES per cycle at 48 kHz, 128 unless
// told) is the MIDI surface, a motorised generic mapping binding control change 7 on channel 1
// to channel fader A/1, with row A on air. Measured:
//   1. a MIDI message sent by the box until the interface wrote the frame that carries its level;
//   2. a mouse drag on A/1 until the box received its feedback message;
//   3. the console's CPU idle (10 s unless told), without and with the surface connected, the
//      part of it in the threads the surface started, and how many JACK clients it keeps;
//   4. the link tick's write interval over 10 s, without and with the box sending 1,000
//      messages a second.

#include "BenchConsole.h"
#include "JackTestServer.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "controls/Cross1Fader.h"
#include "controls/CrossFader.h"
#include "controls/DanFader.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/midi/MidiSurfaceHost.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace orinsub;
using namespace orinsub::surfaces::midi;
using bench::Clock;
using bench::Milliseconds;
using bench::Serve;
using bench::Spread;
using bench::SpreadOf;
using Bytes = std::vector<uint8_t>;

namespace {

/// This process's threads, by id.
std::set<std::string> Threads()
{
    std::set<std::string> threads;
    for (const QString &tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        threads.insert(tid.toStdString());
    return threads;
}

/// The run time of some of this process's threads, from the scheduler's own count.
double ThreadsCpuMs(const std::set<std::string> &threads)
{
    double ms = 0;
    for (const std::string &tid : threads) {
        QFile stat(QStringLiteral("/proc/self/task/%1/schedstat").arg(QString::fromStdString(tid)));
        if (stat.open(QIODevice::ReadOnly))
            ms += stat.readAll().split(' ').value(0).toDouble() / 1e6;
    }
    return ms;
}

struct IdleCost
{
    double process;  // % of one core
    double threads;  // of which the threads given
    double perCycle; // the threads' µs per JACK cycle the box ran
};

/// CPU of the whole process, and of some of its threads, over seconds of the event loop. A
/// loaded machine makes the server skip cycles: the cost per cycle run compares runs.
IdleCost IdleCpu(int seconds, const testing::JackTestBox &box,
                 const std::set<std::string> &threads = {})
{
    const double before = bench::ProcessCpuMs();
    const double threadsBefore = ThreadsCpuMs(threads);
    const uint64_t cyclesBefore = box.Cycles();
    QTest::qWait(seconds * 1000);
    const double threadsMs = ThreadsCpuMs(threads) - threadsBefore;
    const uint64_t cycles = std::max<uint64_t>(box.Cycles() - cyclesBefore, 1);
    return {(bench::ProcessCpuMs() - before) / (seconds * 10.0), threadsMs / (seconds * 10.0),
            threadsMs * 1000 / static_cast<double>(cycles)};
}

/// The deviation of the interface's write intervals from 20 ms over seconds of the event loop.
Spread TickDeviation(int seconds)
{
    zentra::sim::TakeWriteTimes();
    QTest::qWait(seconds * 1000);
    const auto writes = zentra::sim::TakeWriteTimes();
    std::vector<double> deviations;
    for (size_t i = 1; i < writes.size(); ++i)
        deviations.push_back(std::abs(Milliseconds(writes[i] - writes[i - 1]) - 20.0));
    return SpreadOf(deviations);
}

/// The JACK clients whose names start with the console's, asked of the server.
int ConsoleJackClients()
{
    jack_status_t status;
    jack_client_t *probe = jack_client_open("midi-latency-probe", JackNoStartServer, &status);
    if (!probe)
        return -1;
    std::set<std::string> clients;
    const char **ports = jack_get_ports(probe, "^OrinSUB", nullptr, 0);
    for (const char **port = ports; port && *port; ++port) {
        const std::string name = *port;
        clients.insert(name.substr(0, name.find(':')));
    }
    jack_free(ports);
    jack_client_close(probe);
    return static_cast<int>(clients.size());
}

} // namespace

int main(int argc, char **argv)
{
    const int moves = bench::IntOption(argc, argv, "--moves", 200);
    const int period = bench::IntOption(argc, argv, "--period", 128);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is measured
    bench::BenchConsole console(argc, argv);
    testing::JackTestServer server(period);
    if (!server.Problem().isEmpty()) {
        std::fprintf(stderr, "%s\n", server.Problem().toLocal8Bit().constData());
        return 1;
    }
    app::CMainFrame *started = console.Start();
    if (!started)
        return 1;
    app::CMainFrame &frame = *started;
    views::CMasterConsoleView &master = *frame.GetMasterView();
    master.MoveCrossfaderHandle(0, 255);
    master.MoveCrossfaderHandle(1, 0);

    testing::JackTestBox box;
    MidiSurfaceHost host(frame.GetControlLayer());
    const int idleSeconds = bench::IntOption(argc, argv, "--idle-seconds", 10);
    const IdleCost idleWithout = IdleCpu(idleSeconds, box);
    const std::set<std::string> threadsWithout = Threads();
    const Spread tickWithout = TickDeviation(10);

    MidiMapping mapping;
    mapping.motorised = true;
    mapping.controls = {{MidiMessage::Type::Control, 0, 7, *surfaces::ControlTarget::Parse("A/1")}};
    QString error;
    host.Configure(MidiDeviceName::Parse(QStringLiteral("jack:testbox"), error), mapping);
    if (!host.Port()->IsConnected()) {
        std::fprintf(stderr, "the box was not found\n");
        return 1;
    }
    std::printf("JACK cycle %d frames at 48 kHz (%.2f ms); the console's JACK clients: %d\n",
                period, period / 48.0, ConsoleJackClients());

    // 1. Message to wire, and the part of it until the console fader moved.
    views::CDanConsoleView &dan = *frame.GetDanView();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> toWire;
    std::vector<double> toFader;
    int lostMessages = 0;
    for (int i = 0; i < moves; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        const uint8_t value = i % 2 == 0 ? 100 : 30;
        const int level = LevelFromValue(MidiMessage::Type::Control, value);
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        box.Send({0xB0, 7, value});
        std::optional<Clock::time_point> moved;
        if (!Serve([&] {
                if (!moved && dan.GetFader(0)->GetLevel() == level)
                    moved = Clock::now();
                return zentra::sim::LastWrittenFrame()[1] == level;
            })) {
            ++lostMessages; // in a skipped JACK cycle
            continue;
        }
        // After a lost message the level may have been on the wire before this one was sent.
        const auto writes = zentra::sim::TakeWriteTimes();
        if (writes.empty()) {
            ++lostMessages;
            continue;
        }
        toWire.push_back(Milliseconds(writes.back() - sent));
        if (moved)
            toFader.push_back(Milliseconds(*moved - sent));
    }
    const Spread wire = SpreadOf(toWire);
    const Spread fader = SpreadOf(toFader);
    std::printf("MIDI message to wire over %d messages: median %.2f ms, p99 %.2f ms, largest "
                "%.2f ms; %d lost in skipped JACK cycles; of which until the console fader "
                "moved: median %.2f ms, p99 %.2f ms, largest %.2f ms\n",
                moves, wire.median, wire.p99, wire.largest, lostMessages, fader.median, fader.p99,
                fader.largest);

    // 2. Mouse to feedback.
    QWidget *client = dan.viewport();
    const QPoint grab = dan.GetFader(0)->GetKnobRect().center();
    QTest::mousePress(client, Qt::LeftButton, {}, grab);
    std::vector<double> toSurface;
    int lost = 0;
    box.Received();
    for (int i = 0; i < moves; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        const QPoint to(grab.x(), grab.y() - (i % 2 == 0 ? 60 : 20));
        const Clock::time_point moved = Clock::now();
        QTest::mouseMove(client, to);
        const int value = ValueFromLevel(MidiMessage::Type::Control, dan.GetFader(0)->GetLevel());
        bool arrived = false;
        // A busy machine makes the JACK server skip cycles, and the events of a skipped cycle
        // are gone: counted apart.
        if (!Serve([&] {
                for (const Bytes &m : box.Received())
                    arrived = arrived || m == Bytes{0xB0, 7, static_cast<uint8_t>(value)};
                return arrived;
            })) {
            ++lost;
            continue;
        }
        toSurface.push_back(Milliseconds(Clock::now() - moved));
    }
    QTest::mouseRelease(client, Qt::LeftButton, {}, grab);
    const Spread feedback = SpreadOf(toSurface);
    std::printf("mouse to feedback at the box over %d moves: median %.2f ms, p99 %.2f ms, "
                "largest %.2f ms; %d lost in skipped JACK cycles\n",
                moves, feedback.median, feedback.p99, feedback.largest, lost);

    // 3. Idle.
    std::set<std::string> surfaceThreads;
    for (const std::string &thread : Threads()) {
        if (!threadsWithout.contains(thread))
            surfaceThreads.insert(thread);
    }
    const IdleCost idleWith = IdleCpu(idleSeconds, box, surfaceThreads);
    std::printf("idle CPU of the console over %d s: %.3f %% of a core without the surface, "
                "%.3f %% with it (the box's own JACK client in both); of which the %zu threads "
                "the surface started: %.3f %%, %.1f us per JACK cycle\n",
                idleSeconds, idleWithout.process, idleWith.process, surfaceThreads.size(),
                idleWith.threads, idleWith.perCycle);

    // 4. The tick during a stream.
    std::atomic<bool> streaming = true;
    std::thread stream([&] {
        Clock::time_point next = Clock::now();
        for (int i = 0; streaming; ++i) {
            box.Send({0xB0, 7, static_cast<uint8_t>(i % 128)});
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
    });
    const Spread tickWith = TickDeviation(10);
    streaming = false;
    stream.join();
    std::printf("link tick interval deviation from 20 ms over 10 s: median %.3f / p99 %.3f / "
                "largest %.3f ms quiet; %.3f / %.3f / %.3f ms during 1,000 messages a second\n",
                tickWithout.median, tickWithout.p99, tickWithout.largest, tickWith.median,
                tickWith.p99, tickWith.largest);
    return 0;
}
