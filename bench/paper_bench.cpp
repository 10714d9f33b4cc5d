// A show on paper and from another console: the PDF of a full cue list (time, bytes, pages), and
// a 999-cue USITT ASCII file read and put into a show as the console's import does.
//   build-rel/bin/paper_bench

#include "BenchShows.h"
#include "model/ShowExchange.h"
#include "model/UsittAscii.h"
#include "print/ShowPrinter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

using namespace orinsub;

namespace {

void PdfOfFullCueList(benchmark::State &state)
{
    model::COrinSUBDoc doc;
    bench::AddCues(doc, model::kMaxCues);
    const print::PaperJob job{
        {print::Sheet::Cues}, QStringLiteral("bench"), QDateTime::currentDateTime()};
    qint64 bytes = 0;
    int pages = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            print::ShowPrinter::SetUpA4(writer, QPageLayout::Portrait);
            pages = print::ShowPrinter::Print(doc, job, writer);
        }
        bytes = buffer.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["pages"] = pages;
}
BENCHMARK(PdfOfFullCueList)->Iterations(3)->Unit(benchmark::kMillisecond);

void ImportFullCueListFromAscii(benchmark::State &state)
{
    model::COrinSUBDoc source;
    bench::AddCues(source, model::kMaxCues);
    const QByteArray file = model::UsittAscii::Write(model::ExchangedShowOf(source));
    model::COrinSUBDoc doc;
    for (auto _ : state) {
        const model::ExchangeRead read = model::UsittAscii::Read(file);
        benchmark::DoNotOptimize(model::ApplyExchangedShow(doc, read.show));
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(ImportFullCueListFromAscii)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv); // fonts for the PDF
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
