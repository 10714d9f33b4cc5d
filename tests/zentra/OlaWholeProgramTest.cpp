#include "OlaTestDaemon.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/OrinSUBApp.h"
#include "app/PaneDesk.h"
#include "controls/DanFader.h"
#include "dmx/OrinZentra.h"
#include "model/OrinGlobal.h"
#include "support/PrivateSettings.h"
#include "surfaces/ControlTarget.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/DeviceSelection.h"

#include <QApplication>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

// The console as the operator starts it with "--dmx ola:1/2", against a private OLA daemon: a
// fader dragged with the mouse changes the level that a second OLA client reads back.
namespace {

using namespace std::chrono_literals;
using namespace orinsub;
using zentra::testing::OlaTestDaemon;
using zentra::testing::OlaUniverseWatcher;
using zentra::testing::Slots;

// How long the console may take to follow the daemon: sanitised, on a busy machine.
constexpr int kPatienceMs = 10000;

class OlaWholeProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!OlaTestDaemon::CanRunHere(why))
            GTEST_SKIP() << "no private OLA daemon here: " << why;
        ASSERT_TRUE(daemon.Start(why)) << why;
        device = "ola:1/2@" + std::to_string(daemon.Port());
    }
    void TearDown() override
    {
        std::string error;
        zentra::SelectDevice("sim", error);
    }

    /// What main does with "--dmx ola:1/2@PORT"; null when the console did not come up.
    app::CMainFrame *StartConsole(app::COrinSUBApp &program)
    {
        app::StartOptions options;
        options.dmx = device;
        std::string error;
        if (!zentra::SelectDevice(zentra::ChooseDevice(options.dmx), error)) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        if (!program.InitInstance(options) ||
            !QTest::qWaitFor([] { return model::g_orin.m_pZentra->IsOpen(); }, kPatienceMs))
            return nullptr;
        return program.GetMainFrame();
    }

    OlaTestDaemon daemon;
    std::string device;
    orinsub::testing::PrivateSettings settings; // recent shows and recovery copies
};

TEST_F(OlaWholeProgramTest, DraggedFaderReachesTheOlaUniverse)
{
    OlaUniverseWatcher watcher(daemon.Port(), 1);
    ASSERT_TRUE(watcher.WaitRegistered(5s)) << "the universe must be held, or frames vanish";

    app::COrinSUBApp program;
    app::CMainFrame *started = StartConsole(program);
    ASSERT_TRUE(started);
    app::CMainFrame &frame = *started;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return frame.GetMasterView()->GetStatusText() == QStringLiteral("Zentra : OLA 1/2");
        },
        kPatienceMs));

    // Row B is on air from the start (its crossfader handle at the top): channel 1's knob up.
    views::CDanConsoleView &presets = *frame.GetDanView();
    QWidget *client = presets.viewport();
    const auto drag = [&](int distance) {
        const QRect knob = presets.GetFader(80)->GetKnobRect();
        const QPoint grab(knob.x() + knob.width() / 2, knob.y() + knob.height() / 2);
        QTest::mousePress(client, Qt::LeftButton, {}, grab);
        QTest::mouseMove(client, grab + QPoint(0, distance));
        QTest::mouseRelease(client, Qt::LeftButton, {}, grab + QPoint(0, distance));
    };
    drag(-300);
    EXPECT_TRUE(watcher.WaitFor([](const Slots &levels) { return levels[0] == 255; }, 5s));
    drag(300);
    EXPECT_TRUE(watcher.WaitFor([](const Slots &levels) { return levels[0] == 0; }, 5s));
}

// The daemon is killed in the middle of a show and started again: the console says so at once,
// on its status line and to every surface, and puts the stage back on the universe by itself.
TEST_F(OlaWholeProgramTest, KilledDaemonIsToldAndTheStageComesBackWhenItReturns)
{
    app::COrinSUBApp program;
    app::CMainFrame *frame = StartConsole(program);
    ASSERT_TRUE(frame);
    app::PaneDesk desk; // as every surface reads the desk
    const surfaces::ControlTarget output = *surfaces::ControlTarget::Parse("output");
    const auto stageOn = [](OlaUniverseWatcher &watcher) {
        return watcher.WaitFor([](const Slots &levels) { return levels[0] == 255; }, 10s);
    };
    frame->GetDanView()->MoveFaderTo(1, 0, 255); // row B is on air
    {
        OlaUniverseWatcher watcher(daemon.Port(), 1);
        ASSERT_TRUE(watcher.WaitRegistered(5s));
        ASSERT_TRUE(stageOn(watcher));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return desk.Value(output) == 1; }, kPatienceMs));

    daemon.Kill();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desk.Value(output) == 0; }, kPatienceMs));
    EXPECT_TRUE(frame->GetMasterView()->GetStatusText().startsWith(
        QStringLiteral("出力できません: OLA 1/2 ")))
        << frame->GetMasterView()->GetStatusText().toStdString();

    std::string why;
    ASSERT_TRUE(daemon.Start(why)) << why;
    OlaUniverseWatcher watcher(daemon.Port(), 1);
    ASSERT_TRUE(watcher.WaitRegistered(5s));
    EXPECT_TRUE(stageOn(watcher)) << "nothing on the desk moved meanwhile";
    EXPECT_TRUE(QTest::qWaitFor([&] { return desk.Value(output) == 1; }, kPatienceMs));
    EXPECT_EQ(frame->GetMasterView()->GetStatusText(), QStringLiteral("Zentra : OLA 1/2"));
}

TEST_F(OlaWholeProgramTest, ListDevicesShowsTheOlaUniverses)
{
    QProcess program;
    program.start(QStringLiteral(ORINSUB_EXECUTABLE),
                  {"--dmx", QString::fromStdString(device), "--list-devices"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput(), "OLA 1/2\n");

    program.start(QStringLiteral(ORINSUB_EXECUTABLE), {"--dmx", "ola:one"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    const QString message = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(message.contains("ola:one")) << message.toStdString();
    EXPECT_EQ(message.count('\n'), 1) << "one line";
}

} // namespace
