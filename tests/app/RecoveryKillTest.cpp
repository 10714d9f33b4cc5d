#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace orinsub;

// The real console on a private X server, typed into through the X test extension as an
// operator would, then killed outright.
class RecoveryKillTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        // Unix socket only; the server names its free display on standard output.
        server.start("Xvfb",
                     {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
        ASSERT_TRUE(server.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000));
        display = ':' + QString::fromLatin1(server.readLine()).trimmed();
    }
    void TearDown() override
    {
        // The X server is asked to end, so that it removes its socket and lock.
        for (QProcess *process : {&console, &server}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(5000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        environment.insert("XDG_STATE_HOME", folder.filePath("state"));
        environment.remove("ORINSUB_DMX");
        return environment;
    }
    void StartConsole(const QStringList &arguments)
    {
        console.setProcessEnvironment(Environment());
        console.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
        ASSERT_TRUE(console.waitForStarted());
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
    /// Gives the keyboard to the main window once it has this title.
    bool FocusWindow(const QString &title)
    {
        const std::optional<QString> window =
            XDo({"search", "--sync", "--name", '^' + title + '$'});
        return window && XDo({"windowfocus", "--sync", *window});
    }
    /// Waits (up to 20 s) until the main window has this title.
    bool WaitForTitle(const QString &title)
    {
        return XDo({"search", "--sync", "--name", '^' + title + '$'}).has_value();
    }
    QByteArray Dump(const QString &show)
    {
        QProcess tool;
        tool.start(QStringLiteral(ORINSUB_SHOW_TOOL), {"dump", show});
        EXPECT_TRUE(tool.waitForFinished(20000));
        EXPECT_EQ(tool.exitCode(), 0) << show.toStdString();
        return tool.readAllStandardOutput();
    }

    QTemporaryDir folder;
    QProcess server;
    QProcess console;
    QString display;
};

TEST_F(RecoveryKillTest, WorkTypedThirtySecondsBeforeAKillIsRestoredAtTheNextStart)
{
    const QString show = folder.filePath("evening.orin");
    const QString expected = folder.filePath("expected.orin");
    {
        model::COrinSUBDoc doc;
        ASSERT_TRUE(model::SaveShowFile(doc, show).IsOk());
        doc.GetSubMaster(1, 1)->m_name = QStringLiteral("Wash");
        ASSERT_TRUE(model::SaveShowFile(doc, expected).IsOk());
    }

    StartConsole({show});
    ASSERT_TRUE(FocusWindow("evening - OrinSUB"));
    // Tab takes the keyboard into the first sub-master's name.
    ASSERT_TRUE(XDo({"key", "Tab"}));
    ASSERT_TRUE(XDo({"type", "--delay", "20", "Wash"}));
    ASSERT_TRUE(WaitForTitle("evening\\* - OrinSUB"));
    QTest::qWait(32000); // the copy is due 30 s after the change
    ::kill(static_cast<pid_t>(console.processId()), SIGKILL);
    ASSERT_TRUE(console.waitForFinished(10000));

    const QString copy = folder.filePath("state/OrinSUB/recovery-1.orin");
    ASSERT_TRUE(QFile::exists(copy));
    EXPECT_EQ(Dump(copy), Dump(expected));

    // Restored, the show is the modified one from before, saved under its own name.
    StartConsole({"--restore", "yes"});
    ASSERT_TRUE(FocusWindow("evening\\* - OrinSUB"));
    ASSERT_TRUE(XDo({"key", "ctrl+s"}));
    ASSERT_TRUE(WaitForTitle("evening - OrinSUB"));
    ::kill(static_cast<pid_t>(console.processId()), SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0);
    EXPECT_EQ(Dump(show), Dump(expected));
    EXPECT_TRUE(QDir(folder.filePath("state/OrinSUB")).entryList({"*.orin"}).isEmpty());
}

} // namespace
