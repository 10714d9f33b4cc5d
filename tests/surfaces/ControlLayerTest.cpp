#include "RecordingSurface.h"
#include "controls/ConsoleLook.h"
#include "controls/DanLamp.h"
#include "controls/RcLamp.h"
#include "views/GoFade.h"
#include "views/UndoLastEdit.h"

using namespace orinsub;
using orinsub::testing::LayerTest;
using orinsub::testing::RecordingSurface;
using orinsub::testing::T;
using surfaces::ControlTarget;

TEST_F(LayerTest, AFaderIsTakenOverOnlyWhenTheSurfaceCrossesItsLevel)
{
    dan->MoveFaderTo(0, 0, 128);
    RecordingSurface surface({"A/1"});
    Attach(surface);
    ASSERT_TRUE(surface.Last("A/1"));
    EXPECT_EQ(surface.Last("A/1")->value, 128);
    EXPECT_FALSE(surface.Last("A/1")->caught);

    layer->Move(&surface, T("A/1"), 50);
    const QImage shown = dan->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(24, 103 + 62 - 50 * 124 / 255), controls::kPickUpMarkColor);
    for (int level : {90, 127}) {
        layer->Move(&surface, T("A/1"), level);
        EXPECT_EQ(Fader(0, 1).GetLevel(), 128) << level;
    }
    EXPECT_FALSE(layer->IsCaught(&surface, T("A/1")));
    EXPECT_EQ(Fader(0, 1).GetPickUpMark(), 127) << "the console shows where the surface is";
    layer->Move(&surface, T("A/1"), 140); // crosses 128
    EXPECT_EQ(Fader(0, 1).GetPickUpMark(), -1);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 140);
    EXPECT_TRUE(layer->IsCaught(&surface, T("A/1")));
    layer->Move(&surface, T("A/1"), 60);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 60);

    // The mouse moves the fader meanwhile: the surface must catch it again.
    dan->MoveFaderTo(0, 0, 200);
    EXPECT_FALSE(layer->IsCaught(&surface, T("A/1")));
    layer->Move(&surface, T("A/1"), 70);
    EXPECT_EQ(Fader(0, 1).GetLevel(), 200);
}

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
}

TEST_F(LayerTest, TheCrossfaderMovesBothHandlesAsTheLinkedDragDoes)
{
    RecordingSurface surface({"xfade"}, true);
    Attach(surface);
    layer->Move(&surface, T("xfade"), 0);
    layer->Move(&surface, T("xfade"), 100);
    EXPECT_EQ(HandleA().GetLevel(), 100);
    EXPECT_EQ(HandleB().GetLevel(), 155);
    master->MoveCrossfaderHandle(1, 200); // the mouse moves handle B alone
    layer->Move(&surface, T("xfade"), 110);
    EXPECT_EQ(HandleA().GetLevel(), 110);
    EXPECT_EQ(HandleB().GetLevel(), 190) << "from where the mouse left it";
    layer->Move(&surface, T("xfade"), 255);
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(HandleB().GetLevel(), 45);
    EXPECT_EQ(dan->GetRow(1)->GetState(), controls::RowState::OnAir) << "row B still on air";
}

TEST_F(LayerTest, FeedbackReachesEverySurfaceButTheOneThatMoved)
{
    RecordingSurface mover({"A/1", "link"}, true);
    RecordingSurface watcher({"A/1", "strip/1"});
    Attach(mover);
    Attach(watcher);
    mover.Clear();
    watcher.Clear();

    layer->Move(&mover, T("A/1"), 77);
    layer->Flush();
    EXPECT_EQ(mover.Count("A/1"), 0) << "no echo";
    ASSERT_TRUE(watcher.Last("A/1"));
    EXPECT_EQ(watcher.Last("A/1")->value, 77);

    // The mouse.
    Press(dan->viewport(), Centre(Fader(0, 1).GetKnobRect()));
    Move(dan->viewport(), QPoint(24, 41)); // top of the travel
    Release(dan->viewport(), QPoint(24, 41));
    layer->Flush();
    EXPECT_EQ(mover.Last("A/1")->value, 255);
    EXPECT_EQ(watcher.Last("A/1")->value, 255);

    // Undo of a section copy brings the row back.
    controls::RecordRow(undo, *dan->GetRow(0));
    dan->GetRow(0)->CopyLevelsFromArray(std::vector<uint8_t>(80, 9));
    dan->InvalidateRect(dan->GetRow(0)->GetRect());
    layer->Flush();
    EXPECT_EQ(mover.Last("A/1")->value, 9);
    views::UndoLastEdit();
    layer->Flush();
    EXPECT_EQ(mover.Last("A/1")->value, 255);

    // Buttons light on every surface, the presser's included.
    layer->Press(&mover, T("link"), true);
    layer->Flush();
    EXPECT_TRUE(master->GetCrossFader()->IsLinked());
    EXPECT_EQ(mover.Last("link")->value, 1);
    EXPECT_EQ(watcher.Count("strip/1"), 0) << "sub/1 did not change";
}

