// The desk fitting a larger window (a plain program, run by hand on the Release build:
// build-rel/bin/resize_bench [--rounds N] [--idle-seconds S]).
//
// The console's main window, off-screen, with names on every channel and sub-master. Each round
// resizes it from 1270 x 768 to 3840 x 2160 and paints the whole window at once: the time from
// the resize to the end of that first full paint (layout, longer faders, all 80 channels), then
// the same back. Idle: the CPU the event loop takes per second at either size, untouched.

#include "BenchConsole.h"
#include "app/MainFrame.h"
#include "dmx/PeriodicTimer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

using namespace orinsub;

namespace {

using Clock = std::chrono::steady_clock;

struct Cost
{
    std::vector<double> wall, cpu;
};

/// Resizes and paints the whole window; wall and UI-thread CPU milliseconds.
void ResizeAndPaint(app::CMainFrame &frame, QSize size, Cost *cost = nullptr)
{
    const Clock::time_point start = Clock::now();
    const double cpu = bench::ThreadCpuMs();
    frame.resize(size);
    frame.repaint();
    if (cost) {
        cost->wall.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cost->cpu.push_back(bench::ThreadCpuMs() - cpu);
    }
}

void Report(const char *what, Cost cost)
{
    for (auto *ms : {&cost.wall, &cost.cpu})
        std::sort(ms->begin(), ms->end());
    std::printf("%s: wall median %.1f ms, worst %.1f ms; CPU median %.1f ms, worst %.1f ms (%zu "
                "rounds)\n",
                what, cost.wall[cost.wall.size() / 2], cost.wall.back(),
                cost.cpu[cost.cpu.size() / 2], cost.cpu.back(), cost.wall.size());
}

/// CPU of the whole process per second of untouched event loop.
double IdleCpuPerSecond(int seconds)
{
    const double before = bench::ProcessCpuMs();
    QTest::qWait(seconds * 1000);
    return (bench::ProcessCpuMs() - before) / seconds;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = std::max(1, bench::IntOption(argc, argv, "--rounds", 20));
    const int idleSeconds = std::max(1, bench::IntOption(argc, argv, "--idle-seconds", 10));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::KeepLinksStill();

    model::COrinSUBDoc doc;
    for (int ch = 0; ch < 80; ++ch)
        doc.Channel(ch).SetName(QStringLiteral("客席%1").arg(ch + 1));
    for (int n = 1; n <= 20; ++n)
        doc.GetSubMaster(1, n)->m_name = QStringLiteral("M%1 夕景").arg(n);
    model::g_orin.m_pDoc = &doc;
    app::CMainFrame frame(&doc);
    if (!bench::ShowWindow(frame))
        return 1;

    Cost up, down;
    for (int i = 0; i < rounds; ++i) {
        ResizeAndPaint(frame, QSize(3840, 2160), &up);
        ResizeAndPaint(frame, QSize(1270, 768), &down);
    }
    Report("1270x768 -> 3840x2160, resize to the end of the first full paint", up);
    Report("3840x2160 -> 1270x768, the same", down);

    const double idleDefault = IdleCpuPerSecond(idleSeconds);
    ResizeAndPaint(frame, QSize(3840, 2160));
    QTest::qWait(200);
    const double idleLarge = IdleCpuPerSecond(idleSeconds);
    std::printf("idle CPU per second (%d s each): %.2f ms at 1270x768, %.2f ms at 3840x2160\n",
                idleSeconds, idleDefault, idleLarge);
    model::g_orin = model::COrinGlobal{};
    return 0;
}
