#include "controls/ConsoleLook.h"
#include "controls/DanLamp.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "surfaces/RecordingSurface.h"
#include "views/CuePlayback.h"

#include "model/CueTexts.h"
#include "views/DeskLock.h"
#include "views/GoFade.h"
#include "views/LiveControls.h"
#include "views/UndoLastEdit.h"
#include <limits>

#include <QSignalSpy>

using namespace orinsub;
using orinsub::testing::LayerTest;
using orinsub::testing::RecordingSurface;
using orinsub::testing::T;

TEST_F(LayerTest, ASurfaceMovesFadersAsTheMouseDoes)
{
    RecordingSurface surface({}, true);
    Attach(surface);
    controls::RecordRow(undo, *dan->GetRow(1));
    layer->Move(&surface, T("B/5"), 200); // row B is on air
    EXPECT_EQ(Fader(1, 5).GetLevel(), 200);
    EXPECT_EQ(model::s_channelLevels[4], 200);
    EXPECT_EQ(dan->GetOutputDisplayLevel(4), 200);
    EXPECT_FALSE(undo.m_valid);

    doc.GetSubMaster(1, 3)->m_levels[9] = 255;
    layer->Move(&surface, T("sub/3"), 255);
    EXPECT_EQ(Sub(3).GetLevel(), 255);
    EXPECT_EQ(model::s_channelLevels[9], 255);
    master->StepPage(true);
    EXPECT_EQ(Sub(3).GetPage(), 1) << "a raised sub fader keeps its sub-master";
    layer->Move(&surface, T("sub/3"), 0);
    EXPECT_EQ(Sub(3).GetPage(), 2) << "back at 0 it plays the page shown";

    layer->Move(&surface, T("xfade/A"), 255);
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(left->GetRowLamp(0)->GetState(), controls::RowState::OnAir);
    EXPECT_EQ(right->GetRowLamp(0)->GetState(), controls::RowState::OnAir);
    layer->Move(&surface, T("xfade/B"), 100);
    layer->Move(&surface, T("xfade"), 255);
    layer->Move(&surface, T("xfade"), 200);
    EXPECT_EQ(HandleA().GetLevel(), 200);
    EXPECT_EQ(HandleB().GetLevel(), 155) << "the linked crossfader moves both";
}

TEST_F(LayerTest, TheConsoleFaderShowsWhereAnUncaughtSurfaceFaderStands)
{
    dan->MoveFaderTo(0, 0, 128);
    RecordingSurface surface({"A/1"});
    Attach(surface);
    layer->Move(&surface, T("A/1"), 50);
    const QImage shown = dan->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(24, 103 + 62 - 50 * 124 / 255), controls::kPickUpMarkColor);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 128);
    layer.reset();
    EXPECT_EQ(Fader(0, 1).GetPickUpMark(), -1) << "the layer takes its marks with it";
}

TEST_F(LayerTest, EveryChangeOnThePanesReachesTheSurface)
{
    RecordingSurface surface({"A/1", "A/2", "page/down", "in/A", "sub/2"});
    Attach(surface);

    Press(dan->viewport(), Centre(Fader(0, 1).GetKnobRect())); // the mouse
    Move(dan->viewport(), QPoint(24, 41));                     // top of the travel
    Release(dan->viewport(), QPoint(24, 41));
    layer->Flush();
    EXPECT_EQ(surface.Last("A/1")->value, 255);

    controls::RecordRow(undo, *dan->GetRow(0));
    dan->GetRow(0)->CopyLevelsFromArray(std::vector<uint8_t>(80, 9));
    dan->InvalidateRect(dan->GetRow(0)->GetRect());
    layer->Flush();
    EXPECT_EQ(surface.Last("A/1")->value, 9);
    views::UndoLastEdit();
    layer->Flush();
    EXPECT_EQ(surface.Last("A/1")->value, 255);

    master->StepPage(true);
    layer->Flush();
    EXPECT_EQ(surface.Last("page/down")->value, 1);

    OpenInterface();
    layer->Press(&surface, T("in/A"), true);
    layer->Flush();
    EXPECT_EQ(surface.Last("in/A")->value, 1);
    Input(0);
    dan->PickUpInput(); // catches at 0
    Input(90);
    dan->PickUpInput();
    layer->Flush();
    EXPECT_EQ(surface.Last("A/2")->value, 90);

    master->MoveSubFaderTo(1, 33);
    // How soon is the feedback benchmark's to say; here only that it comes without a flush.
    EXPECT_TRUE(QTest::qWaitFor([&] { return surface.Last("sub/2")->value == 33; }, 2000))
        << "on its own";
}

