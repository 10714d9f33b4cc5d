#pragma once

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "dmx/OrinZentra.h"
#include "dmx/PeriodicTimer.h"
#include "model/OrinGlobal.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

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

/// The console's main window once it is shown with its interface open; null, said on stderr,
/// when it did not come up.
inline app::CMainFrame *StartConsole(app::COrinSUBApp &console)
{
    if (!console.InitInstance({}))
        return nullptr;
    app::CMainFrame *frame = console.GetMainFrame();
    if (!QTest::qWaitForWindowExposed(frame) ||
        !QTest::qWaitFor([] { return model::g_orin.m_pZentra->IsOpen(); }, 2000)) {
        std::fprintf(stderr, "the console or its interface did not come up\n");
        return nullptr;
    }
    return frame;
}

} // namespace orinsub::bench
