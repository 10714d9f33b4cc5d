// Console benchmarks: a full paint of each pane, one DMX input pick-up tick, idle cost, the cost
// of running chases.
//   build-rel/bin/console_bench   (headless: QT_QPA_PLATFORM=offscreen is the default here)

#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "dmx/OrinZentra.h"
#include "model/ChasePlayer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/DanConsoleView.h"
#include "views/LampConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace orinsub;

namespace {

/// The four panes in the main window's layout, shown, with every sub-master holding levels so
/// that the grooves and knobs are all drawn.
struct Console
{
    Console()
    {
        model::g_orin = model::COrinGlobal{};
        window.resize(1270, 724);
        left = new views::CLampConsoleView(views::CLampConsoleView::Side::Left, &window);
        dan = new views::CDanConsoleView(&doc, &window);
        master = new views::CMasterConsoleView(&doc, &window);
        left->setGeometry(0, 0, 28, 410);
        dan->setGeometry(29, 0, 1192, 410);
        master->setGeometry(0, 411, 1250, 312);
        for (int n = 1; n <= 20; ++n)
            doc.GetSubMaster(1, n)->m_levels[n] = 100;
        for (int ch = 1; ch <= 80; ++ch)
            doc.Channel(ch - 1).SetName(QStringLiteral("客席%1").arg(ch));
        dan->OnInitialUpdate();
        master->OnInitialUpdate();
        window.show();
        QCoreApplication::processEvents();
    }
    ~Console() { model::g_orin = model::COrinGlobal{}; }

    model::COrinSUBDoc doc;
    QWidget window;
    views::CLampConsoleView *left = nullptr;
    views::CDanConsoleView *dan = nullptr;
    views::CMasterConsoleView *master = nullptr;
};

void PaintPane(benchmark::State &state, QWidget *pane)
{
    QImage image(pane->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        pane->render(&image); // the pane and its name boxes, as a full expose paints them
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_PresetPanePaint(benchmark::State &state)
{
    Console console;
    for (int ch = 1; ch <= 80; ++ch) {
        console.dan->GetFader(ch - 1)->SetLevel(static_cast<uint8_t>(ch * 3));
        console.dan->SetOutputDisplayLevel(ch - 1, static_cast<uint8_t>(ch * 3));
    }
    console.dan->GetRow(0)->SetShowReadouts(true); // every readout on top as well
    PaintPane(state, console.dan->viewport());
}
BENCHMARK(BM_PresetPanePaint)->Unit(benchmark::kMillisecond);

void BM_MasterPanePaint(benchmark::State &state)
{
    Console console;
    PaintPane(state, console.master->viewport());
}
BENCHMARK(BM_MasterPanePaint)->Unit(benchmark::kMillisecond);

void BM_LampStripPaint(benchmark::State &state)
{
    Console console;
    PaintPane(state, console.left);
}
BENCHMARK(BM_LampStripPaint)->Unit(benchmark::kMicrosecond);

/// One pick-up tick with all 160 channel faders hooked and following an input that changes on
/// every tick (both rows' IN forced on, row B on air): every fader moves, repaints and remixes.
/// range(0) = 0 holds the input still instead.
void BM_PickUpTick160Hooked(benchmark::State &state)
{
    Console console;
    zentra::sim::Restore();
    ZENTRA_HANDLE device = Zentra_OpenIDW(zentra::sim::kDeviceId);
    dmx::COrinZentra port;
    port.SetHandle(device);
    model::g_orin.m_pZentra = &port;
    console.left->GetInButton(0)->SetOn(true);
    console.left->GetInButton(1)->SetOn(true);
    console.dan->HookRow(0);
    console.dan->HookRow(1);
    const bool moving = state.range(0) != 0;
    zentra::sim::Frame frames[2]{};
    for (int slot = 1; slot <= 80; ++slot) {
        frames[0][slot] = static_cast<uint8_t>(slot);
        frames[1][slot] = static_cast<uint8_t>(slot + 100);
    }
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (moving || tick == 0) {
            zentra::sim::SetInputFrame(frames[tick % 2]);
            port.ReadFrame();
        }
        QCoreApplication::processEvents(); // the repaints the previous tick asked for
        ++tick;
        state.ResumeTiming();
        console.dan->PickUpInput();
    }
    model::g_orin.m_pZentra = nullptr;
    Zentra_Close(device);
}
BENCHMARK(BM_PickUpTick160Hooked)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

/// One second of the event loop with the interface open and the panes' ticks running: the CPU
/// column is the console's idle cost per second (1 ms = 0.1 % of one core). range(0) = 1 has
/// row A taken over (its "IN" on, every fader hooked) with the input at rest.
void BM_IdleSecond(benchmark::State &state)
{
    Console console;
    zentra::sim::Restore();
    ZENTRA_HANDLE device = Zentra_OpenIDW(zentra::sim::kDeviceId);
    dmx::COrinZentra port;
    port.SetHandle(device);
    port.SetDeviceId(QString::fromUtf16(zentra::sim::kDeviceId));
    port.ReadFrame();
    model::g_orin.m_pZentra = &port;
    if (state.range(0) != 0) {
        console.left->GetInButton(0)->SetOn(true);
        console.dan->HookRow(0);
    }
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    model::g_orin.m_pZentra = nullptr;
    Zentra_Close(device);
}
BENCHMARK(BM_IdleSecond)->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);

/// One second of the event loop with state.range(0) chases running, each on its sub fader at
/// full: 16 steps of 80 channels, half of each step fading, at 120 BPM. The CPU column is what
/// the UI thread spends a second following them (the desk's levels, the output readouts and the
/// speed on each name box every 40 ms; the wire is the link tick's).
void BM_ChasesRunningSecond(benchmark::State &state)
{
    Console console;
    zentra::sim::Restore();
    ZENTRA_HANDLE device = Zentra_OpenIDW(zentra::sim::kDeviceId);
    dmx::COrinZentra port;
    port.SetHandle(device);
    model::g_orin.m_pZentra = &port;
    console.doc.EditChases([&](model::ChaseList &chases) {
        for (int n = 1; n <= state.range(0); ++n) {
            model::Chase chase;
            chase.number = n;
            chase.place = {1, n};
            chase.crossfadePercent = 50;
            chase.steps.resize(16);
            for (int s = 0; s < 16; ++s)
                for (int c = 0; c < model::kConsoleChannels; ++c)
                    chase.steps[s][c] = static_cast<uint8_t>((s * 16 + c * 3 + n) % 256);
            chases.Add(chase);
        }
        return model::ChaseEdit{};
    });
    for (int n = 1; n <= state.range(0); ++n)
        console.master->MoveSubFaderTo(n - 1, 255);
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state.counters["running"] = console.master->GetChasePlayer().IsAnyRunning();
    model::g_orin.m_pZentra = nullptr;
    Zentra_Close(device);
}
BENCHMARK(BM_ChasesRunningSecond)->Arg(1)->Arg(20)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
