// A GO against a flood of the largest OSC bundles (a plain program, run by hand on the Release
// build: build-rel/bin/osc_bundle_flood [--rate BUNDLES_PER_SECOND] [--runs N]).
//
// The console runs off-screen with its real link timer and the simulated interface, its OSC
// surface on 127.0.0.1. A flooding thread sends bundles as large as a datagram goes (2,338 moves
// each, over channels 2-80 of row A) at the rate given (0: as fast as it can). Channel 1 is full
// on row A and off on row B, so that a 5 s GO from B to A raises slot 1 over 250 frames and
// nothing else moves it. Each run measures, from the frames the interface wrote:
// - GO first: the GO starts, then the flood; of the 250 frames of the fade, how many changed
//   slot 1, and the longest run of frames that held it;
// - flood first: the flood runs 1 s, then a second client sends GO; whether the fade started and
//   how long after the GO left the client its first rise reached the wire;
// - a new client during the flood: from its first message to the first feedback it hears.

#include "BenchConsole.h"
#include "BenchOsc.h"
#include "model/OrinGlobal.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/osc/OscSurface.h"
#include "zentra/SimulatedInterface.h"

#include <lo/lo.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <utility>
#include <vector>

using namespace orinsub;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFloodMoves = 2338;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

/// One bundle of kFloodMoves int moves of channels 2-80 of row A.
std::vector<char> FloodBundle(int seed)
{
    std::vector<char> bundle{'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < kFloodMoves; ++i) {
        lo_message message = lo_message_new();
        lo_message_add_int32(message, (seed + i) & 255);
        const std::string path = "/orinsub/A/" + std::to_string(2 + i % 79);
        size_t size = 0;
        void *bytes = lo_message_serialise(message, path.c_str(), nullptr, &size);
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        bundle.insert(bundle.end(), length, length + 4);
        bundle.insert(bundle.end(), static_cast<char *>(bytes), static_cast<char *>(bytes) + size);
        free(bytes);
        lo_message_free(message);
    }
    return bundle;
}

/// Slot 1 of every frame the simulated interface writes, read on a thread of its own.
class SlotRecorder
{
public:
    SlotRecorder()
        : m_thread([this] {
              uint64_t writes = zentra::sim::GetCounts().writes;
              while (m_running) {
                  const uint64_t now = zentra::sim::GetCounts().writes;
                  if (now != writes) {
                      writes = now;
                      const uint8_t level = zentra::sim::LastWrittenFrame()[1];
                      const std::lock_guard lock(m_mutex);
                      m_frames.push_back({Clock::now(), level});
                  }
                  std::this_thread::sleep_for(std::chrono::microseconds(500));
              }
          })
    {
    }
    ~SlotRecorder()
    {
        m_running = false;
        m_thread.join();
    }
    struct Frame
    {
        Clock::time_point at;
        uint8_t level;
    };
    std::vector<Frame> Take()
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_frames, {});
    }

private:
    std::atomic<bool> m_running{true};
    std::mutex m_mutex;
    std::vector<Frame> m_frames;
    std::thread m_thread;
};

/// Sends bundles from its own socket until stopped.
class Flood
{
public:
    Flood(const std::string &port, int rate)
        : m_thread([this, port, rate] {
              const int socket = lo_server_get_socket_fd(m_server);
              sockaddr_in to{};
              to.sin_family = AF_INET;
              to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
              to.sin_port = htons(static_cast<uint16_t>(std::stoi(port)));
              auto next = Clock::now();
              for (int i = 0; m_running && rate >= 0; ++i) {
                  const std::vector<char> &bundle = m_bundles[i % m_bundles.size()];
                  sendto(socket, bundle.data(), bundle.size(), 0,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to);
                  ++m_sent;
                  if (rate > 0) {
                      next += std::chrono::microseconds(1000000 / rate);
                      std::this_thread::sleep_until(next);
                  }
              }
          })
    {
    }
    ~Flood()
    {
        m_running = false;
        m_thread.join();
        lo_server_free(m_server);
    }
    uint64_t Sent() const { return m_sent; }

private:
    lo_server m_server = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
    std::vector<std::vector<char>> m_bundles{FloodBundle(0), FloodBundle(101)};
    std::atomic<bool> m_running{true};
    std::atomic<uint64_t> m_sent{0};
    std::thread m_thread; // last: starts once the rest is there
};

void SendInt(const std::string &port, const char *path, int value)
{
    const lo_address console = lo_address_new("127.0.0.1", port.c_str());
    lo_send(console, path, "i", value);
    lo_address_free(console);
}

/// Puts the desk where a run starts: B on air, channel 1 full on A and off on B, a 5 s fade.
bool Prepare(const std::string &port)
{
    SendInt(port, "/orinsub/A/1", 255);
    SendInt(port, "/orinsub/B/1", 0);
    SendInt(port, "/orinsub/xfade/A", 0);
    SendInt(port, "/orinsub/xfade/B", 255);
    SendInt(port, "/orinsub/go/time", 5);
    return QTest::qWaitFor([] { return zentra::sim::LastWrittenFrame()[1] == 0; }, 3000);
}

