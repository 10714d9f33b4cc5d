// OSC on the whole console (a plain program, run by hand on the Release build:
// build-rel/bin/osc_latency [--moves N] [--idle-seconds S] [--flood-seconds F]).
//
// The console runs off-screen with its real link timer and the simulated interface, its OSC
// surface listening on 127.0.0.1, a liblo client on 127.0.0.1 beside it.
// - Idle: CPU of the UI thread and of the whole process over S seconds, first without the OSC
//   surface, then with it and a client that has been heard (and so gets feedback).
// - OSC to wire: the client moves channel 1 of the on-air row N times, each at a random point of
//   the 20 ms tick; the time from sending the message to the interface's write of the first frame
//   whose slot 1 holds the new level.
// - Flood: a second thread sends 10,000 messages a second for F seconds over the 80 channels of
//   row A; meanwhile the longest gap between two turns of a 5 ms UI timer and the deviation of
//   the interface's write intervals from 20 ms.

#include "BenchConsole.h"
#include "BenchOsc.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/osc/OscSurface.h"
#include "zentra/SimulatedInterface.h"

#include <lo/lo.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace orinsub;
using bench::Clock;
using bench::Milliseconds;

namespace {

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// CPU of the UI thread and of the process, in percent of one core, over seconds of event loop.
void MeasureIdle(const char *what, int seconds)
{
    const double thread = CpuSeconds(RUSAGE_THREAD);
    const double process = CpuSeconds(RUSAGE_SELF);
    QTest::qWait(seconds * 1000);
    std::printf("idle %s, %d s: UI thread %.3f %% of a core, whole process %.3f %%\n", what,
                seconds, (CpuSeconds(RUSAGE_THREAD) - thread) * 100.0 / seconds,
                (CpuSeconds(RUSAGE_SELF) - process) * 100.0 / seconds);
}

void SendFloat(lo_address console, const std::string &path, float value)
{
    lo_send(console, path.c_str(), "f", value);
}

} // namespace

int main(int argc, char **argv)
{
    const int moves = bench::IntOption(argc, argv, "--moves", 200);
    const int idleSeconds = bench::IntOption(argc, argv, "--idle-seconds", 10);
    const int floodSeconds = bench::IntOption(argc, argv, "--flood-seconds", 5);
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *frame = console.Start();
    if (!frame)
        return 1;
    surfaces::ControlLayer &layer = frame->GetControlLayer();
    MeasureIdle("without OSC", idleSeconds);

    const bench::BenchOsc opened = bench::OpenBenchOsc(layer);
    if (!opened.surface)
        return 1;
    const std::string &port = opened.port;
    surfaces::osc::OscSurface &osc = *opened.surface;
    const lo_address address = lo_address_new("127.0.0.1", port.c_str());
    SendFloat(address, "/orinsub/xfade/A", 1.0f); // row A on air; the client is known from now
    SendFloat(address, "/orinsub/xfade/B", 0.0f);
    if (!QTest::qWaitFor([&] { return osc.Server().Counters().packets == 2; }, 2000)) {
        std::fprintf(stderr, "the console did not hear the client\n");
        return 1;
    }
    MeasureIdle("with OSC and a client", idleSeconds);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> latencies;
    for (int i = 0; i < moves; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        const int level = i % 2 == 0 ? 204 : 51;
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        SendFloat(address, "/orinsub/A/1", level / 255.0f);
        const std::optional<double> ms = bench::MsUntilOnWire(level, sent);
        if (!ms) {
            std::fprintf(stderr, "move %d: level %d never reached the wire\n", i, level);
            return 1;
        }
        latencies.push_back(*ms);
    }
    const bench::Spread spread = bench::SpreadOf(latencies);
    std::printf("OSC to wire over %zu moves: median %.2f ms, p99 %.2f ms, largest %.2f ms\n",
                latencies.size(), spread.median, spread.p99, spread.largest);

    const uint64_t readBefore =
        osc.Server().Counters().packets + osc.Server().Counters().overflowed;
    const uint64_t sentBefore = osc.Server().Counters().sent;
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const lo_address target = lo_address_new("127.0.0.1", port.c_str());
        auto next = Clock::now();
        for (int i = 0; i < floodSeconds * 10000; ++i) {
            lo_send(target, ("/orinsub/A/" + std::to_string(i % 80 + 1)).c_str(), "i", i % 256);
            if (i % 10 == 9) {
                next += std::chrono::milliseconds(1);
                std::this_thread::sleep_until(next);
            }
        }
        lo_address_free(target);
        flooding = false;
    });
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    double longestGap = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTurn.nsecsElapsed() / 1e6);
        sinceTurn.restart();
    });
    turns.start(5);
    zentra::sim::TakeWriteTimes();
    const double cpuBefore = CpuSeconds(RUSAGE_THREAD);
    const Clock::time_point floodStart = Clock::now();
    while (flooding)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double floodCpu = CpuSeconds(RUSAGE_THREAD) - cpuBefore;
    const double floodTime = std::chrono::duration<double>(Clock::now() - floodStart).count();
    flood.join();
    const uint64_t sent = readBefore + uint64_t(floodSeconds) * 10000;
    const auto &counted = osc.Server().Counters();
    // What still waits in the socket is read, or counted as dropped, before the figures.
    (void)QTest::qWaitFor([&] { return counted.packets + counted.overflowed >= sent; }, 2000);
    const auto writes = zentra::sim::TakeWriteTimes();
    std::vector<double> deviations;
    for (size_t i = 1; i < writes.size(); ++i)
        deviations.push_back(std::abs(Milliseconds(writes[i] - writes[i - 1]) - 20.0));
    std::printf(
        "flood of %d messages in %.1f s: UI thread %.1f %% of a core, longest UI gap %.1f ms;"
        " read %llu datagrams, %llu dropped by the system, %llu moves coalesced; %llu feedback"
        " datagrams sent\n",
        floodSeconds * 10000, floodTime, floodCpu * 100.0 / floodTime, longestGap,
        static_cast<unsigned long long>(counted.packets),
        static_cast<unsigned long long>(counted.overflowed),
        static_cast<unsigned long long>(counted.coalesced),
        static_cast<unsigned long long>(counted.sent - sentBefore));
    if (!deviations.empty()) {
        const bench::Spread flood = bench::SpreadOf(deviations);
        std::printf("write intervals during the flood (%zu): deviation from 20 ms median %.3f ms,"
                    " p99 %.3f ms, largest %.3f ms\n",
                    deviations.size(), flood.median, flood.p99, flood.largest);
    }
    lo_address_free(address);
    return 0;
}
