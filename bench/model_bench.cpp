// Model benchmarks: the full output recompute and show-file load and save, the shows without cues
// (/cues:0) and with a full cue list (/cues:999); the link tick's write with chases running.
//   build-rel/bin/model_bench

#include "BenchShows.h"
#include "dmx/OrinZentra.h"
#include "zentra/SimulatedInterface.h"
#include "model/DimmerCurve.h"
#include "model/Mix.h"
#include "model/MixInputs.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "model/ShowFileReader.h"
#include "model/ShowFileWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace orinsub;
using namespace orinsub::model;

namespace {

class BusyRows : public RowLevelSource
{
public:
    uint8_t GetRowLevel(int row, int channel) const override
    {
        return (row == 0 || row == 1) && channel >= 1 && channel <= kConsoleChannels
                   ? static_cast<uint8_t>(channel * (row + 2))
                   : 0;
    }
};

/// Both handles overlapping, every one of the 20 sub faders raised and the grand master below
/// full: the most work per channel. With flashHeld, every other flash button is held too.
class BusyMaster : public MasterLevelSource
{
public:
    uint8_t GetCrossfaderLevel(int handle) const override { return handle == 0 ? 200 : 180; }
    int GetSubFaderCount() const override { return kSubMastersPerPage; }
    SubFaderReading GetSubFaderReading(int index) const override
    {
        return {static_cast<uint8_t>(100 + index * 7), 1 + index % kPages, index + 1,
                flashHeld && index % 2 == 0};
    }
    uint8_t GetGrandMaster() const override { return 200; }
    bool IsBlackout() const override { return false; }
    bool flashHeld = false;
};

std::span<const uint8_t> AsBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const uint8_t *>(bytes.constData()),
            static_cast<size_t>(bytes.size())};
}

/// Every sub fader raised; with state.range(0), every other flash button held and every other
/// channel independent, so that each channel mixes one of two looks.
void RecomputeAllChannelsWithAllSubFadersRaised(benchmark::State &state)
{
    COrinSUBDoc doc;
    for (int p = 1; p <= kPages; ++p)
        for (int n = 1; n <= kSubMastersPerPage; ++n)
            for (int i = 0; i < kLevelsPerSubMaster; ++i)
                doc.GetSubMaster(p, n)->m_levels[i] = static_cast<uint8_t>(i * 3 + p * n);
    doc.m_patchSelection = {200, 300, 400, 500};
    doc.PatchSelectionTo(0); // a channel with several dimmers
    dmx::COrinZentra port;
    BusyRows rows;
    BusyMaster master;
    master.flashHeld = state.range(0) != 0;
    for (int channel = 1; master.flashHeld && channel <= kConsoleChannels; channel += 2)
        doc.SetIndependent(channel, true);
    g_orin.m_pDoc = &doc;
    g_orin.m_pZentra = &port;
    g_orin.m_pRowLevels = &rows;
    g_orin.m_pMasterLevels = &master;

    for (auto _ : state) {
        RecomputeAllChannels();
        benchmark::DoNotOptimize(s_channelLevels.data());
        benchmark::ClobberMemory();
    }
    g_orin = COrinGlobal{};
}
BENCHMARK(RecomputeAllChannelsWithAllSubFadersRaised)
    ->ArgName("flashAndIndependents")
    ->Arg(0)
    ->Arg(1);

