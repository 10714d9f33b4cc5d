#include "AppTestSupport.h"
#include "TableTyping.h"
#include "app/AppResources.h"
#include "app/ChaseSpeedStrip.h"
#include "app/ChaseSpeedWheel.h"
#include "app/ChaseTableModel.h"
#include "app/ChaseWindow.h"
#include "dmx/OrinZentra.h"
#include "model/ChasePlayer.h"
#include "support/ScriptedSeams.h"
#include "surfaces/ControlLayer.h"
#include "surfaces/Desk.h"
#include "surfaces/osc/OscSurface.h"
#include "surfaces/osc/OscTestClient.h"
#include "views/DeskLock.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace orinsub;
using namespace std::chrono_literals;
using app::ChaseTableModel;
using surfaces::osc::testing::OscTestClient;

namespace {

/// The console with a chase built in its chase window and put on sub-master 1 of page 1, its
/// clock and its link driven by hand: each Frame() is one link tick at the time the test set.
class ChaseDeskTest : public orinsub::testing::MainWindowTest
{
protected:
    ChaseDeskTest()
    {
        const auto clock = [this] { return now; };
        model::g_orin.m_pChases->SetClock(clock);
        model::g_orin.m_pZentra->GetChaseStage().SetClock(clock);
        frame->Command(app::kIdChases)->trigger();
        window = frame->GetChaseWindow();
        orinsub::testing::ManualLinkTimers::current()->Fire(); // the link opens the interface
    }

    /// Chase 1, typed at 120 BPM without crossfade, steps recorded from the output: channel 1,
    /// then channel 2, at full; put on sub-master 1-1; row B back at 0.
    void BuildChase()
    {
        QTest::mouseClick(window->NewButton(), Qt::LeftButton);
        for (int channel : {1, 2}) {
            Dan().MoveFaderTo(1, channel - 1, 255); // row B is on air
            QTest::mouseClick(window->RecordButton(), Qt::LeftButton);
            Dan().MoveFaderTo(1, channel - 1, 0);
        }
        Type(ChaseTableModel::Bpm, "120");
        Type(ChaseTableModel::Place, "1-1");
    }
    void Type(int column, const char *text)
    {
        orinsub::testing::EditCell(window->ChaseTable(), 0, column, QString::fromUtf8(text));
    }
    /// One link tick at the test's time: channels 1 and 2 as the wire carries them (patched 1:1).
    std::pair<int, int> Frame()
    {
        orinsub::testing::ManualLinkTimers::current()->Fire();
        const zentra::sim::Frame wire = zentra::sim::LastWrittenFrame();
        return {wire[1], wire[2]};
    }
    void TapStripAt(std::chrono::milliseconds gap, int taps)
    {
        for (int i = 0; i < taps; ++i) {
            now += gap;
            QPushButton *tap = window->SpeedStrip()->TapButton(1);
            ASSERT_TRUE(tap);
            QTest::mousePress(tap, Qt::LeftButton);
            QTest::mouseRelease(tap, Qt::LeftButton);
        }
    }
    double Bpm() const { return model::g_orin.m_pChases->GetBpm(1); }

    orinsub::testing::ScriptedQuestions questions;
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + 1h;
    app::ChaseWindow *window = nullptr;
};

} // namespace

