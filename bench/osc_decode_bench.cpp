// OSC decoding: a bundle as large as a datagram goes, of fader moves, read into actions as the
// socket's turn reads it (Google Benchmark; the figure to read is the time per message).
//   build-rel/bin/osc_decode_bench

#include "surfaces/ControlLayer.h"
#include "surfaces/osc/OscPacket.h"

#include <benchmark/benchmark.h>

using namespace orinsub::surfaces;
using namespace orinsub::surfaces::osc;

namespace {

/// Moves of row A's channels 2..80 in turn, as many as fit a UDP datagram.
QByteArray FloodBundle()
{
    QByteArray bundle("#bundle\0\0\0\0\0\0\0\0\1", 16);
    for (int i = 0;; ++i) {
        const ControlTarget target{ControlTarget::Kind::RowFader, 0, 1 + i % 79};
        const QByteArray message = EncodeOscFeedback(target, static_cast<float>(i % 256) / 255);
        if (bundle.size() + 4 + message.size() > 65507)
            return bundle;
        const auto size = static_cast<uint32_t>(message.size());
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        bundle.append(length, 4).append(message);
    }
}

void DecodeFloodBundle(benchmark::State &state)
{
    const QByteArray bundle = FloodBundle();
    const SurfaceShape shape = ShapeOf(DefaultBanks());
    std::vector<OscAction> actions;
    OscTally tally;
    for (auto _ : state) {
        actions.clear();
        DecodeOscPacket({reinterpret_cast<const uint8_t *>(bundle.constData()),
                         static_cast<size_t>(bundle.size())},
                        actions, tally, shape);
        benchmark::DoNotOptimize(actions.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(actions.size()));
    state.counters["per_message"] = benchmark::Counter(
        static_cast<double>(state.iterations() * actions.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(DecodeFloodBundle);

} // namespace

BENCHMARK_MAIN();