/// The frames of a fade: changed ones and the longest hold, from the first rise to full.
struct FadeFigures
{
    int frames = 0;
    int changed = 0;
    int longestHold = 0;
};

FadeFigures Measure(const std::vector<SlotRecorder::Frame> &frames)
{
    FadeFigures figures;
    const auto rise = std::find_if(frames.begin(), frames.end(),
                                   [](const SlotRecorder::Frame &f) { return f.level > 0; });
    int hold = 0;
    for (auto it = rise; it != frames.end() && it->level < 255; ++it) {
        ++figures.frames;
        if (it == rise || it->level != (it - 1)->level) {
            ++figures.changed;
            hold = 0;
        } else {
            figures.longestHold = std::max(figures.longestHold, ++hold);
        }
    }
    return figures;
}

/// From sending to the first feedback a client never heard before receives, in milliseconds.
double NewClientWait(const std::string &port)
{
    const lo_server client = lo_server_new_with_proto(nullptr, LO_UDP, nullptr);
    bool heard = false;
    lo_server_add_method(
        client, nullptr, nullptr,
        [](const char *, const char *, lo_arg **, int, lo_message, void *heard) {
            *static_cast<bool *>(heard) = true;
            return 0;
        },
        &heard);
    const lo_address console = lo_address_new("127.0.0.1", port.c_str());
    const Clock::time_point sent = Clock::now();
    lo_send_from(console, client, LO_TT_IMMEDIATE, "/orinsub/gm", "i", 255);
    while (!heard && Clock::now() - sent < std::chrono::seconds(5)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        lo_server_recv_noblock(client, 0);
    }
    const double waited = heard ? Milliseconds(Clock::now() - sent) : -1;
    lo_address_free(console);
    lo_server_free(client);
    return waited;
}

} // namespace

int main(int argc, char **argv)
{
    const int rate = bench::IntOption(argc, argv, "--rate", 0);
    const int runs = bench::IntOption(argc, argv, "--runs", 3);
    bench::BenchConsole console(argc, argv);
    app::CMainFrame *frame = console.Start();
    if (!frame)
        return 1;
    const bench::BenchOsc opened = bench::OpenBenchOsc(frame->GetControlLayer());
    if (!opened.surface)
        return 1;
    const std::string &port = opened.port;
    surfaces::osc::OscSurface &osc = *opened.surface;
    SlotRecorder recorder;
    std::printf("flood of %d-move bundles (%zu bytes), %s\n", kFloodMoves, FloodBundle(0).size(),
                rate > 0    ? qPrintable(QStringLiteral("%1 a second").arg(rate))
                : rate == 0 ? "as fast as sent"
                            : "none sent");

    for (int run = 1; run <= runs; ++run) {
        if (!Prepare(port)) {
            std::fprintf(stderr, "the desk did not take its start position\n");
            return 1;
        }
        QTest::qWait(600); // past GO's bounce
        recorder.Take();
        SendInt(port, "/orinsub/go", 1);
        FadeFigures goFirst;
        uint64_t sent = 0;
        double newClient = 0;
        {
            Flood flood(port, rate);
            QTest::qWait(1000);
            newClient = NewClientWait(port);
            (void)QTest::qWaitFor([] { return zentra::sim::LastWrittenFrame()[1] == 255; }, 8000);
            sent = flood.Sent();
        }
        goFirst = Measure(recorder.Take());

        if (!Prepare(port))
            return 1;
        QTest::qWait(600);
        double started = -1;
        FadeFigures floodFirst;
        {
            Flood flood(port, rate);
            QTest::qWait(1000);
            recorder.Take();
            const Clock::time_point go = Clock::now();
            SendInt(port, "/orinsub/go", 1);
            if (QTest::qWaitFor([] { return zentra::sim::LastWrittenFrame()[1] > 0; }, 3000))
                started = Milliseconds(Clock::now() - go);
            (void)QTest::qWaitFor([] { return zentra::sim::LastWrittenFrame()[1] == 255; }, 8000);
        }
        floodFirst = Measure(recorder.Take());
        const auto &counted = osc.Server().Counters();
        std::printf("run %d: GO first: %d of %d frames changed, longest hold %d; flood first: GO "
                    "%s (%.0f ms to the first rise), %d of %d changed, longest hold %d; a new "
                    "client heard back after %.1f ms; %llu bundles sent in the first flood, "
                    "%llu datagrams dropped by the system so far\n",
                    run, goFirst.changed, goFirst.frames, goFirst.longestHold,
                    started >= 0 ? "started" : "never started", started, floodFirst.changed,
                    floodFirst.frames, floodFirst.longestHold, newClient,
                    static_cast<unsigned long long>(sent),
                    static_cast<unsigned long long>(counted.overflowed));
    }
    return 0;
}
