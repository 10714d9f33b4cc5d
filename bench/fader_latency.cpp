// Fader to wire: a mouse drag on a channel fader of the on-air row until the simulated interface
// has sent a frame carrying the new level (a plain program, run by hand on the Release build:
// build-app-rel/bin/fader_latency [--moves N]). Then the same for the live controls: Ctrl+B
// switching blackout, a drag on the grand master fader, a press and release of a flash button.
//
// The whole console runs off-screen with its real link timer; row A is put on air, then each
// control acts on channel 1 N times, each at a random point of the 20 ms tick. For every action:
// the time from sending the event to the interface's write of the first frame whose slot 1 holds
// the level the output mix computed.

#include "BenchConsole.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "controls/Cross1Fader.h"
#include "controls/CrossFader.h"
#include "controls/DanFader.h"
#include "controls/FlashButton.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/LiveControls.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

namespace {

/// Acts n times at random points of the tick and prints how long each took to reach the wire;
/// act(i) sends the i-th event. False when a level never arrived.
bool Measure(const char *what, int n, const std::function<void(int)> &act)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> latencies;
    for (int i = 0; i < n; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        act(i);
        const uint8_t level = model::s_channelLevels[0];
        const std::optional<double> ms = bench::MsUntilOnWire(level, sent);
        if (!ms) {
            std::fprintf(stderr, "%s %d: level %d never reached the wire\n", what, i, level);
            return false;
        }
        latencies.push_back(*ms);
        QCoreApplication::processEvents();
    }
    const bench::Spread spread = bench::SpreadOf(latencies);
    std::printf("%s to wire over %zu actions: median %.2f ms, p99 %.2f ms, largest %.2f ms\n", what,
                latencies.size(), spread.median, spread.p99, spread.largest);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const int moves = bench::IntOption(argc, argv, "--moves", 200);
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *started = console.Start();
    if (!started)
        return 1;
    app::CMainFrame &frame = *started;
    // Row A on air, row B off.
    views::CMasterConsoleView &master = *frame.GetMasterView();
    master.GetCrossFader()->GetHandleA()->SetLevel(255);
    views::OnCrossfaderMoved(0, 255);
    master.GetCrossFader()->GetHandleB()->SetLevel(0);
    views::OnCrossfaderMoved(1, 0);

    views::CDanConsoleView &dan = *frame.GetDanView();
    QWidget *client = dan.viewport();
    const QPoint grab = dan.GetFader(0)->GetKnobRect().center();
    QTest::mousePress(client, Qt::LeftButton, {}, grab);
    const bool dragged = Measure("fader", moves, [&](int i) {
        QTest::mouseMove(client, QPoint(grab.x(), grab.y() - (i % 2 == 0 ? 60 : 20)));
    });
    QTest::mouseRelease(client, Qt::LeftButton, {}, grab);
    if (!dragged)
        return 1;

    // Channel 1 stands at a level between 0 and full in row A; sub-master 1 holds it at full.
    dan.MoveFaderTo(0, 0, 120);
    model::g_orin.m_pDoc->GetSubMaster(1, 1)->m_levels[0] = 255;
    const bool blackout = Measure("blackout (Ctrl+B)", moves, [&](int) {
        QTest::keyClick(&frame, Qt::Key_B, Qt::ControlModifier);
    });
    if (master.IsBlackout())
        master.SetBlackout(false);

    QWidget *pane = master.viewport();
    const QPoint gm = master.GetLiveControls().GetGrandMasterFader().GetKnobRect().center();
    QTest::mousePress(pane, Qt::LeftButton, {}, gm);
    const bool grandMaster = Measure("grand master", moves, [&](int i) {
        QTest::mouseMove(pane, QPoint(gm.x(), gm.y() + (i % 2 == 0 ? 40 : 10)));
    });
    QTest::mouseRelease(pane, Qt::LeftButton, {}, gm);
    master.SetGrandMaster(255);

    const QPoint flash = master.GetFlashButton(0)->GetRect().center() - master.GetScrollPosition();
    const bool flashed = Measure("flash", moves, [&](int i) {
        if (i % 2 == 0)
            QTest::mousePress(pane, Qt::LeftButton, {}, flash);
        else
            QTest::mouseRelease(pane, Qt::LeftButton, {}, flash);
    });
    return blackout && grandMaster && flashed ? 0 : 1;
}
