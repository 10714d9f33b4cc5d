// Runs the real link tick on the program's timer against the simulated interface and reports how
// evenly the frames leave: the interval between two writes against the 20 ms period.
//
//   link_timing [--seconds N]     (default 10)

#include "dmx/LinkTick.h"
#include "dmx/MonotonicTimer.h"
#include "zentra/SimulatedInterface.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Millis = std::chrono::duration<double, std::milli>;
namespace sim = zentra::sim;
namespace dmx = orinsub::dmx;

constexpr double kP99Target = 0.2; // ms
constexpr double kMaxTarget = 1.5; // ms

double Percentile(std::vector<double> sorted, double fraction)
{
    const auto index = static_cast<std::size_t>(std::ceil(fraction * sorted.size())) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

int main(int argc, char **argv)
{
    int seconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--seconds N]\n", argv[0]);
            return 2;
        }
    }
    if (seconds < 1) {
        std::fprintf(stderr, "%s: --seconds needs a whole number of at least 1\n", argv[0]);
        return 2;
    }

    sim::Restore();
    auto port = std::make_unique<dmx::COrinZentra>();
    dmx::MonotonicTimer timer;
    if (!dmx::StartLinkTick(timer, *port)) {
        std::fprintf(stderr, "%s: the timer thread did not start\n", argv[0]);
        return 1;
    }
    // Take the write times only every minute (the log holds close to three), so that the tick
    // never waits for this thread on the simulation's lock while it is being measured.
    std::vector<sim::Clock::time_point> writes;
    for (int left = seconds; left > 0; left -= 60) {
        std::this_thread::sleep_for(std::chrono::seconds(std::min(left, 60)));
        const auto taken = sim::TakeWriteTimes();
        writes.insert(writes.end(), taken.begin(), taken.end());
    }
    dmx::ShutdownLink(&timer, port);
    const auto last = sim::TakeWriteTimes();
    writes.insert(writes.end(), last.begin(), last.end());

    if (writes.size() < 3) {
        std::fprintf(stderr, "%s: only %zu frames were written\n", argv[0], writes.size());
        return 1;
    }
    const double period = Millis(dmx::kLinkPeriod).count();
    std::vector<double> intervals;
    std::vector<double> deviations;
    for (std::size_t i = 1; i < writes.size(); ++i) {
        const double interval = Millis(writes[i] - writes[i - 1]).count();
        intervals.push_back(interval);
        deviations.push_back(std::fabs(interval - period));
    }
    std::sort(intervals.begin(), intervals.end());
    std::sort(deviations.begin(), deviations.end());
    const double p99 = Percentile(deviations, 0.99);
    const double largest = deviations.back();

    std::printf("link timing: %zu write intervals in %d s (period %.0f ms), %s timer thread\n",
                intervals.size(), seconds, period, timer.IsRealTime() ? "real-time" : "ordinary");
    std::printf("  median interval   %8.3f ms\n", Percentile(intervals, 0.5));
    std::printf("  median deviation  %8.3f ms\n", Percentile(deviations, 0.5));
    std::printf("  p99 deviation     %8.3f ms   (target < %.1f ms)\n", p99, kP99Target);
    std::printf("  largest deviation %8.3f ms   (target < %.1f ms)\n", largest, kMaxTarget);
    std::printf("  shortest/longest  %8.3f / %.3f ms\n", intervals.front(), intervals.back());
    std::printf("targets %s\n", p99 < kP99Target && largest < kMaxTarget ? "met" : "missed");
    return 0;
}
