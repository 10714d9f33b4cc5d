#include "model/ChasePlayer.h"
#include "dmx/ChaseStage.h"
#include "model/TapTempo.h"

#include <gtest/gtest.h>

#include <optional>

using namespace orinsub;
using namespace orinsub::model;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(TapTempo, FourTapsGiveTheAverageOfTheLastAndAPauseStartsAgain)
{
    const struct
    {
        const char *what;
        std::vector<int> tapsMs;
        std::optional<std::chrono::nanoseconds> step; // after the last tap
    } cases[] = {
        {"three taps", {0, 500, 1000}, std::nullopt},
        {"four taps", {0, 500, 1000, 1500}, 500ms},
        {"uneven", {0, 400, 1000, 1400}, std::chrono::nanoseconds(1400ms) / 3},
        {"the last four count", {0, 1000, 1400, 1800, 2200}, 400ms},
        {"pause of 2 s", {0, 500, 1000, 1500, 3500, 4000}, std::nullopt},
        {"just under 2 s", {0, 1999, 3998, 5997}, 1999ms},
        {"new count after a pause", {0, 500, 3000, 3300, 3600, 3900}, 300ms},
    };
    for (const auto &c : cases) {
        TapTempo taps;
        std::optional<std::chrono::nanoseconds> step;
        for (int ms : c.tapsMs)
            step = taps.Tap(Clock::time_point(std::chrono::milliseconds(ms)));
        EXPECT_EQ(step, c.step) << c.what;
    }
}

namespace {

/// A chase player on a stage of its own and a clock the test moves; chase 4 on sub-master 2-3
/// (fader index 2), three steps that light channel 1, 2 and 3 alone.
class ChasePlayerTest : public ::testing::Test
{
protected:
    ChasePlayerTest()
    {
        player.SetClock([this] { return now; });
        player.SetStageSource([this] { return &stage; });
        Chase chase;
        chase.number = 4;
        chase.place = {2, 3};
        chase.steps.resize(3);
        for (int s = 0; s < 3; ++s)
            chase.steps[s][s] = 255;
        EXPECT_TRUE(chases.Add(chase).IsOk());
        for (int j = 0; j < kSubMastersPerPage; ++j)
            faders[j] = {0, 1, j + 1};
        faders[2].page = 2;
    }

    void Fader(uint8_t level, bool flash = false)
    {
        faders[2].level = level;
        faders[2].flashHeld = flash;
        player.Follow(chases, faders, edits);
    }
    void Edit(const std::function<void(Chase &)> &change)
    {
        Chase chase = *chases.Find(4);
        change(chase);
        ASSERT_TRUE(chases.Replace(chase).IsOk());
        ++edits;
        player.Follow(chases, faders, edits);
    }
    /// The step lane 2 shows now (1..3), read from its look.
    int Shown()
    {
        const ChaseLook *look = player.LaneLook(2);
        if (!look)
            return 0;
        return static_cast<int>(std::max_element(look->begin(), look->begin() + 3) -
                                look->begin()) +
               1;
    }

    Clock::time_point now = Clock::now();
    ChaseList chases;
    SubFaderReading faders[kSubMastersPerPage];
    uint64_t edits = 1;
    dmx::ChaseStage stage;
    ChasePlayer player;
};

} // namespace

// Raised again, a chase that restarts shows its first step at once; one that carries on shows
// the step it stopped on and goes on from as far into it as it was.
class RestartTest : public ChasePlayerTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(RestartTest, RaisedAgainItRestartsOrCarriesOn)
{
    const bool restart = GetParam();
    Edit([&](Chase &c) { c.restartOnRaise = restart; });
    Fader(255);
    now += 1200ms; // step 3, 200 ms in
    EXPECT_EQ(Shown(), 3);
    Fader(0);
    now += 5s;
    EXPECT_EQ(player.GetStep(4), 0) << "stands";
    Fader(200);
    EXPECT_EQ(Shown(), restart ? 1 : 3);
    now += 600ms;
    EXPECT_EQ(Shown(), restart ? 2 : 1) << "carried on, step 3 had 300 ms left";
}

INSTANTIATE_TEST_SUITE_P(RestartOrCarryOn, RestartTest, ::testing::Bool());

// Tap, BPM and the step button move the time of the chase the stage plays, without a jump.
TEST_F(ChasePlayerTest, SpeedFromTheDeskKeepsThePhaseAndFollowsAnEdit)
{
    Fader(255);
    EXPECT_DOUBLE_EQ(player.GetBpm(4), 120.0);
    now += 250ms; // halfway through step 1
    player.SetBpm(4, 60);
    EXPECT_EQ(stage.IsRunning(2), true);
    EXPECT_EQ(player.GetStep(4), 1);
    now += 499ms; // the other half takes 500 ms at 60 BPM
    EXPECT_EQ(player.GetStep(4), 1);
    now += 1ms;
    EXPECT_EQ(player.GetStep(4), 2);

    player.NextStep(4);
    EXPECT_EQ(player.GetStep(4), 3) << "the step button";

    for (auto tap : {0ms, 300ms, 300ms, 300ms}) {
        now += tap;
        player.Tap(4);
    }
    EXPECT_DOUBLE_EQ(player.GetBpm(4), 200.0);
    EXPECT_EQ(player.GetStep(4), 1) << "the fourth tap, near the end of step 3, begins the next";
    now += 299ms;
    EXPECT_EQ(player.GetStep(4), 1);
    now += 1ms;
    EXPECT_EQ(player.GetStep(4), 2);

    Edit([](Chase &c) { c.crossfadePercent = 30; });
    EXPECT_DOUBLE_EQ(player.GetBpm(4), 200.0) << "the desk's speed stands over other edits";
    Edit([](Chase &c) { c.stepMs = 1000; });
    EXPECT_DOUBLE_EQ(player.GetBpm(4), 60.0) << "an edit of the step time sets the speed";
    EXPECT_EQ(player.GetStep(4), 2);
    EXPECT_DOUBLE_EQ(player.GetBpm(100), 0.0) << "no such chase";
    player.SetBpm(4, 5000);
    EXPECT_DOUBLE_EQ(player.GetBpm(4), 1200.0) << "the fastest a chase steps";
    EXPECT_EQ(ChaseStepMsForBpm(127.9), 469) << "as stored, to the millisecond";
}
