#include "model/OrinSUBDoc.h"
#include "model/ShowFile.h"
#include "support/Processes.h"
#include "support/ProgramRun.h"
#include "support/TempFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLocalSocket>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The console as the operator starts it, headless, with a settings store of its own.
class CommandLineTest : public ::testing::Test
{
protected:
    using Run = orinsub::testing::ProgramRun;

    /// Waits until a console started without a show listens for shows handed to it: by then
    /// it is up, its stop signals handled.
    bool WaitUntilListening()
    {
        // The running console's socket: the user's, for the settings folder it uses.
        const QString socket = QStringLiteral("orinsub-%1-%2")
                                   .arg(getuid())
                                   .arg(QString::fromLatin1(
                                       QCryptographicHash::hash(folder.filePath("config").toUtf8(),
                                                                QCryptographicHash::Sha1)
                                           .toHex()
                                           .left(12)));
        return QTest::qWaitFor(
            [&] {
                QLocalSocket probe;
                probe.connectToServer(socket);
                return probe.waitForConnected(100);
            },
            30000);
    }
    void SetEnvironment(QProcess &process)
    {
        QProcessEnvironment environment = orinsub::testing::ConsoleEnvironment(folder.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // As a desktop session has it: Qt warns on standard error without one.
        const QString runtime = folder.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", runtime);
        process.setProcessEnvironment(environment);
    }
    void Launch(QProcess &process, const QStringList &arguments)
    {
        SetEnvironment(process);
        process.start(QStringLiteral(ORINSUB_EXECUTABLE), arguments);
    }
    Run Start(const QStringList &arguments)
    {
        QProcess process;
        SetEnvironment(process);
        return orinsub::testing::RunToEnd(process, QStringLiteral(ORINSUB_EXECUTABLE), arguments);
    }

    /// A UDP port free on 127.0.0.1 a moment ago.
    static quint16 FreeUdpPort()
    {
        QUdpSocket probe;
        EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        return probe.localPort();
    }
    /// What the console's OSC surface answers a fader move with, asking again every 200 ms
    /// until it answers or timeoutMs pass; empty without an answer.
    static QByteArray OscAnswer(quint16 consolePort, int timeoutMs)
    {
        QUdpSocket client;
        EXPECT_TRUE(client.bind(QHostAddress::LocalHost, 0));
        // "/orinsub/A/1" with the float 0.5, as OSC lays it out.
        const QByteArray move("/orinsub/A/1\0\0\0\0,f\0\0\x3f\0\0\0", 24);
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            client.writeDatagram(move, QHostAddress::LocalHost, consolePort);
            if (client.waitForReadyRead(200))
                return client.receiveDatagram().data();
        }
        return {};
    }

    QTemporaryDir folder;
};