TEST_F(ChaseDeskTest, ABuiltChaseStepsOnTheWireUnderItsFaderAndItsUndoTakesItOff)
{
    BuildChase();
    const std::pair dark{0, 0};
    EXPECT_EQ(Frame(), dark) << "the fader is down";
    EXPECT_EQ(frame->GetControlLayer().GetDesk().SubMasterChase(0), 1) << "the page's TAP";

    Master().MoveSubFaderTo(0, 255);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->SpeedStrip()->ShownChases(), std::vector{1});
    const std::pair one{255, 0}, two{0, 255};
    EXPECT_EQ(Frame(), one);
    now += 499ms;
    EXPECT_EQ(Frame(), one);
    now += 1ms;
    EXPECT_EQ(Frame(), two) << "a step every 500 ms at 120 BPM";
    QTest::qWait(3 * app::ChaseSpeedStrip::kRefreshMs);
    EXPECT_EQ(window->SpeedStrip()->StepLabel(1)->text(), QStringLiteral("ステップ 2 / 2"));
    now += 500ms;
    EXPECT_EQ(Frame(), one);
    Master().MoveSubFaderTo(0, 102);
    EXPECT_EQ(Frame(), (std::pair{102, 0})) << "scaled by its fader";
    EXPECT_EQ(window->SpeedStrip()->BpmLabel(1)->text(), QStringLiteral("120.0 BPM"));

    // The place undone: the fader plays the sub-master's own (empty) levels again.
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc.m_extension.chases.Find(1)->place.IsSet());
    EXPECT_EQ(Frame(), dark);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->SpeedStrip()->ShownChases().empty());
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc.m_extension.chases.Find(1)->stepMs, model::kDefaultChaseStepMs);
}

TEST_F(ChaseDeskTest, TheTapButtonTheWheelAndTheStepButtonPlayTheRunningChase)
{
    BuildChase();
    Master().MoveSubFaderTo(0, 255);
    QCoreApplication::processEvents();
    EXPECT_EQ(Frame(), (std::pair{255, 0}));
    TapStripAt(250ms, 4);
    EXPECT_DOUBLE_EQ(Bpm(), 240.0);
    EXPECT_EQ(Frame(), (std::pair{255, 0})) << "the fourth tap began a step";
    now += 250ms;
    EXPECT_EQ(Frame(), (std::pair{0, 255}));

    TapStripAt(3s, 1); // a pause of 2 s starts a new count: one tap sets nothing
    EXPECT_DOUBLE_EQ(Bpm(), 240.0);

    app::ChaseSpeedWheel *wheel = window->SpeedStrip()->Wheel(1);
    wheel->setFocus();
    QTest::keyClick(wheel, Qt::Key_PageDown);
    QTest::keyClick(wheel, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Bpm(), 229.0);

    const std::pair before = Frame();
    QTest::mousePress(window->SpeedStrip()->NextStepButton(1), Qt::LeftButton);
    QTest::mouseRelease(window->SpeedStrip()->NextStepButton(1), Qt::LeftButton);
    EXPECT_NE(Frame(), before) << "▶| steps at once";

    views::SetDeskLocked(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->SpeedStrip()->TapButton(1)->isEnabled()) << "the mouse plays nothing";
    views::SetDeskLocked(false);
}

// An OSC client taps the tempo as the button does, and hears the speed it set.
TEST_F(ChaseDeskTest, OscTapsTheTempoAndHearsTheSpeed)
{
    BuildChase();
    Master().MoveSubFaderTo(0, 255);
    QString error;
    std::unique_ptr<surfaces::osc::OscServer> server =
        surfaces::osc::OscServer::Open({0x7f000001, 0}, error);
    ASSERT_TRUE(server) << error.toStdString();
    surfaces::osc::OscSurface surface(frame->GetControlLayer(), std::move(server), false);
    OscTestClient client(surface.Server().LocalEndpoint().port);
    for (uint64_t sent = 1; sent <= 4; ++sent) {
        now += 1s;
        client.SendEmpty("/orinsub/chase/1/tap");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return surface.Server().Counters().packets >= sent; }, 5000));
    }
    EXPECT_DOUBLE_EQ(Bpm(), 60.0);
    EXPECT_EQ(Frame(), (std::pair{255, 0}));
    now += 999ms;
    EXPECT_EQ(Frame(), (std::pair{255, 0}));
    now += 1ms;
    EXPECT_EQ(Frame(), (std::pair{0, 255}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto &heard : client.HeardSoFar())
                if (heard.path == "/orinsub/chase/1/bpm" && heard.value == 60.0f)
                    return true;
            return false;
        },
        5000));

    client.SendFloat("/orinsub/chase/1/bpm", 90.0f);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Bpm() == 90.0; }, 5000));
}
