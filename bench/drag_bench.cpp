// Memory and time of a section drag (a plain program, run by hand on the Release build:
// build-drag-rel/bin/drag_bench [--rounds N]).
//
// The console's main window, off-screen, with every sub-master holding levels. For a row, the
// output strip and a sub-master in turn, N drags each: press, wait for the previews, move over
// every drop target, release over the source (so nothing is copied). Reported per drag: how
// long the worker took for all previews; the image memory the drag holds (section, small image,
// previews); and how far the resident memory rose above what it was before the press, at its
// peak (the kernel's high-water mark, reset before each drag).

#include "BenchConsole.h"
#include "app/DragOverlay.h"
#include "app/DragPreviewBuilder.h"
#include "app/MainFrame.h"
#include "app/SectionDrag.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/SubFader.h"
#include "dmx/PeriodicTimer.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

using namespace orinsub;

namespace {

using Clock = std::chrono::steady_clock;

long StatusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    const size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, length, field) == 0)
            return std::strtol(line.c_str() + length, nullptr, 10);
    }
    return -1;
}

/// Sets the peak resident size back to the present one; false where the kernel does not allow.
bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

struct Section
{
    const char *name;
    std::function<QPoint()> press; // window point on the section, beside any knob
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int rounds = std::max(1, bench::IntOption(argc, argv, "--rounds", 3));
    QApplication application(argc, argv);
    bench::KeepLinksStill();

    model::COrinSUBDoc doc;
    model::g_orin.m_pDoc = &doc;
    for (int n = 1; n <= 20; ++n)
        doc.GetSubMaster(1, n)->m_levels.assign(512, static_cast<uint8_t>(10 * n));
    app::CMainFrame frame(&doc);
    if (!bench::ShowWindow(frame))
        return 1;
    QApplication::setActiveWindow(&frame);
    QWindow *window = frame.windowHandle();
    views::CDanConsoleView &dan = *frame.GetDanView();
    views::CMasterConsoleView &master = *frame.GetMasterView();
    app::SectionDrag &drag = frame.GetSectionDrag();
    auto inWindow = [&](const QWidget *client, QPoint p) { return client->mapTo(&frame, p); };

    const Section sections[] = {
        {"row A", [&] { return inWindow(dan.viewport(), QPoint(20, 40)); }},
        {"output", [&] { return inWindow(dan.viewport(), dan.GetLevelStripRect().center()); }},
        {"sub-master 1", [&] { return inWindow(master.viewport(), QPoint(55, 8)); }},
    };
    std::vector<QPoint> targets;
    for (int i = 0; i < 2; ++i)
        targets.push_back(inWindow(dan.viewport(), dan.GetRow(i)->GetRect().center()));
    for (int j = 0; j < master.GetSubFaderCount(); ++j)
        targets.push_back(
            inWindow(master.viewport(), master.GetSubFader(j)->GetTrackRect().center()));

    const bool peakResets = ResetPeak();
    std::printf("section drag, %d rounds per section%s\n", rounds,
                peakResets ? "" : " (peak resident memory cannot be reset here: not measured)");
    std::printf("%-14s %6s %12s %12s %14s\n", "section", "round", "previews ms", "images KiB",
                "peak rise KiB");
    long worstRise = 0;
    for (const Section &section : sections) {
        for (int round = 1; round <= rounds; ++round) {
            QCoreApplication::processEvents();
            const long before = StatusKiB("VmRSS:");
            ResetPeak();
            const QPoint from = section.press();
            const auto start = Clock::now();
            QTest::mousePress(window, Qt::LeftButton, {}, from);
            const app::DragPreviewBuilder *previews = drag.GetTargetImages();
            if (!previews) {
                std::printf("%s: no drag started\n", section.name);
                return 1;
            }
            while (previews->GetBuiltCount() < previews->GetTargetCount())
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            const qsizetype bytes = previews->GetImageBytes() +
                                    drag.GetOverlay().GetPicture().front().image.sizeInBytes();
            for (QPoint target : targets)
                QTest::mouseMove(window, target);
            QTest::mouseRelease(window, Qt::LeftButton, {}, from);
            QCoreApplication::processEvents();
            const long rise = StatusKiB("VmHWM:") - before;
            worstRise = std::max(worstRise, rise);
            std::printf("%-14s %6d %12.1f %12lld %14ld\n", section.name, round, ms,
                        static_cast<long long>(bytes / 1024), peakResets ? rise : -1L);
        }
    }
    if (peakResets)
        std::printf("largest rise of the resident memory during a drag: %.1f MiB\n",
                    worstRise / 1024.0);
    return 0;
}