TEST_F(LayerTest, GoAndItsTimeFromASurfaceAndAGrabThatStopsIt)
{
    RecordingSurface panel({"go", "go/time"}, true);
    RecordingSurface other({"go/time"});
    Attach(panel);
    Attach(other);
    EXPECT_EQ(panel.Last("go/time")->value, 30) << "3.0 s by default";
    layer->Move(&panel, T("go/time"), 12);
    layer->Flush();
    EXPECT_EQ(master->GetGoFade().GetFadeTime(), 12);
    EXPECT_EQ(panel.Count("go/time"), 1) << "no echo";
    EXPECT_EQ(other.Last("go/time")->value, 12);

    layer->Press(&panel, T("go"), true);
    layer->Flush();
    EXPECT_EQ(panel.Last("go")->value, 1) << "lit while the fade runs";
    layer->Move(&panel, T("xfade/B"), 200); // a motor fader grabs handle B
    layer->Flush();
    EXPECT_EQ(panel.Last("go")->value, 0);
    EXPECT_EQ(HandleB().GetLevel(), 200);
}

TEST_F(LayerTest, TypedNamesAndTheStatusLineAreAnnounced)
{
    QSignalSpy changed(&desk, &surfaces::Desk::Changed);
    QTest::keyClicks(dan->GetNameLabel(0)->GetEdit(), "Key");
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(desk.ChannelName(0), "Key");

    changed.clear();
    QTest::keyClicks(master->GetNameLabel(1)->GetEdit(), "Wash");
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(desk.SubMasterName(1), "Wash");

    changed.clear();
    OpenInterface();
    master->OnTick();
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(desk.StatusLine().contains("SIM-1")) << desk.StatusLine().toStdString();
}

TEST_F(LayerTest, FlashButtonsAndChannelSettingsPlayFromASurfaceWithTheirLamps)
{
    doc.GetSubMaster(1, 3)->m_levels[0] = 255;
    RecordingSurface surface({"flash/3", "flash/mode", "independent/4"});
    RecordingSurface other({"flash/3", "flash/mode", "independent/4"});
    Attach(surface);
    Attach(other);
    layer->Press(&surface, T("flash/3"), true);
    EXPECT_EQ(port.GetOutputSlot(1), 255);
    layer->Flush();
    EXPECT_EQ(surface.Last("flash/3")->value, 1) << "lit for the surface that holds it too";
    layer->Press(&surface, T("flash/3"), false);
    EXPECT_EQ(port.GetOutputSlot(1), 0);

    layer->Move(&surface, T("flash/mode"), 1);
    EXPECT_TRUE(frame.flashSoloChecked) << "the menu item follows";
    layer->Press(&surface, T("independent/4"), true);
    EXPECT_TRUE(doc.m_extension.IsIndependent(4));
    EXPECT_EQ(frame.independentChanges, 1);
    master->HoldFlash(2, true); // the mouse
    layer->Flush();
    EXPECT_EQ(other.Last("flash/mode")->value, 1);
    EXPECT_EQ(other.Last("independent/4")->value, 1);
    EXPECT_EQ(other.Last("flash/3")->value, 1);
    master->HoldFlash(2, false);

    layer->Press(&surface, T("flash/3"), true);
    layer->Detach(&other);
    layer->Detach(&surface); // unplugged with the button down
    EXPECT_FALSE(Sub(3).IsFlashHeld()) << "nothing stays flashing";
    EXPECT_EQ(port.GetOutputSlot(1), 0);
}

TEST_F(LayerTest, GrandMasterBlackoutAndCutPlayFromASurfaceWithTheirFeedback)
{
    dan->MoveFaderTo(1, 0, 200); // row B on air
    RecordingSurface surface({"gm", "blackout", "cut"}, true);
    RecordingSurface other({"gm", "blackout"});
    Attach(surface);
    Attach(other);
    EXPECT_EQ(surface.Last("gm")->value, 255) << "full at start";
    layer->Move(&surface, T("gm"), 0);
    EXPECT_EQ(port.GetOutputSlot(1), 0);
    EXPECT_EQ(master->GetLiveControls().GetGrandMasterFader().GetLevel(), 0);
    master->SetGrandMaster(255); // the mouse
    EXPECT_EQ(port.GetOutputSlot(1), 200);
    layer->Flush();
    EXPECT_EQ(surface.Last("gm")->value, 255);
    EXPECT_EQ(other.Last("gm")->value, 255);
    layer->Move(&other, T("gm"), 50); // a fader without a motor, far from the console's
    EXPECT_EQ(master->GetGrandMaster(), 255);
    EXPECT_EQ(master->GetLiveControls().GetGrandMasterFader().GetPickUpMark(), 50);

    layer->Press(&surface, T("blackout"), true); // a box's button: at once, no hold
    layer->Press(&surface, T("blackout"), false);
    EXPECT_TRUE(master->IsBlackout());
    EXPECT_EQ(port.GetOutputSlot(1), 0);
    layer->Flush();
    EXPECT_EQ(surface.Last("blackout")->value, 1);
    EXPECT_EQ(other.Last("blackout")->value, 1);
    layer->Move(&other, T("blackout"), 0); // OSC's 0
    EXPECT_FALSE(master->IsBlackout());
    EXPECT_EQ(port.GetOutputSlot(1), 200);

    master->GetGoFade().Go();
    layer->Press(&surface, T("cut"), true);
    EXPECT_FALSE(master->GetGoFade().IsRunning()) << "the fade completed at once";
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(HandleB().GetLevel(), 0);
}

