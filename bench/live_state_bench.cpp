// Live state: what the UI thread spends reading the desk for its journal, how long the worker
// takes to put the live state on disk, and the console's idle CPU with and without the journal
// (a plain program, run by hand on the Release build:
// build-app-rel/bin/live_state_bench [--idle-seconds S] [--rounds R] [--writes N]).
//
// The console is the main window with its panes, real link timer and the simulated interface,
// off-screen, with a look on the desk. Idle: the CPU time of the whole process (every thread)
// over S seconds of untouched event loop, alternately without and with the journal, R rounds
// each. Capture: the journal's read of the desk and its comparison with the last one, and the
// encoding of a changed state, on the UI thread. Write: a changed state posted to the worker
// until it is on disk (file synced, renamed, folder synced), under the temporary folder.

#include "BenchConsole.h"
#include "app/LiveDesk.h"
#include "app/LiveStateJournal.h"
#include "app/MainFrame.h"
#include "app/RecoveryWriter.h"
#include "model/LiveState.h"
#include "model/OrinSUBDoc.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

namespace {

/// Median, 99th percentile and largest, in the values' unit.
void Report(const char *what, const std::vector<double> &values, const char *unit)
{
    const bench::Spread spread = bench::SpreadOf(values);
    std::printf("%-52s median %8.3f %s, p99 %8.3f %s, largest %8.3f %s (%zu)\n", what,
                spread.median, unit, spread.p99, unit, spread.largest, unit, values.size());
}

/// Percent of one core the process spent over seconds of untouched event loop.
double IdleCpuPercent(int seconds)
{
    const double before = bench::ProcessCpuMs() / 1e3;
    const auto from = Clock::now();
    QTest::qWait(seconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    return (bench::ProcessCpuMs() / 1e3 - before) / wall * 100;
}

void PlayALook(app::CMainFrame &frame)
{
    for (int channel = 0; channel < 80; channel += 3)
        frame.GetDanView()->MoveFaderTo(0, channel, static_cast<uint8_t>(channel * 3));
    frame.GetMasterView()->MoveCrossfader(255, 0);
    frame.GetMasterView()->MoveSubFaderTo(4, 128);
}

} // namespace

int main(int argc, char **argv)
{
    const int idleSeconds = bench::IntOption(argc, argv, "--idle-seconds", 10);
    const int rounds = bench::IntOption(argc, argv, "--rounds", 2);
    const int writes = bench::IntOption(argc, argv, "--writes", 300);
    const bench::BenchFolders folders;
    QApplication application(argc, argv);
    model::COrinSUBDoc doc;
    model::g_orin.m_pDoc = &doc;
    app::CMainFrame frame(&doc);
    if (!bench::ShowWindow(frame) || !bench::CameUp(frame))
        return 1;
    PlayALook(frame);
    QTemporaryDir folder;
    const QString path = folder.filePath("recovery-1.live");

    // Capture on the UI thread: read, compare with the last read; encode when it changed.
    std::vector<double> captures, encodes;
    model::LiveState last = app::CaptureLiveState(frame);
    qsizetype bytesMade = 0;
    int unchanged = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto start = Clock::now();
        model::LiveState state = app::CaptureLiveState(frame);
        unchanged += state == last;
        const auto read = Clock::now();
        captures.push_back(std::chrono::duration<double, std::micro>(read - start).count());
        bytesMade += model::LiveStateFile::Encode(state).size();
        encodes.push_back(std::chrono::duration<double, std::micro>(Clock::now() - read).count());
        last = std::move(state);
    }
    std::printf("(%d reads alike, %lld bytes a state)\n", unchanged,
                static_cast<long long>(bytesMade / 20000));
    Report("UI thread: read the desk and compare", captures, "us");
    Report("UI thread: encode a changed state", encodes, "us");

    // The worker: a changed state each time, until it is on disk.
    {
        app::CRecoveryWriter writer({path});
        model::LiveState state = last;
        std::vector<double> written;
        for (int i = 0; i < writes; ++i) {
            state.rows[1][i % 80] = static_cast<uint8_t>(i);
            const QByteArray bytes = model::LiveStateFile::Encode(state);
            const auto start = Clock::now();
            writer.Write({bytes});
            writer.WaitUntilDone();
            written.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        if (writer.FailedWrites() > 0)
            std::fprintf(stderr, "%d writes failed\n", writer.FailedWrites());
        Report("worker: live state on disk (ext4, synced)", written, "ms");
    }

    // Idle, alternately without and with the journal.
    int reads = 0;
    for (int round = 0; round < rounds; ++round) {
        const double without = IdleCpuPercent(idleSeconds);
        app::CLiveStateJournal journal(
            path,
            [&] {
                ++reads;
                return app::CaptureLiveState(frame);
            },
            std::nullopt);
        const double with = IdleCpuPercent(idleSeconds);
        std::printf("idle console over %d s: without the journal %.3f %%, with it %.3f %% of one "
                    "core\n",
                    idleSeconds, without, with);
    }
    std::printf("reads of the desk by the journal while idle: %d\n", reads);
    return 0;
}
