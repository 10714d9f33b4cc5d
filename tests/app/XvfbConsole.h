#pragma once

#include "support/Processes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>

namespace orinsub::testing {

/// The real console on a private X server, with settings and state folders of its own, driven
/// through the X test extension as an operator would, and stopped however the test likes.
class XvfbConsoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        // Unix socket only; the server says on standard output when it takes connections.
        for (int attempt = 0; attempt < 20 && display.isEmpty(); ++attempt) {
            const int number = PrivateDisplayNumber(attempt);
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            server.start("Xvfb", {':' + QString::number(number), "-displayfd", "1", "-nolisten",
                                  "tcp", "-screen", "0", "1280x1024x24"});
            const bool ready = QTest::qWaitFor(
                [&] { return server.canReadLine() || server.state() == QProcess::NotRunning; },
                10000);
            if (ready && server.canReadLine())
                display = ':' + QString::number(number);
            else
                StopProcess(server); // the number was taken after all
        }
        ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
    }
    void TearDown() override
    {
        StopProcess(console);
        StopProcess(server);
    }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = ConsoleEnvironment(folder.path());
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        return environment;
    }
    /// Where the console keeps its recovery files.
    QString StateFolder() const { return folder.filePath("state/OrinSUB"); }
    void StartConsole(const QStringList &arguments)
    {
        console.setProcessEnvironment(Environment());
        console.setProcessChannelMode(QProcess::ForwardedChannels); // its messages in the log
        console.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
        ASSERT_TRUE(console.waitForStarted());
    }
    /// Ends the console with a signal; true when it ended within 10 s.
    bool Signal(int signal)
    {
        ::kill(static_cast<pid_t>(console.processId()), signal);
        return console.waitForFinished(10000);
    }
    /// Runs xdotool; its output, or nothing when it failed.
    std::optional<QString> XDo(const QStringList &arguments)
    {
        QProcess xdo;
        xdo.setProcessEnvironment(Environment());
        xdo.start("xdotool", arguments);
        if (!xdo.waitForFinished(20000) || xdo.exitCode() != 0) {
            ADD_FAILURE() << "xdotool " << arguments.join(' ').toStdString() << ": "
                          << xdo.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return QString::fromLocal8Bit(xdo.readAllStandardOutput()).trimmed();
    }
    /// Gives the keyboard to the main window once it shows with this title.
    bool FocusWindow(const QString &title)
    {
        const std::optional<QString> window = WindowShown(title);
        return window && XDo({"windowfocus", "--sync", *window});
    }
    /// Waits (up to a minute: a sanitised console starts slowly on a busy machine) until the
    /// main window shows with this title.
    bool WaitForTitle(const QString &title) { return WindowShown(title).has_value(); }
    /// The window once it has this title and shows on the screen: a window gets its title
    /// before it is mapped, and cannot take the focus until it is.
    std::optional<QString> WindowShown(const QString &title)
    {
        std::optional<QString> window;
        if (PollWindows([&] { return (window = VisibleWindow(title)).has_value(); }))
            return window;
        ADD_FAILURE() << "no window \"" << title.toStdString() << "\" within a minute; console "
                      << (console.state() == QProcess::Running ? "running" : "ended");
        return std::nullopt;
    }
    /// Waits (up to a minute) until no window with this title shows: a box the operator
    /// answered has gone once the console took the answer.
    bool WaitUntilGone(const QString &title)
    {
        if (PollWindows([&] { return !VisibleWindow(title).has_value(); }))
            return true;
        ADD_FAILURE() << "the window \"" << title.toStdString() << "\" still shows after a minute";
        return false;
    }
    /// The window with this title that shows on the screen now, if one does.
    std::optional<QString> VisibleWindow(const QString &title)
    {
        QProcess xdo;
        xdo.setProcessEnvironment(Environment());
        xdo.start("xdotool", {"search", "--onlyvisible", "--name", '^' + title + '$'});
        if (xdo.waitForFinished(20000) && xdo.exitCode() == 0)
            return QString::fromLocal8Bit(xdo.readAllStandardOutput()).trimmed();
        return std::nullopt;
    }
    /// Asks the X server until done, for up to a minute (a sanitised console starts slowly on a
    /// busy machine). Polled: xdotool's own --sync wait can miss a window that shows while it
    /// waits.
    template <typename Done> static bool PollWindows(Done done)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000) {
            if (done())
                return true;
            QTest::qWait(200); // each look starts a program: five a second are enough
        }
        return false;
    }

    QTemporaryDir folder;
    QProcess server;
    QProcess console;
    QString display;
};

} // namespace orinsub::testing
