// Lost output told, and the stage back: the whole console off-screen with "--dmx ola:1@PORT"
// against a private OLA daemon, a look on the stage. Each round kills the daemon (SIGKILL) and
// times it until the status line turns red; then starts it again and times it, from the moment it
// takes connections, until a second OLA client on the universe receives the look, and until the
// status line is back (a plain program, run by hand as root on the Release build:
// build-app-rel/bin/output_outage [--rounds N]).

#include "BenchConsole.h"
#include "OlaTestDaemon.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/DeviceSelection.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

using namespace orinsub;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace zt = zentra::testing;

namespace {

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s over %zu rounds: median %.0f ms, largest %.0f ms\n", what, times.size(),
                times[times.size() / 2], times.back());
}

/// When the status line first shows lost (or not), processing events meanwhile; nothing after
/// limit.
std::optional<Clock::time_point> WhenStatusLost(views::CMasterConsoleView &master, bool lost,
                                                Clock::duration limit = 10s)
{
    for (const auto until = Clock::now() + limit; Clock::now() < until;) {
        if (master.IsOutputLost() == lost)
            return Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = bench::IntOption(argc, argv, "--rounds", 10);
    bench::BenchFolders folders;
    QApplication application(argc, argv);
    zt::OlaTestDaemon daemon;
    std::string why;
    if (!daemon.Start(why)) {
        std::fprintf(stderr, "no private OLA daemon: %s\n", why.c_str());
        return 1;
    }
    app::StartOptions options;
    options.dmx = "ola:1@" + std::to_string(daemon.Port());
    std::string error;
    if (!zentra::SelectDevice(options.dmx.value(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    app::COrinSUBApp console;
    if (!console.InitInstance(options))
        return 1;
    app::CMainFrame &frame = *console.GetMainFrame();
    views::CMasterConsoleView &master = *frame.GetMasterView();
    frame.GetDanView()->MoveFaderTo(1, 0, 255); // row B is on air: slot 1 at full

    std::vector<double> toRed, toStage, toStatusBack;
    for (int round = 0; round < rounds; ++round) {
        {
            zt::OlaUniverseWatcher watcher(daemon.Port(), 1);
            if (!watcher.WaitRegistered(5s) ||
                !watcher.WaitFor([](const zt::Slots &s) { return s[0] == 255; }, 10s)) {
                std::fprintf(stderr, "round %d: the look is not on the universe\n", round);
                return 1;
            }
        }
        const Clock::time_point killed = Clock::now();
        daemon.Kill();
        const auto red = WhenStatusLost(master, true);
        if (!red) {
            std::fprintf(stderr, "round %d: the status line never said so\n", round);
            return 1;
        }
        toRed.push_back(Ms(*red - killed));

        if (!daemon.Start(why)) {
            std::fprintf(stderr, "round %d: the daemon did not come back: %s\n", round,
                         why.c_str());
            return 1;
        }
        const Clock::time_point back = Clock::now();
        std::atomic<int64_t> stageAt{0};
        zt::OlaUniverseWatcher watcher(daemon.Port(), 1,
                                       [&](const zt::Slots &s, Clock::time_point at) {
                                           if (s[0] == 255 && stageAt.load() == 0)
                                               stageAt = at.time_since_epoch().count();
                                       });
        const auto statusBack = WhenStatusLost(master, false);
        if (!statusBack || !watcher.WaitFor([](const zt::Slots &s) { return s[0] == 255; }, 10s)) {
            std::fprintf(stderr, "round %d: the stage did not come back\n", round);
            return 1;
        }
        toStage.push_back(Ms(Clock::time_point(Clock::duration(stageAt.load())) - back));
        toStatusBack.push_back(Ms(*statusBack - back));
    }
    Report("daemon killed to the red status line", toRed);
    Report("daemon back to the look on the universe", toStage);
    Report("daemon back to the status line back", toStatusBack);
    return 0;
}
