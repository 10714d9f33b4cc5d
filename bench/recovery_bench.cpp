// Recovery copy: what a start adds to claim a slot, what the UI thread spends on each 30 s check
// of a changed show, and how long the worker takes to put a copy on disk (two synced files and
// the folder, on the disk under the temporary folder).
#include "app/RecoverySlot.h"
#include "app/RecoveryWriter.h"
#include "model/OrinSUBDoc.h"
#include "model/ShowFileWriter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace orinsub;

namespace {

// The start's share: the folder made, a free slot locked and looked at for a left copy.
void RecoverySlotClaimedAtStart(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        QString error;
        const auto slot = app::CRecoverySlot::Claim(dir.filePath("OrinSUB"), error);
        if (!slot || slot->Left()) {
            state.SkipWithError("no free slot, or a left copy");
            return;
        }
    }
}
BENCHMARK(RecoverySlotClaimedAtStart)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Encoding the show and comparing it with the copy on disk, which is unchanged.
void RecoveryCheckOnTheUiThread(benchmark::State &state)
{
    model::COrinSUBDoc doc;
    const QByteArray written = model::ShowFileWriter::Encode(doc);
    for (auto _ : state) {
        const QByteArray show = model::ShowFileWriter::Encode(doc);
        benchmark::DoNotOptimize(show == written);
    }
}
BENCHMARK(RecoveryCheckOnTheUiThread)->Unit(benchmark::kMicrosecond);

void RecoveryCopyWrittenByTheWorker(benchmark::State &state)
{
    QTemporaryDir dir;
    model::COrinSUBDoc doc;
    const QByteArray show = model::ShowFileWriter::Encode(doc);
    app::CRecoveryWriter writer({dir.filePath("recovery-1.path"), dir.filePath("recovery-1.orin")});
    for (auto _ : state) {
        writer.Write({QByteArrayLiteral("/home/operator/shows/evening.orin"), show});
        writer.WaitUntilDone();
    }
    if (writer.FailedWrites() > 0)
        state.SkipWithError("the copy could not be written");
}
BENCHMARK(RecoveryCopyWrittenByTheWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
