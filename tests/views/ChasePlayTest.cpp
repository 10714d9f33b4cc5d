#include "ConsoleFixture.h"
#include "controls/FaderLabel.h"
#include "dmx/LinkTick.h"
#include "model/ChasePlayer.h"
#include "views/CuePlayback.h"

#include <cmath>

using namespace orinsub;
using namespace std::chrono_literals;
using model::ChaseDirection;
using orinsub::testing::ConsoleTest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFader = 2; // sub fader 3, on sub-master 1-3 of the page shown
constexpr int kSteps = 4;

// The whole console on the simulated interface, the chases' time and the link's on the test's
// clock; chase 1 on sub-master 1-3 at 120 BPM with half of each step fading: step s lights
// channel s + 1 alone.
class ChaseConsoleTest : public ConsoleTest
{
protected:
    ChaseConsoleTest()
    {
        player().SetClock([this] { return now; });
        player().SetSeed(11);
        port.GetChaseStage().SetClock([this] { return now; });
        OpenInterface();
    }
    model::ChasePlayer &player() { return master->GetChasePlayer(); }
    void PutChase(ChaseDirection direction)
    {
        model::Chase chase;
        chase.place = {1, kFader + 1};
        chase.stepMs = 500;
        chase.crossfadePercent = 50;
        chase.direction = direction;
        chase.steps.resize(kSteps);
        for (int s = 0; s < kSteps; ++s)
            chase.steps[s][s] = 255;
        ASSERT_TRUE(doc.EditChases([&](model::ChaseList &chases) {
                           chases.Remove(1);
                           return chases.Add(chase);
                       })
                        .IsOk());
    }
    /// 20 ms on; the link sends its frame, nothing else runs. (The frame the link tick writes,
    /// without the tick's rest between frames, which would make each frame wait 10 ms.)
    void Frame()
    {
        now += 20ms;
        port.WriteFrame();
    }
    static int Wire(int slot) { return zentra::sim::LastWrittenFrame()[slot]; }
    /// Which channel of 1..kSteps is at full on the wire, 0 for none.
    static int FullChannel()
    {
        for (int c = 1; c <= kSteps; ++c) {
            if (Wire(c) == 255)
                return c;
        }
        return 0;
    }

    Clock::time_point now = Clock::now();
};

/// Channel c's level at ms after the raise, for steps played in order, before the fader.
int ExpectedLevel(const std::vector<int> &order, int ms, int c)
{
    const int beat = ms / 500;
    const int into = ms % 500;
    const int step = order.at(beat);
    const int from = beat > 0 ? order.at(beat - 1) : step;
    const double share = beat > 0 && into < 250 ? into / 250.0 : 1.0;
    const double level = (from == c ? 255 * (1 - share) : 0) + (step == c ? 255 * share : 0);
    return static_cast<int>(std::lround(level));
}

struct PlayCase
{
    const char *what;
    ChaseDirection direction;
    uint8_t fader;
    bool flash;
    std::vector<int> order; // the step indexes of the first beats; empty: random, read off the wire
};

class ChaseWireTest : public ChaseConsoleTest, public ::testing::WithParamInterface<PlayCase>
{
};

} // namespace

// Frame by frame over eight steps, with only the link tick running: each step fades in over
// 250 ms from the one before, then holds, scaled by the fader (full while flashed); the desk's
// output displays show what the wire carries.
TEST_P(ChaseWireTest, StepsLandOnTheWireFrameByFrame)
{
    const PlayCase &c = GetParam();
    PutChase(c.direction);
    std::vector<int> order = c.order;
    if (order.empty()) {
        // The order the seed draws, as the wire shows it at the end of each step's hold.
        master->MoveSubFaderTo(kFader, 255);
        for (int beat = 0; beat < 8; ++beat) {
            for (int f = 0; f < 25; ++f)
                Frame();
            order.push_back(FullChannel() - 1);
        }
        master->MoveSubFaderTo(kFader, 0);
        for (size_t i = 1; i < order.size(); ++i)
            ASSERT_NE(order[i], order[i - 1]) << "no step twice in a row";
        player().SetSeed(11);
    }
    master->MoveSubFaderTo(kFader, c.fader);
    master->HoldFlash(kFader, c.flash);
    const uint8_t gain = c.flash ? 255 : c.fader;
    const auto check = [&](int ms) {
        for (int channel = 1; channel <= kSteps; ++channel)
            ASSERT_EQ(Wire(channel), model::ScaleLevel(ExpectedLevel(order, ms, channel - 1), gain))
                << c.what << " at " << ms << " ms, channel " << channel;
        for (int channel = kSteps + 1; channel <= 80; ++channel)
            ASSERT_EQ(Wire(channel), 0) << channel;
    };
    dmx::LinkTick(port);
    check(0);
    for (int ms = 20; ms < 4000; ms += 20) {
        Frame();
        check(ms);
        if (ms % 100 == 0) {
            model::RecomputeAllChannels();
            for (int channel = 1; channel <= kSteps; ++channel)
                EXPECT_EQ(model::s_channelLevels[channel - 1], Wire(channel)) << ms;
        }
    }
    master->HoldFlash(kFader, false);
    master->MoveSubFaderTo(kFader, 0);
    Frame();
    EXPECT_EQ(FullChannel(), 0) << "stopped with its fader";
}

