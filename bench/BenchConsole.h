#pragma once

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "dmx/OrinZentra.h"
#include "dmx/PeriodicTimer.h"
#include "model/OrinGlobal.h"

#include "zentra/SimulatedInterface.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace orinsub::bench {

/// The whole number after a benchmark's option ("--moves 300"), or fallback without it.
inline int IntOption(int argc, char **argv, const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return fallback;
}

/// CPU milliseconds the whole process has used so far.
inline double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// CPU milliseconds the calling thread has used so far.
inline double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// A link timer that never ticks, so that a benchmark measures the window alone.
class StillTimer : public dmx::PeriodicTimer
{
public:
    bool Start(std::chrono::nanoseconds, Tick) override { return m_running = true; }
    void Stop() override { m_running = false; }
    bool IsRunning() const override { return m_running; }

private:
    bool m_running = false;
};

/// Every link the console opens from now on gets a StillTimer.
inline void KeepLinksStill()
{
    dmx::SetPeriodicTimerFactory(
        [] { return std::unique_ptr<dmx::PeriodicTimer>(new StillTimer); });
}

/// Shows the main window alone, without the application around it (no show reopened, no
/// recovery journal); false when it did not show.
inline bool ShowWindow(app::CMainFrame &frame)
{
    frame.OnInitialUpdate();
    frame.show();
    return QTest::qWaitForWindowExposed(&frame);
}

/// Off-screen, with settings and recovery copies in a folder of its own (no show reopened, no
/// surface configured): make it before the QApplication.
class BenchFolders
{
public:
    BenchFolders()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", m_folder.path().toLocal8Bit().constData(), 1);
        setenv("XDG_STATE_HOME", m_folder.path().toLocal8Bit().constData(), 1);
    }

private:
    QTemporaryDir m_folder;
};

/// Whether the main window shows and the interface is open; when not, said on stderr.
inline bool CameUp(app::CMainFrame &frame)
{
    if (QTest::qWaitForWindowExposed(&frame) &&
        QTest::qWaitFor([] { return model::g_orin.m_pZentra->IsOpen(); }, 2000))
        return true;
    std::fprintf(stderr, "the console or its interface did not come up\n");
    return false;
}

/// The whole console as the operator starts it, off-screen in folders of its own: the folders
/// come before the application, the application before the console.
class BenchConsole
{
public:
    BenchConsole(int &argc, char **argv) : m_application(argc, argv) {}

    /// The main window once it is shown with its interface open; null when it did not come up.
    app::CMainFrame *Start()
    {
        if (!m_console.InitInstance({}))
            return nullptr;
        app::CMainFrame *frame = m_console.GetMainFrame();
        return CameUp(*frame) ? frame : nullptr;
    }

private:
    BenchFolders m_folders;
    QApplication m_application;
    app::COrinSUBApp m_console;
};

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

/// Median, 99th percentile and largest of a benchmark's figures, in their unit.
struct Spread
{
    double median = 0, p99 = 0, largest = 0;
};

inline Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    auto at = [&](double q) {
        return values[std::min(values.size() - 1, size_t(q * values.size()))];
    };
    return {at(0.5), at(0.99), values.back()};
}

/// Runs the event loop every 50 µs until done() or a second passed; false on the timeout.
inline bool Serve(const std::function<bool()> &done)
{
    const Clock::time_point start = Clock::now();
    while (!done()) {
        if (Clock::now() - start > std::chrono::seconds(1))
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

/// Milliseconds from sent until the simulated interface wrote a frame with level in slot 1,
/// with the write times taken just before sending; nothing without it within a second.
inline std::optional<double> MsUntilOnWire(int level, Clock::time_point sent)
{
    if (!Serve([&] { return zentra::sim::LastWrittenFrame()[1] == level; }))
        return std::nullopt;
    // The write that carried it is the last one so far: they are 20 ms apart.
    const auto writes = zentra::sim::TakeWriteTimes();
    if (writes.empty())
        return std::nullopt;
    return Milliseconds(writes.back() - sent);
}

} // namespace orinsub::bench
