// How the real transports carry the link's frames: the real tick on its timer sends through OLA
// (to a private daemon), Art-Net and sACN (to 127.0.0.1), and a second party on this machine
// notes when each frame arrives.
//
//   transport_timing [--seconds N] [--changes N] [--only ola|artnet|sacn] [--ordinary-daemon]
//
// OLA: latency from a level set in the port's output frame to its arrival at a second OLA client
// (median, p99 over --changes changes, 500 by default), and the intervals between frames arriving
// there. Art-Net and sACN: the intervals between packets arriving on a loopback socket at the
// protocol's own port. Each interval run lasts --seconds (10 by default). Run as root: the daemon
// runs as the olad user, and the link timer gets real-time priority. The daemon's threads and the
// receiving end get real-time priority too, as on a show machine (olad --scheduler-policy fifo),
// unless --ordinary-daemon.

#include "LoopbackUdp.h"
#include "OlaTestDaemon.h"
#include "dmx/LinkTick.h"
#include "dmx/MonotonicTimer.h"
#include "zentra/DeviceSelection.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <mutex>
#include <pthread.h>
#include <random>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
namespace dmx = orinsub::dmx;
namespace zt = zentra::testing;

constexpr double kLatencyP99Target = 22.0;  // ms: one tick and 2 ms
constexpr double kDeviationP99Target = 0.3; // ms

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(fraction * values.size())) - 1;
    return values[std::min(index, values.size() - 1)];
}

// The real link on its timer, sending through the device string's interface.
class Link
{
public:
    explicit Link(const std::string &device)
    {
        std::string error;
        if (!zentra::SelectDevice(device, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        m_port = std::make_unique<dmx::COrinZentra>();
        if (!dmx::StartLinkTick(m_timer, *m_port)) {
            std::fprintf(stderr, "the link timer did not start\n");
            std::exit(1);
        }
        for (auto until = Clock::now() + 5s; Clock::now() < until && !m_port->IsOpen();)
            std::this_thread::sleep_for(5ms);
        if (!m_port->IsOpen()) {
            std::fprintf(stderr, "%s did not open\n", device.c_str());
            std::exit(1);
        }
    }
    ~Link() { dmx::ShutdownLink(&m_timer, m_port); }

    dmx::COrinZentra &Port() { return *m_port; }
    bool RealTime() const { return m_timer.IsRealTime(); }

private:
    dmx::MonotonicTimer m_timer;
    std::unique_ptr<dmx::COrinZentra> m_port;
};

// The priority of the link timer's thread, for the other parties on the way of a frame.
constexpr int kRealTimePriority = 10;

void RaiseProcess(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *folder = opendir(tasks.c_str());
    if (!folder)
        return;
    const sched_param priority{kRealTimePriority};
    while (const dirent *entry = readdir(folder)) {
        const int thread = std::atoi(entry->d_name);
        if (thread > 0)
            sched_setscheduler(thread, SCHED_FIFO, &priority);
    }
    closedir(folder);
}

void RaiseThisThread()
{
    const sched_param priority{kRealTimePriority};
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
}

void ReportIntervals(const char *what, const std::vector<Clock::time_point> &arrivals, int seconds,
                     bool realTime)
{
    if (arrivals.size() < 3) {
        std::printf("%s: only %zu frames arrived\n", what, arrivals.size());
        return;
    }
    std::vector<double> intervals;
    std::vector<double> deviations;
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        const double interval = Millis(arrivals[i] - arrivals[i - 1]).count();
        intervals.push_back(interval);
        deviations.push_back(std::fabs(interval - Millis(dmx::kLinkPeriod).count()));
    }
    const double p99 = Percentile(deviations, 0.99);
    std::printf("%s: %zu intervals in %d s, %s timer thread\n", what, intervals.size(), seconds,
                realTime ? "real-time" : "ordinary");
    std::printf("  median interval   %8.3f ms\n", Percentile(intervals, 0.5));
    std::printf("  median deviation  %8.3f ms\n", Percentile(deviations, 0.5));
    std::printf("  p99 deviation     %8.3f ms   (target < %.1f ms: %s)\n", p99, kDeviationP99Target,
                p99 < kDeviationP99Target ? "met" : "missed");
    std::printf("  largest deviation %8.3f ms\n",
                *std::max_element(deviations.begin(), deviations.end()));
}

void RunOla(int seconds, int changes, bool raise)
{
    zt::OlaTestDaemon daemon;
    std::string why;
    if (!daemon.Start(why)) {
        std::printf("OLA: skipped, no private daemon here: %s\n", why.c_str());
        return;
    }
    if (raise)
        RaiseProcess(daemon.Pid());
    std::printf("OLA: daemon and second client at %s priority\n", raise ? "real-time" : "ordinary");
    std::once_flag raised;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Clock::time_point> arrivals;
    arrivals.reserve(static_cast<std::size_t>(seconds) * 60 + 1000);
    uint8_t awaited = 0;
    std::optional<Clock::time_point> awaitedAt;
    bool recording = false;
    zt::OlaUniverseWatcher watcher(daemon.Port(), 1,
                                   [&](const zt::Slots &levels, Clock::time_point when) {
                                       if (raise)
                                           std::call_once(raised, RaiseThisThread);
                                       std::lock_guard lock(mutex);
                                       if (recording)
                                           arrivals.push_back(when);
                                       if (!awaitedAt && levels[0] == awaited) {
                                           awaitedAt = when;
                                           arrived.notify_all();
                                       }
                                   });
    if (!watcher.WaitRegistered(5s)) {
        std::printf("OLA: the watching client did not register\n");
        return;
    }
    Link link("ola:1@" + std::to_string(daemon.Port()));

    // Latency: changes at random points of the tick, so that every phase is sampled.
    std::mt19937 random(1);
    std::vector<double> latencies;
    for (int i = 0; i < changes; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(20000 + random() % 20000));
        const uint8_t level = static_cast<uint8_t>(1 + i % 254);
        std::unique_lock lock(mutex);
        awaited = level;
        awaitedAt.reset();
        const auto set = Clock::now();
        link.Port().SetOutputSlot(1, level);
        if (!arrived.wait_for(lock, 1s, [&] { return awaitedAt.has_value(); })) {
            std::printf("OLA: level %d never arrived\n", level);
            return;
        }
        latencies.push_back(Millis(*awaitedAt - set).count());
    }
    const double p99 = Percentile(latencies, 0.99);
    std::printf("OLA latency, output frame to a second client: %zu changes\n", latencies.size());
    std::printf("  median %8.3f ms, p99 %8.3f ms (target < %.0f ms: %s), largest %.3f ms\n",
                Percentile(latencies, 0.5), p99, kLatencyP99Target,
                p99 < kLatencyP99Target ? "met" : "missed",
                *std::max_element(latencies.begin(), latencies.end()));