INSTANTIATE_TEST_SUITE_P(
    Chases, ChaseWireTest,
    ::testing::Values(
        PlayCase{"forward", ChaseDirection::Forward, 255, false, {0, 1, 2, 3, 0, 1, 2, 3}},
        PlayCase{"backward", ChaseDirection::Backward, 255, false, {3, 2, 1, 0, 3, 2, 1, 0}},
        PlayCase{"bounce", ChaseDirection::Bounce, 255, false, {0, 1, 2, 3, 2, 1, 0, 1}},
        PlayCase{"random", ChaseDirection::Random, 255, false, {}},
        PlayCase{"fader at half", ChaseDirection::Forward, 128, false, {0, 1, 2, 3, 0, 1, 2, 3}},
        PlayCase{"flashed at 0", ChaseDirection::Bounce, 0, true, {0, 1, 2, 3, 2, 1, 0, 1}},
        PlayCase{
            "flashed over a fader", ChaseDirection::Backward, 60, true, {3, 2, 1, 0, 3, 2, 1, 0}}));

// A cue fades channels 1 and 5 in on row A while the chase runs on channels 1..4: highest takes
// precedence on channel 1, the others play their own.
TEST_F(ChaseConsoleTest, AChaseAndTheCueListPlayAtOnce)
{
    master->GetGoFade().SetClock([this] { return now; });
    views::CuePlayback cues{master->GetGoFade()};
    model::Cue cue;
    cue.number = 10;
    cue.look[0] = 100;
    cue.look[4] = 200;
    cue.upTime = 10; // 1 s
    cue.downTime = 10;
    ASSERT_TRUE(doc.m_extension.cues.Add(cue).IsOk());
    PutChase(ChaseDirection::Forward);
    master->MoveSubFaderTo(kFader, 255);
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    int lastCue = 0;
    for (int ms = 20; ms <= 2000; ms += 20) {
        now += 20ms;
        master->GetGoFade().Step();
        dmx::LinkTick(port); // the whole tick, as the console runs it
        const std::vector<int> order{0, 1, 2, 3, 0};
        EXPECT_GE(Wire(5), lastCue) << ms;
        EXPECT_EQ(Wire(5) == 200, ms >= 1000) << ms;
        lastCue = Wire(5);
        const int cueOnOne = Wire(5) / 2; // channel 1's cue level is half channel 5's
        EXPECT_NEAR(Wire(1), std::max(cueOnOne, ExpectedLevel(order, ms, 0)), 1) << ms;
        for (int channel = 2; channel <= kSteps; ++channel)
            EXPECT_EQ(Wire(channel), ExpectedLevel(order, ms, channel - 1)) << ms;
    }
    EXPECT_EQ(Wire(1), 100) << "the cue holds channel 1 between its steps";
}

// While a chase runs its name box shows its speed, which four taps set; the desk's displays
// follow it on their own tick.
TEST_F(ChaseConsoleTest, TheLabelShowsTheSpeedWhileTheChaseRuns)
{
    controls::CFaderLabel &label = *master->GetNameLabel(kFader);
    PutChase(ChaseDirection::Forward);
    master->MoveSubFaderTo(kFader, 255);
    EXPECT_EQ(label.GetBadge(), QStringLiteral("120.0 BPM"));
    EXPECT_TRUE(master->IsFollowingChases());
    for (int tap = 0; tap < 4; ++tap) {
        now += 400ms;
        player().Tap(1);
    }
    EXPECT_EQ(label.GetBadge(), QStringLiteral("150.0 BPM"));
    master->MoveSubFaderTo(kFader, 0);
    EXPECT_TRUE(label.GetBadge().isEmpty());
    EXPECT_FALSE(master->IsFollowingChases());
}
