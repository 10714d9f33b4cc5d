#include "FakeDesk.h"
#include "FeedbackRecorder.h"

#include <gtest/gtest.h>

using namespace orinsub;
using namespace std::chrono_literals;
using orinsub::testing::FakeDesk;
using orinsub::testing::ManualFlushTimer;
using orinsub::testing::RecordingSurface;
using orinsub::testing::T;

namespace {

/// The control layer on a desk of plain values, its feedback timer run by hand.
class ControlLayerTest : public ::testing::Test
{
protected:
    ControlLayerTest()
    {
        auto manual = std::make_unique<ManualFlushTimer>();
        timer = manual.get();
        layer = std::make_unique<surfaces::ControlLayer>(desk, std::move(manual));
    }
    ~ControlLayerTest() override { layer.reset(); }

    /// A non-motorised control moves step by step through levels.
    void Sweep(RecordingSurface &surface, const char *target, std::initializer_list<int> levels,
               int step = 1, surfaces::ControlId control = 0)
    {
        for (int level : levels)
            layer->Move(&surface, T(target), level, step, control);
    }

    FakeDesk desk;
    ManualFlushTimer *timer = nullptr;
    std::unique_ptr<surfaces::ControlLayer> layer;
};

} // namespace

TEST_F(ControlLayerTest, AFaderIsTakenOverOnlyWhenTheSurfaceCrossesItsLevel)
{
    desk.Set(T("A/1"), 128);
    RecordingSurface surface({"A/1"});
    layer->Attach(&surface);
    EXPECT_EQ(surface.Last("A/1")->value, 128);
    EXPECT_FALSE(surface.Last("A/1")->caught);

    Sweep(surface, "A/1", {50, 90, 127});
    EXPECT_EQ(desk.Value(T("A/1")), 128);
    EXPECT_EQ(desk.Mark(T("A/1")), 127) << "the console shows where the surface is";
    layer->Move(&surface, T("A/1"), 140); // crosses 128
    EXPECT_EQ(desk.Value(T("A/1")), 140);
    EXPECT_EQ(desk.Mark(T("A/1")), -1);
    EXPECT_TRUE(layer->IsCaught(&surface, T("A/1")));
    layer->Flush();
    EXPECT_TRUE(surface.Last("A/1")->caught) << "told once that it caught the fader";
    EXPECT_EQ(surface.Last("A/1")->value, 140);

    // The mouse moves the fader away: the surface must catch it again, and the console shows
    // where the surface fader stands as soon as the feedback runs.
    desk.Set(T("A/1"), 200);
    EXPECT_FALSE(layer->IsCaught(&surface, T("A/1")));
    timer->Advance(10ms);
    EXPECT_EQ(desk.Mark(T("A/1")), 140);
    layer->Move(&surface, T("A/1"), 70);
    EXPECT_EQ(desk.Value(T("A/1")), 200);
}

TEST_F(ControlLayerTest, AFirstValueWithinTheControlsStepCatchesAtOnce)
{
    // A 7-bit control resting level with the fader sends its first value one step away: after
    // start, after a bank change and after a replug alike.
    RecordingSurface surface({"A/1", "strip/1"});
    layer->Attach(&surface);
    Sweep(surface, "A/1", {2, 4, 6}, 3);
    EXPECT_EQ(desk.Value(T("A/1")), 6);

    layer->Press(&surface, T("bank/next"), true); // strip/1 plays sub/9 at 0
    Sweep(surface, "strip/1", {2, 4}, 3);
    EXPECT_EQ(desk.Value(T("sub/9")), 4);

    layer->Detach(&surface);
    layer->Attach(&surface);
    desk.Set(T("A/1"), 100);
    Sweep(surface, "A/1", {98, 96}, 3);
    EXPECT_EQ(desk.Value(T("A/1")), 96);

    RecordingSurface fine({"B/1"});
    layer->Attach(&fine);
    Sweep(fine, "B/1", {2, 4});
    EXPECT_EQ(desk.Value(T("B/1")), 0) << "two levels off is no step of a finest control";
}