    {
        std::lock_guard lock(mutex);
        recording = true;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::vector<Clock::time_point> taken;
    {
        std::lock_guard lock(mutex);
        recording = false;
        taken = arrivals;
    }
    ReportIntervals("OLA frames at a second client", taken, seconds, link.RealTime());
}

void RunUdp(const char *what, const std::string &device, uint16_t port, int seconds, bool raise)
{
    std::unique_ptr<zt::LoopbackUdp> node;
    try {
        node = std::make_unique<zt::LoopbackUdp>(port);
    } catch (const std::exception &) {
        std::printf("%s: skipped, 127.0.0.1:%d is taken\n", what, port);
        return;
    }
    std::vector<Clock::time_point> arrivals;
    arrivals.reserve(static_cast<std::size_t>(seconds) * 60);
    std::atomic<bool> listening{true};
    std::thread receiver([&] {
        if (raise)
            RaiseThisThread();
        while (listening) {
            if (node->Receive(100ms))
                arrivals.push_back(Clock::now());
        }
    });
    bool realTime = false;
    {
        Link link(device);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        realTime = link.RealTime();
    }
    listening = false;
    receiver.join();
    // The close sends the stream's farewells (sACN) right after the last frame: not frames.
    while (arrivals.size() > 2 &&
           arrivals.back() - arrivals[arrivals.size() - 2] < std::chrono::milliseconds(5))
        arrivals.pop_back();
    ReportIntervals(what, arrivals, seconds, realTime);
}

} // namespace

int main(int argc, char **argv)
{
    int seconds = 10;
    int changes = 500;
    std::string only;
    bool raise = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--changes") == 0 && i + 1 < argc) {
            changes = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else if (std::strcmp(argv[i], "--ordinary-daemon") == 0) {
            raise = false;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--seconds N] [--changes N] [--only ola|artnet|sacn] "
                         "[--ordinary-daemon]\n",
                         argv[0]);
            return 2;
        }
    }
    if (seconds < 1 || changes < 1) {
        std::fprintf(stderr, "%s: --seconds and --changes need whole numbers of at least 1\n",
                     argv[0]);
        return 2;
    }
    // sACN keeps its source id in the settings folder: a scratch one, not the operator's.
    char scratch[] = "/tmp/orinsub-bench-XXXXXX";
    if (mkdtemp(scratch))
        setenv("XDG_CONFIG_HOME", scratch, 1);

    if (only.empty() || only == "ola")
        RunOla(seconds, changes, raise);
    if (only.empty() || only == "artnet")
        RunUdp("Art-Net packets on 127.0.0.1", "artnet:127.0.0.1:0", 6454, seconds, raise);
    if (only.empty() || only == "sacn")
        RunUdp("sACN packets on 127.0.0.1", "sacn:127.0.0.1:1", 5568, seconds, raise);
    std::filesystem::remove_all(scratch);
    return 0;
}