TEST_F(CommandLineTest, HelpListsEveryOption)
{
    const Run run = Start({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char *option :
         {"--dmx DEVICE", "--list-devices", "--screenshot FILE", "--restore yes|no",
          "--osc [ADDRESS:]PORT", "SHOW", "--help", "artnet:", "--remote [ADDRESS:]PORT",
          "--remote-pairing always|auto", "--version"})
        EXPECT_TRUE(run.out.contains(option)) << option;
}

// A manual page as the reader sees it, near enough: one line per macro line, the words of the
// font-alternating macros joined, font changes and escapes gone.
QString ManualPageText(const QString &page)
{
    QFile file(QStringLiteral(ORINSUB_MAN_DIR "/") + page);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    static const QRegularExpression macro(R"(^\.(B|I|BI|IB|BR|RB|IR|RI|TP)( |$))");
    static const QRegularExpression argument(R"re("([^"]*)"|(\S+))re");
    QStringList lines;
    for (QString line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (const QRegularExpressionMatch m = macro.match(line); m.hasMatch()) {
            QStringList words;
            for (const QRegularExpressionMatch &word :
                 argument.globalMatch(line.mid(m.capturedEnd())))
                words << word.captured(1) + word.captured(2);
            line = words.join(m.captured(1).size() == 2 ? QString() : QStringLiteral(" "));
        }
        lines << line.remove(QRegularExpression(R"(\\f[BIRP]|\\&)"))
                     .replace(QStringLiteral("\\-"), QStringLiteral("-"));
    }
    return lines.join(u'\n');
}

TEST_F(CommandLineTest, ManualPagesDescribeEveryOptionCommandAndInterfaceForm)
{
    static const QRegularExpression option(R"((?<![\w/-])--?[a-z][a-z-]*)");
    static const QRegularExpression form(R"(^ +(sim|[a-z]+:\S+)$)",
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression command(R"(^  ([a-z][a-z-]*)\b)",
                                            QRegularExpression::MultilineOption);
    QProcess tool;
    tool.start(QStringLiteral(ORINSUB_SHOW_TOOL), {QStringLiteral("--help")});
    ASSERT_TRUE(tool.waitForFinished(10000));
    const struct
    {
        QString help;
        QStringList pages;
    } programs[] = {
        {Start({"--help"}).out, {"orinsub.1", "orinsub.ja.1"}},
        {QString::fromUtf8(tool.readAllStandardOutput()), {"orinsub-show.1", "orinsub-show.ja.1"}}};
    for (const auto &program : programs) {
        QStringList mentioned, leading;
        for (const QRegularExpression *pattern : {&option, &form})
            for (const QRegularExpressionMatch &m : pattern->globalMatch(program.help))
                mentioned << m.captured(pattern == &form ? 1 : 0);
        for (const QRegularExpressionMatch &m : command.globalMatch(program.help))
            leading << m.captured(1);
        ASSERT_GE(mentioned.size(), 3) << program.help.toStdString();
        for (const QString &page : program.pages) {
            const QString text = ManualPageText(page);
            for (const QString &word : mentioned)
                EXPECT_TRUE(text.contains(word))
                    << page.toStdString() << ": " << word.toStdString();
            for (const QString &word : leading)
                EXPECT_TRUE(
                    text.contains(QRegularExpression(QStringLiteral("(?m)^") + word + "\\b")))
                    << page.toStdString() << ": " << word.toStdString();
        }
    }
}

TEST_F(CommandLineTest, VersionIsPrintedByBothPrograms)
{
    const Run console = Start({"--version"});
    EXPECT_EQ(console.exitCode, 0);
    EXPECT_EQ(console.out, QStringLiteral("orinsub " ORINSUB_VERSION "\n"));
    QProcess tool;
    tool.start(QStringLiteral(ORINSUB_SHOW_TOOL), {QStringLiteral("--version")});
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(tool.readAllStandardOutput(), QByteArray("orinsub-show " ORINSUB_VERSION "\n"));
}

TEST_F(CommandLineTest, BadArgumentsEndTheStartWithOneLine)
{
    // Named files that are no mapping file: none may hold up the start.
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile huge(folder.filePath("huge.json"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 32));
    for (const QStringList &arguments :
         {QStringList{"--midi-map", fifo}, QStringList{"--midi-map", folder.path()},
          QStringList{"--midi-map", "/dev/zero"}, QStringList{"--midi-map", huge.fileName()},
          QStringList{"--dmx", "dmxking"}, QStringList{"--dmx", "artnet:"},
          QStringList{"--volume", "11"}, QStringList{"--dmx"}, QStringList{"a.orin", "b.orin"},
          QStringList{"--restore", "maybe"}, QStringList{"--osc", "localhost:8000"},
          QStringList{"--osc", "80000"}, QStringList{"--remote", "99999"},
          QStringList{"--remote", "console.local:8080"},
          QStringList{"--remote-pairing", "never"}}) {
        const Run run = Start(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("orinsub: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
    EXPECT_TRUE(Start({"--dmx", "dmxking"}).err.contains("dmxking"));
}

TEST_F(CommandLineTest, RemoteServesItsPageWhileTheConsoleRuns)
{
    QProcess console;
    Launch(console, {"--remote", "127.0.0.1:0"});
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += console.readAllStandardOutput();
            return out.contains("/\n");
        },
        30000))
        << out.constData();
    const QUrl url(QString::fromUtf8(out.mid(out.indexOf("http://")).trimmed()));
    QTcpSocket socket;
    socket.connectToHost(url.host(), static_cast<quint16>(url.port()));
    socket.write("GET / HTTP/1.1\r\nHost: " + url.authority().toLatin1() + "\r\n\r\n");
    QByteArray page;
    QTest::qWaitFor([&] {
        page += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    });
    EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK")) << page.left(80).constData();
    EXPECT_TRUE(page.contains("data-target=\"go\""));
    console.terminate();
    EXPECT_TRUE(console.waitForFinished(10000));
}

TEST_F(CommandLineTest, ListDevicesPrintsTheSimulatedInterface)
{
    const Run run = Start({"--list-devices"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "SIM-1\n");
}

TEST_F(CommandLineTest, ScreenshotSavesTheWholeWindowWithTheShowAndEnds)
{
    orinsub::model::COrinSUBDoc show;
    show.Channel(0).SetName(QStringLiteral("Front"));
    const QString path = folder.filePath("front.orin");
    ASSERT_TRUE(orinsub::model::SaveShowFile(show, path).IsOk());
    const QString png = folder.filePath("desk.png");

    const Run run = Start({"--screenshot", png, path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1270, 768));
    EXPECT_EQ(image.pixelColor(600, 300), QColor(63, 63, 63)); // a pane, not an empty window
}

TEST_F(CommandLineTest, ScreenshotOfAShowThatCannotBeOpenedSaysWhyAndEnds)
{
    const QString png = folder.filePath("desk.png");
    const Run run = Start({"--screenshot", png, folder.filePath("missing.orin")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("missing.orin")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
}

TEST_F(CommandLineTest, StartsWhileAConsoleRunsGoToItOrEndWithoutTakingItsPlace)
{
    QProcess console;
    Launch(console, {});
    ASSERT_TRUE(WaitUntilListening());
    orinsub::model::COrinSUBDoc show;
    const QString path = folder.filePath("handed.orin");
    ASSERT_TRUE(orinsub::model::SaveShowFile(show, path).IsOk());
    const auto recentShow = [&] {
        const QSettings settings(folder.filePath("config/OrinSUB/OrinSUB.conf"),
                                 QSettings::IniFormat);
        return settings.value("Recent File List/File1").toString();
    };

    // Options would not reach the running console: the start says so and hands nothing over.
    const Run refused = Start({"--dmx", "sim", "--osc", "9000", path});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.startsWith("orinsub: ") && refused.err.count('\n') == 1 &&
                refused.err.contains("--dmx --osc"))
        << refused.err.toStdString();
    QTest::qWait(500); // the running console's time to take a show handed over by mistake
    EXPECT_NE(recentShow(), path);

    // Without a show the running console comes to the front and keeps its socket.
    const Run plain = Start({});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out.count('\n'), 1) << plain.out.toStdString();

    const Run second = Start({path});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.contains(path) && second.out.count('\n') == 1)
        << second.out.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return recentShow() == path; }, 10000));
    console.kill();
    console.waitForFinished();
}

TEST_F(CommandLineTest, TerminalInterruptClosesTheConsoleLikeItsWindow)
{
    for (int signal : {SIGINT, SIGTERM}) {
        QProcess console;
        Launch(console, {});
        ASSERT_TRUE(console.waitForStarted());
        ASSERT_TRUE(WaitUntilListening()) << signal; // up and running, the show untouched
        ::kill(static_cast<pid_t>(console.processId()), signal);
        ASSERT_TRUE(console.waitForFinished(10000)) << signal;
        EXPECT_EQ(console.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(console.exitCode(), 0) << signal;
    }
}

// The console started with --osc answers a client on 127.0.0.1 with the desk.
TEST_F(CommandLineTest, OscClientsReachTheConsoleOnTheGivenPort)
{
    const quint16 consolePort = FreeUdpPort();
    QProcess console;
    Launch(console, {"--osc", QStringLiteral("127.0.0.1:%1").arg(consolePort)});
    ASSERT_TRUE(console.waitForStarted());

    const QByteArray heard = OscAnswer(consolePort, 20000);
    // The desk, bundled.
    EXPECT_TRUE(heard.startsWith(QByteArray("#bundle\0", 8)) && heard.contains("/orinsub/A/1\0"))
        << heard.toHex().toStdString();
    ::kill(static_cast<pid_t>(console.processId()), SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0);
    // On closing, what came in: here the one move, maybe sent a few times.
    const QString said = QString::fromLocal8Bit(console.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("無視 0 (")) &&
                said.contains(QStringLiteral("取りこぼし 0")))
        << said.toStdString();
}

// Lines an editor or a damaged disk left in the settings: each is told on standard error and
// its default used, and none holds up the start (it took a minute; the time to the first OSC
// answer is printed, not asserted: a busy machine stretches it).
TEST_F(CommandLineTest, DamagedSettingsLinesAreToldAndNeitherHoldUpTheStartNorTheDesk)
{
    QDir().mkpath(folder.filePath("config/OrinSUB"));
    ASSERT_TRUE(orinsub::testing::WriteFile(folder.filePath("config/OrinSUB/OrinSUB.conf"),
                                            "[Remote]\nEnabled=true\nEndpoint=127.0.0.1:0\n"
                                            "[RemoteDevices]\nsize=2147483647\n"
                                            "[window]\nmasterRowHeight=2147483647\n"));
    const quint16 consolePort = FreeUdpPort();
    QProcess console;
    QElapsedTimer started;
    started.start();
    Launch(console, {"--osc", QStringLiteral("127.0.0.1:%1").arg(consolePort)});
    EXPECT_FALSE(OscAnswer(consolePort, 20000).isEmpty()) << "no answer within 20 s of the start";
    std::printf("first OSC answer %lld ms after the start\n",
                static_cast<long long>(started.elapsed()));
    ::kill(static_cast<pid_t>(console.processId()), SIGTERM);
    ASSERT_TRUE(console.waitForFinished(60000));
    const QString said = QString::fromLocal8Bit(console.readAllStandardError());
    for (const char *key : {"RemoteDevices/size", "window/masterRowHeight"})
        EXPECT_EQ(said.count(QString::fromLatin1(key)), 1) << key << ": " << said.toStdString();
}

} // namespace