TEST_F(ControlLayerTest, AFingerLeavingAFaderLeavesNoMarkBehind)
{
    RecordingSurface page({"sub/1"});
    layer->Attach(&page);
    layer->Touch(&page, T("sub/1"), true);
    Sweep(page, "sub/1", {0, 90});
    layer->Touch(&page, T("sub/1"), false);
    desk.Set(T("sub/1"), 30); // the mouse
    layer->Flush();
    EXPECT_EQ(desk.Mark(T("sub/1")), -1);
    layer->Touch(&page, T("sub/1"), true);
    Sweep(page, "sub/1", {30, 40}); // the finger takes the knob where it is now
    EXPECT_EQ(desk.Value(T("sub/1")), 40);
}

TEST_F(ControlLayerTest, EachControlOnAFaderPicksItUpForItself)
{
    RecordingSurface surface({"sub/1"});
    layer->Attach(&surface);
    Sweep(surface, "sub/1", {0, 229}, 1, 1); // control 1 level with the fader: caught
    Sweep(surface, "sub/1", {26}, 1, 2);
    for (int i = 0; i < 3; ++i) {
        Sweep(surface, "sub/1", {232 - i}, 1, 1);
        Sweep(surface, "sub/1", {28 + i}, 1, 2);
        EXPECT_EQ(desk.Value(T("sub/1")), 232 - i) << "the one that has not caught moves nothing";
    }
    // Control 2 reaches the fader: it takes over, control 1 has to catch it again.
    Sweep(surface, "sub/1", {240}, 1, 2);
    EXPECT_EQ(desk.Value(T("sub/1")), 240);
    Sweep(surface, "sub/1", {100}, 1, 1);
    EXPECT_EQ(desk.Value(T("sub/1")), 240);
}

TEST_F(ControlLayerTest, FeedbackReachesEverySurfaceButTheOneThatMovedAndLampsReachAll)
{
    RecordingSurface mover({"A/1", "link"}, true);
    RecordingSurface watcher({"A/1", "strip/1"});
    layer->Attach(&mover);
    layer->Attach(&watcher);
    mover.Clear();
    watcher.Clear();

    layer->Move(&mover, T("A/1"), 77);
    layer->Flush();
    EXPECT_EQ(mover.Count("A/1"), 0) << "no echo";
    EXPECT_EQ(watcher.Last("A/1")->value, 77);

    desk.Set(T("A/1"), 255); // the mouse
    layer->Flush();
    EXPECT_EQ(mover.Last("A/1")->value, 255);

    layer->Press(&mover, T("link"), true);
    layer->Flush();
    EXPECT_EQ(mover.Last("link")->value, 1) << "the presser's lamp too";
    EXPECT_EQ(watcher.Count("strip/1"), 0) << "sub/1 did not change";
}

TEST_F(ControlLayerTest, FeedbackFollowsAChangeOnItsOwnNoSoonerThanTheGapAfterTheLast)
{
    RecordingSurface surface({"sub/2"});
    layer->Attach(&surface); // a flush: the gap starts
    desk.Set(T("sub/2"), 33);
    ASSERT_TRUE(timer->due);
    EXPECT_EQ(timer->due->first, surfaces::ControlLayer::kFeedbackGap);
    timer->Advance(9ms);
    EXPECT_EQ(surface.Last("sub/2")->value, 0);
    timer->Advance(1ms);
    EXPECT_EQ(surface.Last("sub/2")->value, 33);

    timer->Advance(30ms);
    desk.Set(T("sub/2"), 34);
    EXPECT_EQ(timer->due->first, 0ms) << "long after the last pass it runs at once";
}

