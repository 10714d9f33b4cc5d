#pragma once

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
