// Mouse to surface: a mouse drag on a channel fader until the control layer told a surface
// showing that fader its new level (a plain program, run by hand on the Release build:
// build-app-rel/bin/feedback_latency [--moves N]).
//
// The whole console runs off-screen; a surface showing every fader, handle and lamp (as a web
// page does) is attached to the main window's control layer. Channel 1's knob is dragged N
// times, each move after a random pause of 0-20 ms; for every move: the time from sending the
// mouse move to the surface's feedback with the new level, the event loop running as in the
// console. Then the cost of one feedback pass over that surface when nothing / one fader
// changed.

#include "BenchConsole.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "controls/DanFader.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/Surface.h"
#include "views/DanConsoleView.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

namespace {

class TimedSurface : public surfaces::Surface
{
public:
    TimedSurface()
    {
        for (const char *name : {"xfade/A", "xfade/B", "xfade", "page/up", "page/down", "in/A",
                                 "in/B", "in/sub", "link", "go", "go/time"})
            shown.push_back(*surfaces::ControlTarget::Parse(QString::fromLatin1(name)));
        for (int i = 1; i <= 80; ++i) {
            shown.push_back(*surfaces::ControlTarget::Parse(QStringLiteral("A/%1").arg(i)));
            shown.push_back(*surfaces::ControlTarget::Parse(QStringLiteral("B/%1").arg(i)));
        }
        for (int i = 1; i <= 20; ++i)
            shown.push_back(*surfaces::ControlTarget::Parse(QStringLiteral("sub/%1").arg(i)));
    }
    bool IsMotorised() const override { return false; }
    const std::vector<surfaces::ControlTarget> &ShownTargets() const override { return shown; }
    void OnFeedback(const surfaces::ControlTarget &target, int value, bool) override
    {
        if (target.kind == surfaces::ControlTarget::Kind::RowFader && target.row == 0 &&
            target.index == 0) {
            lastValue = value;
            lastAt = Clock::now();
        }
    }

    std::vector<surfaces::ControlTarget> shown;
    int lastValue = -1;
    Clock::time_point lastAt;
};

double Micros(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

} // namespace

int main(int argc, char **argv)
{
    const int moves = bench::IntOption(argc, argv, "--moves", 300);
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *started = console.Start();
    if (!started)
        return 1;
    app::CMainFrame &frame = *started;
    surfaces::ControlLayer &layer = frame.GetControlLayer();
    TimedSurface surface;
    layer.Attach(&surface);

    views::CDanConsoleView &dan = *frame.GetDanView();
    QWidget *client = dan.viewport();
    const QPoint grab = dan.GetFader(0)->GetKnobRect().center();
    QTest::mousePress(client, Qt::LeftButton, {}, grab);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pauseUs(0, 20000);
    std::vector<double> latencies;
    for (int i = 0; i < moves; ++i) {
        const Clock::time_point until = Clock::now() + std::chrono::microseconds(pauseUs(random));
        while (Clock::now() < until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        const QPoint to(grab.x(), grab.y() - (i % 2 == 0 ? 60 : 20));
        const Clock::time_point sent = Clock::now();
        QTest::mouseMove(client, to);
        const int level = dan.GetFader(0)->GetLevel();
        while (surface.lastValue != level) {
            if (Clock::now() - sent > std::chrono::seconds(1)) {
                std::fprintf(stderr, "move %d: level %d never reached the surface\n", i, level);
                return 1;
            }
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        latencies.push_back(bench::Milliseconds(surface.lastAt - sent));
    }
    QTest::mouseRelease(client, Qt::LeftButton, {}, grab);

    const bench::Spread spread = bench::SpreadOf(latencies);
    std::printf("mouse to surface over %zu moves: median %.2f ms, p99 %.2f ms, largest %.2f ms\n",
                latencies.size(), spread.median, spread.p99, spread.largest);

    constexpr int kPasses = 2000;
    layer.Flush();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kPasses; ++i)
        layer.Flush();
    const double idle = Micros(Clock::now() - start) / kPasses;
    start = Clock::now();
    for (int i = 0; i < kPasses; ++i) {
        dan.MoveFaderTo(1, 4, static_cast<uint8_t>(i));
        layer.Flush();
    }
    const double oneChange = Micros(Clock::now() - start) / kPasses;
    std::printf("feedback pass over %zu shown targets: %.1f us unchanged, %.1f us with one "
                "fader moved (the move included)\n",
                surface.shown.size(), idle, oneChange);
    layer.Detach(&surface);
    return 0;
}
