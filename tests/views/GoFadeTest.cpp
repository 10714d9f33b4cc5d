#include "views/GoFade.h"
#include "ConsoleFixture.h"
#include "controls/DanLamp.h"

#include <vector>

using namespace orinsub;
using namespace std::chrono_literals;
using orinsub::testing::ConsoleTest;
using Clock = std::chrono::steady_clock;

namespace {

class GoFadeTest : public ConsoleTest
{
protected:
    GoFadeTest()
    {
        go().SetClock([this] { return now; });
        // Channel 1 is 255 in row A and 100 in row B; row B is on air.
        dan->MoveFaderTo(0, 0, 255);
        dan->MoveFaderTo(1, 0, 100);
    }
    views::GoFade &go() { return master->GetGoFade(); }
    /// One link tick later.
    void Tick()
    {
        now += 20ms;
        go().Step();
    }
    /// Runs the fade to its end, however long it takes.
    void RunOut()
    {
        for (int i = 0; go().IsRunning() && i < 2000; ++i)
            Tick();
    }
    /// Which row the handles stand fully on air for, -1 for neither.
    int RowOnAir()
    {
        if (HandleA().GetLevel() == 255 && HandleB().GetLevel() == 0)
            return 0;
        if (HandleA().GetLevel() == 0 && HandleB().GetLevel() == 255)
            return 1;
        return -1;
    }

    Clock::time_point now = Clock::now();
};

} // namespace

TEST_F(GoFadeTest, BothHandlesTravelOneWayEveryTickAndEndExactlyOnTheOtherRow)
{
    ASSERT_EQ(model::s_channelLevels[0], 100);
    EXPECT_TRUE(go().Go());
    int ticks = 0;
    int lastA = HandleA().GetLevel(), lastB = HandleB().GetLevel(), lastOut = 100;
    while (go().IsRunning()) {
        Tick();
        ++ticks;
        EXPECT_GT(HandleA().GetLevel(), lastA) << "tick " << ticks; // 3 s: every tick moves
        EXPECT_LT(HandleB().GetLevel(), lastB) << "tick " << ticks;
        EXPECT_GE(model::s_channelLevels[0], lastOut) << "tick " << ticks;
        lastA = HandleA().GetLevel();
        lastB = HandleB().GetLevel();
        lastOut = model::s_channelLevels[0];
        ASSERT_LE(ticks, 150);
    }
    EXPECT_EQ(ticks, 150);
    EXPECT_EQ(RowOnAir(), 0);
    EXPECT_EQ(model::s_channelLevels[0], 255);
    EXPECT_EQ(port.GetOutputSlot(1), 255);
    EXPECT_EQ(left->GetRowLamp(1)->GetState(), controls::RowState::OffAir) << "row B off air";

    go().Go(); // and back, from row A to row B
    RunOut();
    EXPECT_EQ(RowOnAir(), 1);
    EXPECT_EQ(model::s_channelLevels[0], 100);
}

