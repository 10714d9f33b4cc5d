// Cue playback: GO to wire with the crossfader handed to the cue list, and the UI thread's CPU
// while a cue fade runs (a plain program, run by hand on the Release build:
// build-rel/bin/cue_latency [--goes N] [--fade-seconds S]).
//
// The whole console runs off-screen with its real link timer and the cue list playing. GO to
// wire: N snap cues (0 s) whose looks take channel 1 alternately to 100 and 200; each GO comes at
// a random point of the 20 ms tick (and past GO's 0.5 s bounce), and counts from the GO command
// to the interface's write of the first frame whose slot 1 holds the cue's level. The GO loads
// the look into the off-air row first, so the load is inside the figure. CPU: one cue fading all
// 80 channels over S seconds (up and down), the UI thread's CPU time per 20 ms frame, against the
// same time with the desk at rest.

#include "BenchConsole.h"
#include "app/AppResources.h"
#include "model/OrinSUBDoc.h"
#include "views/CuePlayback.h"
#include "views/GoFade.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <thread>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

namespace {

/// The UI thread's CPU over seconds of the event loop, in milliseconds.
double CpuOverSeconds(double seconds)
{
    const double before = bench::ThreadCpuMs();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return bench::ThreadCpuMs() - before;
}

model::Cue SnapCue(int number, uint8_t level)
{
    model::Cue cue;
    cue.number = number;
    cue.look[0] = level;
    cue.upTime = cue.downTime = 0;
    return cue;
}

} // namespace

int main(int argc, char **argv)
{
    const int goes = std::clamp(bench::IntOption(argc, argv, "--goes", 100), 1, 998);
    const int fadeSeconds = std::clamp(bench::IntOption(argc, argv, "--fade-seconds", 10), 1, 25);
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *started = console.Start();
    if (!started)
        return 1;
    app::CMainFrame &frame = *started;
    model::CueList &cues = model::g_orin.m_pDoc->m_extension.cues;
    for (int i = 0; i < goes; ++i)
        cues.Add(SnapCue((i + 1) * 10, i % 2 == 0 ? 100 : 200));
    model::Cue fade;
    fade.number = (goes + 1) * 10;
    fade.look.fill(255);
    fade.upTime = fade.downTime = fadeSeconds * 10;
    cues.Add(fade);
    views::CuePlayback &playback = frame.GetCuePlayback();
    playback.SetPlaying(true);
    QAction *go = frame.Command(app::kIdGo);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> latencies;
    for (int i = 0; i < goes; ++i) {
        std::this_thread::sleep_for(views::GoFade::kBounce + std::chrono::milliseconds(10) +
                                    std::chrono::microseconds(phaseUs(random)));
        QCoreApplication::processEvents();
        const uint8_t level = i % 2 == 0 ? 100 : 200;
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        go->trigger();
        if (playback.GetCurrentCue() != (i + 1) * 10) {
            std::fprintf(stderr, "GO %d did not start its cue\n", i);
            return 1;
        }
        const std::optional<double> ms = bench::MsUntilOnWire(level, sent);
        if (!ms) {
            std::fprintf(stderr, "GO %d: level %d never reached the wire\n", i, level);
            return 1;
        }
        latencies.push_back(*ms);
    }
    const bench::Spread spread = bench::SpreadOf(latencies);
    std::printf("GO to wire over %zu cues: median %.2f ms, p99 %.2f ms, largest %.2f ms\n",
                latencies.size(), spread.median, spread.p99, spread.largest);

    std::this_thread::sleep_for(views::GoFade::kBounce);
    const double rest = CpuOverSeconds(fadeSeconds);
    go->trigger();
    const double fading = CpuOverSeconds(fadeSeconds);
    const double frames = fadeSeconds * 50.0;
    std::printf("UI thread CPU over %d s: %.1f ms at rest, %.1f ms with the cue fading 80 "
                "channels: %.1f us a frame (%.1f us above rest)\n",
                fadeSeconds, rest, fading, fading * 1e3 / frames, (fading - rest) * 1e3 / frames);
    return 0;
}