/// The link tick's write of a frame (what it does besides reading one) to the simulated
/// interface, with state.range(0) lanes running chases of 99 steps in random order, half of each
/// step fading, their time moving on 20 ms a frame: the cost the chases add to every tick. With
/// state.range(1), every one of the 512 dimmers has a hall curve with a top limit.
void LinkWriteWithChasesRunning(benchmark::State &state)
{
    zentra::sim::Restore();
    dmx::COrinZentra port;
    ZENTRA_HANDLE device = Zentra_OpenIDW(zentra::sim::kDeviceId);
    port.SetHandle(device);
    dmx::ChaseStage &stage = port.GetChaseStage();
    auto now = std::chrono::steady_clock::now();
    stage.SetClock([&now] { return now; });
    std::vector<dmx::ChaseLook> steps(dmx::kMaxChaseSteps);
    for (size_t s = 0; s < steps.size(); ++s)
        steps[s].fill(static_cast<uint8_t>(s * 2));
    dmx::ChaseTiming timing;
    timing.anchor = now;
    timing.stepCount = dmx::kMaxChaseSteps;
    timing.direction = dmx::ChaseDirection::Random;
    timing.crossfade = dmx::kStepUnits / 2;
    for (int lane = 0; lane < state.range(0); ++lane) {
        timing.seed = static_cast<uint32_t>(lane);
        stage.Run(lane, steps, timing);
        stage.SetGains(lane, 255, 200);
    }
    for (int slot = 1; slot <= dmx::kStageSlots; ++slot)
        stage.SetChannelOfSlot(slot, static_cast<uint8_t>((slot - 1) % dmx::kChaseChannels));
    if (state.range(1) != 0) {
        const CurveTable curve = MakeCurveTable({CurveKind::HallA, kDefaultSwitchThreshold, 80});
        for (int slot = 1; slot <= kDimmers; ++slot)
            port.GetCurveStage().SetTable(slot, curve);
    }
    for (auto _ : state) {
        now += std::chrono::milliseconds(20);
        benchmark::DoNotOptimize(port.WriteFrame());
    }
    Zentra_Close(device);
}
BENCHMARK(LinkWriteWithChasesRunning)
    ->ArgNames({"chases", "curves"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({dmx::kChaseLanes, 0})
    ->Args({dmx::kChaseLanes, 1});

/// A new show with state.range(0) cues as an operator records them: whole numbers, a short
/// Japanese label, a look with most channels up, the fade time, a follow on every fifth.
void AddCues(COrinSUBDoc &doc, const benchmark::State &state)
{
    bench::AddCues(doc, static_cast<int>(state.range(0)));
}

void SaveShowToBytes(benchmark::State &state)
{
    COrinSUBDoc doc;
    AddCues(doc, state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ShowFileWriter::Encode(doc));
    state.counters["bytes"] = static_cast<double>(ShowFileWriter::Encode(doc).size());
}
BENCHMARK(SaveShowToBytes)->ArgName("cues")->Arg(0)->Arg(kMaxCues)->Unit(benchmark::kMicrosecond);

void LoadShowFromBytes(benchmark::State &state)
{
    COrinSUBDoc doc;
    AddCues(doc, state);
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    for (auto _ : state) {
        ShowFileParse parse = ShowFileReader::Parse(AsBytes(bytes));
        std::move(parse.content).ApplyTo(doc);
    }
}
BENCHMARK(LoadShowFromBytes)->ArgName("cues")->Arg(0)->Arg(kMaxCues)->Unit(benchmark::kMicrosecond);

void LoadAndSaveShowInMemory(benchmark::State &state)
{
    COrinSUBDoc doc;
    AddCues(doc, state);
    QByteArray bytes = ShowFileWriter::Encode(doc);
    for (auto _ : state) {
        ShowFileParse parse = ShowFileReader::Parse(AsBytes(bytes));
        std::move(parse.content).ApplyTo(doc);
        bytes = ShowFileWriter::Encode(doc);
    }
}
BENCHMARK(LoadAndSaveShowInMemory)
    ->ArgName("cues")
    ->Arg(0)
    ->Arg(kMaxCues)
    ->Unit(benchmark::kMicrosecond);

// Through the file system: open reads the file, save writes a temporary file, syncs it to disk
// and renames it, so this depends on the disk under the temporary folder.
void OpenAndSaveShowFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.orin"));
    COrinSUBDoc doc;
    AddCues(doc, state);
    if (!SaveShowFile(doc, path).IsOk()) {
        state.SkipWithError("cannot save in the temporary folder");
        return;
    }
    for (auto _ : state) {
        if (!OpenShowFile(doc, path).IsOk() || !SaveShowFile(doc, path).IsOk()) {
            state.SkipWithError("open or save failed");
            return;
        }
    }
}
BENCHMARK(OpenAndSaveShowFile)
    ->ArgName("cues")
    ->Arg(0)
    ->Arg(kMaxCues)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