TEST_F(LayerTest, TheCueListPlaysFromASurfaceWhichSeesWhereItStands)
{
    auto now = std::chrono::steady_clock::now();
    master->GetGoFade().SetClock([&now] { return now; });
    views::CuePlayback cues(master->GetGoFade());
    desk.SetCuePlayback(&cues);
    for (int number : {10, 20, 30}) {
        model::Cue cue;
        cue.number = number;
        cue.look[0] = static_cast<uint8_t>(number);
        cue.upTime = cue.downTime = 0;
        ASSERT_TRUE(doc.m_extension.cues.Add(cue).IsOk());
    }
    RecordingSurface panel({"cue/mode", "cue/go", "cue/current", "cue/next"}, true);
    Attach(panel);
    layer->Press(&panel, T("cue/mode"), true);
    layer->Flush();
    EXPECT_TRUE(cues.IsPlaying());
    EXPECT_EQ(panel.Last("cue/mode")->value, 1);
    EXPECT_EQ(panel.Last("cue/next")->value, 10);

    layer->Press(&panel, T("cue/go"), true); // a cue of 0 s ends on the fade's first step
    layer->Flush();
    EXPECT_EQ(model::s_channelLevels[0], 10);
    EXPECT_EQ(panel.Last("cue/current")->value, 10);
    EXPECT_EQ(panel.Last("cue/next")->value, 20);

    now += std::chrono::seconds(1);
    layer->Move(&panel, T("cue/goto"), 30);
    layer->Flush();
    EXPECT_EQ(model::s_channelLevels[0], 30);
    EXPECT_EQ(panel.Last("cue/current")->value, 30);
    EXPECT_EQ(panel.Last("cue/next")->value, 0) << "the list's end";

    // A number that is no cue plays nothing, however large: the readout says why.
    const QString range = model::texts::kCueNumberRange.toString();
    for (const auto &[number, says] :
         {std::pair{25, QStringLiteral("キュー 2.5 はありません。")}, std::pair{50000, range},
          std::pair{std::numeric_limits<int>::max(), range}, std::pair{-1, range}}) {
        now += std::chrono::seconds(1);
        layer->Move(&panel, T("cue/goto"), number);
        layer->Flush();
        EXPECT_EQ(panel.Last("cue/current")->value, 30) << number;
        EXPECT_EQ(cues.GetMessage(), says) << number;
    }

    layer->Move(&panel, T("cue/mode"), 0);
    EXPECT_FALSE(cues.IsPlaying());
    desk.SetCuePlayback(nullptr);
}

TEST_F(LayerTest, EverySurfaceIsToldWhetherFramesReachTheInterface)
{
    using Clock = dmx::OutputHealth::Clock;
    RecordingSurface panel({"output"});
    Attach(panel);
    master->OnTick();
    layer->Flush();
    EXPECT_EQ(panel.Last("output")->value, 1);

    dmx::OutputHealth &health = port.GetOutputHealth();
    health.FrameSent(Clock::now() - std::chrono::seconds(2));
    health.Failed(dmx::OutputFault::OpenFailed, QStringLiteral("OLA 1"));
    master->OnTick(); // what the status line says, every surface is told
    layer->Flush();
    EXPECT_EQ(panel.Last("output")->value, 0);
    layer->Press(&panel, T("output"), true);
    layer->Flush();
    EXPECT_EQ(desk.Value(T("output")), 0) << "a readout: a press changes nothing";

    health.FrameSent(Clock::now());
    master->OnTick();
    layer->Flush();
    EXPECT_EQ(panel.Last("output")->value, 1);
}

TEST_F(LayerTest, ADeskThatFollowsAnotherConsolePlaysNothingFromASurfaceAndSaysSo)
{
    dan->MoveFaderTo(1, 0, 200); // row B on air
    RecordingSurface surface({"backup", "gm", "B/1"}, true);
    Attach(surface);
    EXPECT_EQ(surface.Last("backup")->value, 1) << "a console of its own plays the stage";

    views::SetDeskFollowing(true);
    layer->Flush();
    EXPECT_EQ(surface.Last("backup")->value, 0);
    layer->Move(&surface, T("gm"), 0);
    layer->Move(&surface, T("B/1"), 10);
    layer->Move(&surface, T("xfade/B"), 0);
    layer->Press(&surface, T("blackout"), true);
    layer->Press(&surface, T("go"), true);
    EXPECT_EQ(port.GetOutputSlot(1), 200) << "the stage is the followed console's";
    EXPECT_FALSE(master->IsBlackout());
    EXPECT_FALSE(master->GetGoFade().IsRunning());

    views::SetDeskFollowing(false);
    layer->Flush();
    EXPECT_EQ(surface.Last("backup")->value, 1);
    layer->Move(&surface, T("gm"), 0);
    EXPECT_EQ(port.GetOutputSlot(1), 0) << "taken over, the surface plays again";
}
