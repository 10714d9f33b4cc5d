#include "views/GoFade.h"
#include "ConsoleFixture.h"
#include "controls/DanLamp.h"

using namespace orinsub;
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
        now += std::chrono::milliseconds(20);
        go().Step();
    }

    Clock::time_point now = Clock::now();
};

} // namespace

TEST_F(GoFadeTest, BothHandlesTravelOneWayEveryTickAndEndExactlyOnTheOtherRow)
{
    ASSERT_EQ(model::s_channelLevels[0], 100);
    go().Go();
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
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(HandleB().GetLevel(), 0);
    EXPECT_EQ(model::s_channelLevels[0], 255);
    EXPECT_EQ(port.GetOutputSlot(1), 255);
    EXPECT_EQ(left->GetRowLamp(1)->GetState(), controls::RowState::OffAir) << "row B off air";

    go().Go(); // and back, from row A to row B
    for (int i = 0; i < 150; ++i)
        Tick();
    EXPECT_EQ(HandleA().GetLevel(), 0);
    EXPECT_EQ(HandleB().GetLevel(), 255);
    EXPECT_EQ(model::s_channelLevels[0], 100);
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
    go().Go();
    EXPECT_FALSE(go().IsRunning()) << "not while the handle is held";
    Release(master->viewport(), Centre(HandleB().GetKnobRect()));
}

TEST_F(GoFadeTest, GoDuringAFadeCompletesItAndAZeroTimeCuts)
{
    go().Go();
    Tick();
    go().Go();
    EXPECT_FALSE(go().IsRunning());
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(HandleB().GetLevel(), 0);

    go().SetFadeTime(0);
    go().Go();
    EXPECT_FALSE(go().IsRunning());
    EXPECT_EQ(HandleA().GetLevel(), 0);
    EXPECT_EQ(HandleB().GetLevel(), 255);

    go().SetFadeTime(999);
    EXPECT_EQ(go().GetFadeTime(), 255);
}