TEST_F(LayerTest, FeedbackFollowsOnItsOwnWithinATick)
{
    RecordingSurface surface({"sub/2"});
    Attach(surface);
    master->MoveSubFaderTo(1, 33);
    EXPECT_TRUE(QTest::qWaitFor([&] { return surface.Last("sub/2")->value == 33; }, 25));
}

TEST_F(LayerTest, TheDmxInputAndThePageReachTheSurface)
{
    RecordingSurface surface({"A/2", "page/up", "page/down", "in/A"});
    Attach(surface);
    EXPECT_EQ(surface.Last("page/down")->value, 0);
    layer->Press(&surface, T("page/up"), true);
    layer->Press(&surface, T("page/up"), false);
    layer->Flush();
    EXPECT_EQ(master->GetPage(), 2);
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
}

TEST_F(LayerTest, BanksMoveTheStripsAndMakeThemPickUpAgain)
{
    master->MoveSubFaderTo(8, 40); // sub/9
    RecordingSurface surface({"strip/1", "strip/8", "bank/2"});
    Attach(surface);
    EXPECT_EQ(layer->Resolve(&surface, T("strip/1")), T("sub/1"));
    layer->Move(&surface, T("strip/1"), 0);
    EXPECT_TRUE(layer->IsCaught(&surface, T("strip/1")));

    surface.Clear();
    layer->Press(&surface, T("bank/next"), true);
    layer->Flush();
    EXPECT_EQ(layer->GetBankIndex(&surface), 1);
    EXPECT_EQ(layer->Resolve(&surface, T("strip/1")), T("sub/9"));
    EXPECT_EQ(surface.Last("strip/1")->value, 40);
    EXPECT_FALSE(surface.Last("strip/1")->caught);
    EXPECT_TRUE(surface.Last("strip/8")) << "every strip is sent";
    EXPECT_EQ(surface.Last("bank/2")->value, 1);

    layer->Move(&surface, T("strip/1"), 0);
    EXPECT_EQ(Sub(9).GetLevel(), 40) << "no jump after a bank change";
    EXPECT_EQ(Sub(9).GetPickUpMark(), 0);
    layer->Press(&surface, T("bank/prev"), true);
    EXPECT_EQ(Sub(9).GetPickUpMark(), -1) << "the strip has left it";
    layer->Press(&surface, T("bank/next"), true);
    layer->Move(&surface, T("strip/1"), 0);
    layer->Move(&surface, T("strip/1"), 50);
    EXPECT_EQ(Sub(9).GetLevel(), 50);

    layer->Press(&surface, T("bank/3"), true);
    EXPECT_EQ(layer->Resolve(&surface, T("strip/8")), T("strip/8")) << "sub-masters 17-20 only";
    layer->Flush();
    EXPECT_EQ(surface.Last("strip/8")->value, 0);
}

TEST_F(LayerTest, AMotorFaderIsMovedToTheLevelAndLeftAloneWhileTouched)
{
    dan->MoveFaderTo(1, 0, 128);
    RecordingSurface motor({"B/1"}, true);
    Attach(motor);
    EXPECT_TRUE(motor.Last("B/1")->caught);
    layer->Move(&motor, T("B/1"), 10);
    EXPECT_EQ(Fader(1, 1).GetLevel(), 10) << "no pick-up";

    layer->Touch(&motor, T("B/1"), true);
    motor.Clear();
    dan->MoveFaderTo(1, 0, 99);
    layer->Flush();
    EXPECT_EQ(motor.Count("B/1"), 0);
    layer->Touch(&motor, T("B/1"), false);
    layer->Flush();
    EXPECT_EQ(motor.Last("B/1")->value, 99);
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
