// Fader to wire: a mouse drag on a channel fader of the on-air row until the simulated interface
// has sent a frame carrying the new level (a plain program, run by hand on the Release build:
// build-app-rel/bin/fader_latency [--moves N]).
//
// The whole console runs off-screen with its real link timer; row A is put on air, then channel
// 1's knob is dragged to a new level N times, each move at a random point of the 20 ms tick. For
// every move: the time from sending the mouse move to the interface's write of the first frame
// whose slot 1 holds the level the output mix computed.

#include "BenchConsole.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "controls/Cross1Fader.h"
#include "controls/CrossFader.h"
#include "controls/DanFader.h"
#include "dmx/OrinZentra.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

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

int main(int argc, char **argv)
{
    const int moves = bench::IntOption(argc, argv, "--moves", 200);
    const bench::BenchFolders folders;
    QApplication application(argc, argv);
    app::COrinSUBApp console;
    app::CMainFrame *started = bench::StartConsole(console);
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
    controls::CDanFader &fader = *dan.GetFader(0);
    const QRect knob = fader.GetKnobRect();
    const QPoint grab = knob.center();
    QTest::mousePress(client, Qt::LeftButton, {}, grab);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> latencies;
    for (int i = 0; i < moves; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        const QPoint to(grab.x(), grab.y() - (i % 2 == 0 ? 60 : 20));
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        QTest::mouseMove(client, to);
        const uint8_t level = model::s_channelLevels[0];
        while (zentra::sim::LastWrittenFrame()[1] != level) {
            if (Clock::now() - sent > std::chrono::seconds(1)) {
                std::fprintf(stderr, "move %d: level %d never reached the wire\n", i, level);
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        // The write that carried it is the last one so far: they are 20 ms apart.
        const auto writes = zentra::sim::TakeWriteTimes();
        latencies.push_back(
            std::chrono::duration<double, std::milli>(writes.back() - sent).count());
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(client, Qt::LeftButton, {}, grab);

    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies[std::min(latencies.size() - 1, size_t(q * latencies.size()))];
    };
    std::printf("fader to wire over %zu moves: median %.2f ms, p99 %.2f ms, largest %.2f ms\n",
                latencies.size(), at(0.5), at(0.99), latencies.back());
    return 0;
}
