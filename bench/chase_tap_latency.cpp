// Tap to wire: the fourth TAP of a chase sets its speed and puts its beat on the tap, so its next
// step is due one step time later; how far behind that moment the simulated interface sends the
// first frame carrying the step (a plain program, run by hand on the Release build:
// build/bin/chase_tap_latency [--taps N]).
//
// The whole console runs off-screen with its real link timer. A chase of four steps (channel 1
// at 50, 100, 150 and 200) is put on sub-master 1 of page 1, its fader at full, resting at one
// step a minute. Each round taps it four times 250 ms apart, the fourth at a random point of the
// 20 ms tick (240 BPM: the next step is due 250 ms after it), and measures from that moment to
// the interface's write of the first frame whose slot 1 holds the next step.

#include "BenchConsole.h"
#include "app/MainFrame.h"
#include "model/ChasePlayer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QTest>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

int main(int argc, char **argv)
{
    const int rounds = bench::IntOption(argc, argv, "--taps", 100);
    constexpr int kBeatMs = 250;
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *started = console.Start();
    if (!started)
        return 1;
    model::COrinSUBDoc &doc = *model::g_orin.m_pDoc;
    model::Chase chase;
    chase.number = 1;
    chase.stepMs = model::kMaxChaseStepMs;
    chase.place = {1, 1};
    for (uint8_t level : {50, 100, 150, 200}) {
        model::ChaseLook look{};
        look[0] = level;
        chase.steps.push_back(look);
    }
    doc.EditChases([&](model::ChaseList &chases) { return chases.Add(chase); });
    views::CMasterConsoleView &master = *started->GetMasterView();
    master.MoveSubFaderTo(0, 255);
    model::ChasePlayer &player = master.GetChasePlayer();

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phaseUs(0, 20000);
    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        QTest::qWait(2100); // a pause of 2 s starts a new count
        for (int tap = 0; tap < 3; ++tap) {
            player.Tap(1);
            QTest::qWait(kBeatMs);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        zentra::sim::TakeWriteTimes();
        const Clock::time_point sent = Clock::now();
        player.Tap(1);
        const int next = chase.steps.at(player.GetStep(1) % chase.steps.size())[0];
        const std::optional<double> ms = bench::MsUntilOnWire(next, sent);
        if (!ms) {
            std::fprintf(stderr, "tap %d: step level %d never reached the wire\n", round, next);
            return 1;
        }
        latencies.push_back(*ms - kBeatMs);
        player.SetBpm(1, 1.0); // rest again until the next round's taps
    }
    const bench::Spread spread = bench::SpreadOf(latencies);
    std::printf("tap to first step on the wire, behind the tapped beat, over %zu rounds: median "
                "%.2f ms, p99 %.2f ms, largest %.2f ms\n",
                latencies.size(), spread.median, spread.p99, spread.largest);
    return 0;
}