TEST_F(ControlLayerTest, BanksMoveTheStripsAndMakeThemPickUpAgain)
{
    desk.Set(T("sub/9"), 40);
    RecordingSurface surface({"strip/1", "strip/8", "bank/2"});
    layer->Attach(&surface);
    EXPECT_EQ(layer->Resolve(&surface, T("strip/1")), T("sub/1"));
    layer->Move(&surface, T("strip/1"), 0);
    EXPECT_TRUE(layer->IsCaught(&surface, T("strip/1")));

    surface.Clear();
    layer->Press(&surface, T("bank/next"), true);
    layer->Flush();
    EXPECT_EQ(layer->GetBankIndex(&surface), 1);
    EXPECT_EQ(surface.Last("strip/1")->value, 40);
    EXPECT_FALSE(surface.Last("strip/1")->caught);
    EXPECT_TRUE(surface.Last("strip/8")) << "every strip is sent";
    EXPECT_EQ(surface.Last("bank/2")->value, 1);

    layer->Move(&surface, T("strip/1"), 0);
    EXPECT_EQ(desk.Value(T("sub/9")), 40) << "no jump after a bank change";
    EXPECT_EQ(desk.Mark(T("sub/9")), 0);
    layer->Press(&surface, T("bank/prev"), true);
    EXPECT_EQ(desk.Mark(T("sub/9")), -1) << "the strip has left it";
}

TEST_F(ControlLayerTest, AStripWithNothingOnTheBankShowsZeroAndPlaysNothing)
{
    desk.Set(T("sub/13"), 90);
    RecordingSurface motor({"strip/4", "strip/5", "strip/8"}, true);
    layer->Attach(&motor);
    layer->Press(&motor, T("bank/2"), true);
    layer->Flush();
    EXPECT_EQ(motor.Last("strip/5")->value, 90);
    layer->Press(&motor, T("bank/3"), true); // sub-masters 17-20
    layer->Flush();
    EXPECT_EQ(layer->Resolve(&motor, T("strip/4")), T("sub/20"));
    EXPECT_EQ(motor.Last("strip/5")->value, 0);
    EXPECT_EQ(motor.Last("strip/8")->value, 0);

    motor.Clear();
    layer->Move(&motor, T("strip/5"), 120);
    EXPECT_EQ(desk.Value(T("sub/13")), 90);
    layer->Flush();
    ASSERT_TRUE(motor.Last("strip/5")) << "the motor goes back to 0";
    EXPECT_EQ(motor.Last("strip/5")->value, 0);
}

TEST_F(ControlLayerTest, AMotorFaderIsMovedToTheLevelAndLeftAloneWhileTouched)
{
    desk.Set(T("B/1"), 128);
    RecordingSurface motor({"B/1"}, true);
    layer->Attach(&motor);
    EXPECT_TRUE(motor.Last("B/1")->caught);
    layer->Move(&motor, T("B/1"), 10);
    EXPECT_EQ(desk.Value(T("B/1")), 10) << "no pick-up";

    layer->Touch(&motor, T("B/1"), true);
    motor.Clear();
    desk.Set(T("B/1"), 99);
    layer->Flush();
    EXPECT_EQ(motor.Count("B/1"), 0);
    layer->Touch(&motor, T("B/1"), false);
    layer->Flush();
    EXPECT_EQ(motor.Last("B/1")->value, 99);
}

TEST_F(ControlLayerTest, TheCrossfaderMovesBothHandlesByItsTravelSinceItCaughtThem)
{
    desk.Set(surfaces::kHandleB, 255);
    RecordingSurface surface({"xfade"}, true);
    layer->Attach(&surface);
    Sweep(surface, "xfade", {0, 100});
    EXPECT_EQ(desk.Value(surfaces::kHandleA), 100);
    EXPECT_EQ(desk.Value(surfaces::kHandleB), 155);
    desk.Set(surfaces::kHandleB, 60); // the mouse moves handle B alone
    Sweep(surface, "xfade", {110, 200});
    EXPECT_EQ(desk.Value(surfaces::kHandleB), 0) << "clamped at the bottom";
    Sweep(surface, "xfade", {110});
    EXPECT_EQ(desk.Value(surfaces::kHandleA), 110);
    EXPECT_EQ(desk.Value(surfaces::kHandleB), 50) << "where the travel since the grab puts it";
}