// The handles moved as a surface or the linked crossfader moves them; then GO.
TEST_F(GoFadeTest, GoCompletesWhatTheHandsBeganAndGoesBackAfterAFullCrossfade)
{
    struct Case
    {
        const char *name;
        std::vector<std::pair<int, int>> moves;
        bool showOpened; // a show opened after the moves
        int goesTo;
    };
    const Case cases[] = {
        {"fresh desk", {}, false, 0},
        {"full crossfade to A", {{255, 0}}, false, 1},
        {"full to A, then partly back", {{255, 0}, {120, 140}}, false, 1},
        {"partly from B toward A", {{200, 60}}, false, 0},
        {"to A, back to B, partly toward A", {{255, 0}, {0, 255}, {30, 220}}, false, 0},
        {"both handles up: neither row alone", {{255, 255}}, false, 0},
        {"partly back from A, then a show opened", {{255, 0}, {120, 140}}, true, 0},
        {"A on air when a show opened", {{255, 0}}, true, 1},
    };
    for (const Case &c : cases) {
        master->MoveCrossfader(0, 255);
        go().ResetLastOnAir();
        for (const auto &[a, b] : c.moves)
            master->MoveCrossfader(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
        if (c.showOpened)
            go().ResetLastOnAir();
        now += 1s; // no bounce from the case before
        ASSERT_TRUE(go().Go()) << c.name;
        RunOut();
        EXPECT_EQ(RowOnAir(), c.goesTo) << c.name;
    }
}

TEST_F(GoFadeTest, ALinkedMouseDragToTheTopCountsAsAFullCrossfade)
{
    master->SetCrossfaderLinked(true);
    const QPoint knob = Centre(HandleA().GetKnobRect());
    Press(master->viewport(), knob);
    Move(master->viewport(), knob - QPoint(0, 200));
    Move(master->viewport(), knob - QPoint(0, 100)); // and halfway back down
    Release(master->viewport(), knob - QPoint(0, 100));
    ASSERT_EQ(RowOnAir(), -1);
    go().Go();
    RunOut();
    EXPECT_EQ(RowOnAir(), 1) << "the drag went on to A, then back toward B";
}

TEST_F(GoFadeTest, GrabbingAHandleStopsTheFadeWhereItIs)
{
    go().Go();
    for (int i = 0; i < 75; ++i)
        Tick();
    const int a = HandleA().GetLevel(), b = HandleB().GetLevel();
    EXPECT_NEAR(a, 127, 1);
    Press(master->viewport(), Centre(HandleB().GetKnobRect()));
    EXPECT_FALSE(go().IsRunning());
    Tick();
    EXPECT_EQ(HandleA().GetLevel(), a);
    EXPECT_EQ(HandleB().GetLevel(), b);
    EXPECT_FALSE(go().Go()) << "not while the handle is held";
    go().Cut();
    EXPECT_EQ(HandleA().GetLevel(), a) << "nor a cut";
    Release(master->viewport(), Centre(HandleB().GetKnobRect()));
}

TEST_F(GoFadeTest, AGoSoonAfterTheLastOneOrDuringAFadeDoesNothing)
{
    go().SetFadeTime(0); // each GO a cut, so only the bounce holds the second one back
    ASSERT_TRUE(go().Go());
    EXPECT_EQ(RowOnAir(), 0);
    now += 499ms;
    EXPECT_FALSE(go().Go());
    EXPECT_EQ(RowOnAir(), 0);
    now += 1ms;
    EXPECT_TRUE(go().Go());
    EXPECT_EQ(RowOnAir(), 1);

    go().SetFadeTime(30);
    now += 1s;
    go().Go();
    for (int i = 0; i < 50; ++i)
        Tick();
    const int a = HandleA().GetLevel();
    EXPECT_FALSE(go().Go()) << "a GO during the fade neither snaps nor reverses it";
    EXPECT_TRUE(go().IsRunning());
    EXPECT_EQ(HandleA().GetLevel(), a);
    Tick();
    EXPECT_GT(HandleA().GetLevel(), a);
}

TEST_F(GoFadeTest, CutCompletesARunningFadeOrCutsToTheOtherRow)
{
    go().Go();
    Tick();
    go().Cut();
    EXPECT_FALSE(go().IsRunning());
    EXPECT_EQ(RowOnAir(), 0);
    EXPECT_EQ(port.GetOutputSlot(1), 255);

    go().Cut(); // no fade: straight back, no bounce for a deliberate cut
    EXPECT_FALSE(go().IsRunning());
    EXPECT_EQ(RowOnAir(), 1);
    EXPECT_EQ(port.GetOutputSlot(1), 100);

    go().SetFadeTime(99999);
    EXPECT_EQ(go().GetFadeTime(), model::kMaxFadeTime);
}

// A cue's split times: up 2 s, down 4 s, the outgoing row held back 1 s. Channel 2 lives in
// row A (incoming) only, channel 1's row B level of 100 in the outgoing row.
TEST_F(GoFadeTest, SplitTimesMoveEachHandleOnItsOwnTimeEachOneWayToAnExactEnd)
{
    dan->MoveFaderTo(0, 0, 0);
    dan->MoveFaderTo(0, 1, 255);
    ASSERT_TRUE(go().Go(views::FadeTimes{2s, 4s, 1s}));
    int lastIn = port.GetOutputSlot(2), lastOut = port.GetOutputSlot(1);
    int lastA = HandleA().GetLevel(), lastB = HandleB().GetLevel();
    double lastProgress = go().GetProgress();
    for (int frame = 1; frame <= 250; ++frame) {
        Tick();
        const int in = port.GetOutputSlot(2), out = port.GetOutputSlot(1);
        const int a = HandleA().GetLevel(), b = HandleB().GetLevel();
        if (frame <= 100)
            EXPECT_GT(a, lastA) << frame;
        if (frame > 50)
            EXPECT_LT(b, lastB) << frame;
        if (frame < 100) {
            EXPECT_LT(a, 255) << frame;
            EXPECT_GE(in, lastIn) << frame;
        } else {
            EXPECT_EQ(a, 255) << frame;
            EXPECT_EQ(in, 255) << frame;
        }
        if (frame <= 50) {
            EXPECT_EQ(b, 255) << frame;
            EXPECT_EQ(out, 100) << frame;
        } else if (frame < 250) {
            EXPECT_TRUE(b > 0 && b < 255) << frame;
            EXPECT_LE(out, lastOut) << frame;
        }
        EXPECT_EQ(go().IsRunning(), frame < 250) << frame;
        if (go().IsRunning()) {
            EXPECT_GT(go().GetProgress(), lastProgress) << frame;
            lastProgress = go().GetProgress();
        }
        lastIn = in;
        lastOut = out;
        lastA = a;
        lastB = b;
    }
    EXPECT_EQ(RowOnAir(), 0);
    EXPECT_EQ(port.GetOutputSlot(1), 0);
    EXPECT_EQ(port.GetOutputSlot(2), 255);
    EXPECT_EQ(go().GetProgress(), 0.0) << "no fade runs";
}
