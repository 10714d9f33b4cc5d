#include "RemoteFixture.h"
#include "model/ChasePlayer.h"
#include "views/CuePlayback.h"
#include "views/GoFade.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

using namespace orinsub;
using orinsub::testing::RemoteTest;

namespace {

const QString kScriptFolder = QStringLiteral(ORINSUB_WEB_TEST_DIR);

/// The page in headless Chromium, driven by browser_test.mjs through puppeteer-core; this side
/// answers the script's questions about the console and moves the console's own faders.
class BrowserTest : public RemoteTest
{
protected:
    BrowserTest()
    {
        for (int n = 1; n <= 4; ++n)
            doc.GetSubMaster(1, n)->m_levels[n - 1] = 255; // sub-master n lights channel n
        doc.GetSubMaster(1, 1)->m_name = QStringLiteral("オープニング 全景 客電落ち");
        for (const auto &[number, label] : {std::pair{10, "客入れ"}, {25, "House up"}, {30, ""}}) {
            model::Cue cue;
            cue.number = number;
            cue.label = QString::fromUtf8(label);
            cue.upTime = cue.downTime = 0;
            EXPECT_TRUE(doc.m_extension.cues.Add(cue).IsOk());
        }
        desk.SetCuePlayback(&cues);
        // Sub-master 6 holds chase 1, one step lighting channel 6.
        model::Chase chase;
        chase.steps = {model::ChaseLook{}};
        chase.steps[0][5] = 255;
        chase.place = {1, 6};
        EXPECT_TRUE(doc.m_extension.chases.Add(chase).IsOk());
    }

    /// puppeteer-core as package-lock.json pins it, installed without any browser download.
    static bool InstallPuppeteer(QString &why)
    {
        if (QFileInfo::exists(kScriptFolder + QStringLiteral("/node_modules/puppeteer-core")))
            return true;
        QProcess npm;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PUPPETEER_SKIP_DOWNLOAD"), QStringLiteral("1"));
        npm.setProcessEnvironment(environment);
        npm.setWorkingDirectory(kScriptFolder);
        npm.start(QStringLiteral("npm"), {QStringLiteral("ci"), QStringLiteral("--no-audit"),
                                          QStringLiteral("--no-fund")});
        if (!npm.waitForFinished(300000) || npm.exitCode() != 0) {
            why = QString::fromLocal8Bit(npm.readAllStandardError());
            return false;
        }
        return true;
    }

    QJsonObject DeskReply()
    {
        QJsonArray wire;
        port.WriteFrame();
        const zentra::sim::Frame frame = zentra::sim::LastWrittenFrame();
        for (int slot = 1; slot <= 20; ++slot)
            wire.append(frame[slot]);
        QJsonArray subs;
        for (int n = 1; n <= 20; ++n)
            subs.append(Sub(n).GetLevel());
        // The controls the page shows only when the console has their target.
        QJsonArray targets;
        for (const char *name : {"gm", "blackout", "cut", "cue/back", "cue/current", "cue/next"}) {
            if (surfaces::ControlTarget::Parse(QLatin1StringView(name)))
                targets.append(QLatin1StringView(name));
        }
        return {{"wire", wire},
                {"subs", subs},
                {"xfade", QJsonArray{HandleA().GetLevel(), HandleB().GetLevel()}},
                {"time", master->GetGoFade().GetFadeTime()},
                {"page", master->GetPage()},
                {"gm", master->GetGrandMaster()},
                {"chaseBpm", master->GetChasePlayer().GetBpm(1)},
                {"targets", targets}};
    }

    QJsonObject Answer(const QJsonObject &question)
    {
        const QString command = question.value("cmd").toString();
        if (command == u"code") {
            pairing.Open();
            return {{"code", shownCodes.last()}};
        }
        if (command == u"mouseSub") {
            const QPoint knob = Centre(Sub(question.value("number").toInt()).GetKnobRect());
            const QPoint to = knob + QPoint(0, question.value("dy").toInt());
            Press(master->viewport(), knob);
            for (int step = 1; step <= 6; ++step)
                Move(master->viewport(), knob + (to - knob) * step / 6);
            Release(master->viewport(), to);
        } else if (command == u"drop") {
            serverPort = server.Port();
            server.Stop();
        } else if (command == u"listen") {
            QString error;
            EXPECT_TRUE(
                server.Listen({QHostAddress(QHostAddress::LocalHost), serverPort}, true, error))
                << error.toStdString();
        } else if (command == u"output") {
            // As the link tick tells it: no frame out for two seconds, or one just now.
            dmx::OutputHealth &health = port.GetOutputHealth();
            const auto now = dmx::OutputHealth::Clock::now();
            if (question.value("lost").toBool()) {
                health.FrameSent(now - std::chrono::seconds(2));
                health.Failed(dmx::OutputFault::WriteFailed, QStringLiteral("SIM-1"));
            } else {
                health.FrameSent(now);
            }
            master->OnTick();
        } else if (command == u"blackout") {
            master->SetBlackout(question.value("on").toBool());
        } else if (command == u"cueGo") {
            // The page's fingers left the crossfader half way: a GO would complete that first.
            const int a = master->GetCrossfaderLevel(0), b = master->GetCrossfaderLevel(1);
            if (!((a == 0 && b == 255) || (a == 255 && b == 0)))
                master->MoveCrossfader(0, 255);
            cues.SetPlaying(true);
            master->GetGoFade().Cut(); // the next cue at once, without GO's bounce guard
        } else if (command == u"fadeTime") {
            master->GetGoFade().SetFadeTime(question.value("tenths").toInt());
        } else if (command == u"setSub") {
            master->MoveSubFaderTo(question.value("number").toInt() - 1,
                                   static_cast<uint8_t>(question.value("level").toInt()));
        }
        return DeskReply();
    }

    quint16 serverPort = 0; // kept while the server is stopped
    views::CuePlayback cues{master->GetGoFade()};
};

} // namespace

TEST_F(BrowserTest, APhonePairsPlaysWithTwoFingersAndFollowsTheConsole)
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty() ||
        !QFileInfo::exists(QStringLiteral("/usr/bin/chromium")))
        GTEST_SKIP() << "node or /usr/bin/chromium missing (scripts/deps installs them)";
    QString why;
    ASSERT_TRUE(InstallPuppeteer(why)) << "npm ci: " << why.toStdString();

    QProcess node;
    node.setWorkingDirectory(kScriptFolder);
    node.setProcessChannelMode(QProcess::SeparateChannels);
    QJsonArray failures;
    bool done = false;
    QObject::connect(&node, &QProcess::readyReadStandardOutput, [&] {
        while (node.canReadLine()) {
            const QJsonObject line = QJsonDocument::fromJson(node.readLine()).object();
            if (line.contains("done")) {
                failures = line.value("failures").toArray();
                done = true;
            } else if (line.contains("cmd")) {
                node.write(QJsonDocument(Answer(line)).toJson(QJsonDocument::Compact) + '\n');
            }
        }
    });
    node.start(QStringLiteral("node"), {QStringLiteral("browser_test.mjs"),
                                        QStringLiteral("http://127.0.0.1:%1/").arg(server.Port())});
    ASSERT_TRUE(node.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 120000))
        << node.readAllStandardError().toStdString();
    for (const QJsonValue failure : failures)
        ADD_FAILURE() << failure.toString().toStdString();
    if (node.state() != QProcess::NotRunning) {
        node.closeWriteChannel();
        if (!node.waitForFinished(10000))
            node.kill();
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(server.ConnectionCount(), 0) << "the page's connection ended with the browser";
}
