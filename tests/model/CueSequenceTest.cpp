#include "model/CueSequence.h"
#include "model/LiveState.h"
#include "model/Mix.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace orinsub::model;
using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Kind = CueNotice::Kind;

namespace {

// The crossfader as far as the sequence sees it: a GO starts a fade toward the next row at once;
// Finish ends it with that row on air.
class FakeCrossfade : public Crossfade
{
public:
    bool Go() override
    {
        if (!player)
            return Go(FadeTimes::Together(milliseconds(fadeTime * 100)));
        if (!AcceptsGo())
            return false;
        const std::optional<FadeTimes> times = player->OnGo(nextRow, false);
        return times && Begin(*times);
    }
    bool Go(const FadeTimes &times) override { return AcceptsGo() && Begin(times); }
    bool Follow(const FadeTimes &times) override { return AcceptsFollow() && Begin(times); }
    void SetPlayer(GoPlayer *to) override { player = to; }
    bool AcceptsGo() const override { return AcceptsFollow() && !bouncing; }
    bool AcceptsFollow() const override { return !running && !grabbed; }
    bool IsRunning() const override { return running; }
    std::optional<FadeTimes> GetStoppedRemainder(int row) const override
    {
        return row == nextRow ? stopped : std::nullopt;
    }
    uint8_t GetHandleLevel(int row) const override { return handles[row]; }
    int GetNextRow() const override { return nextRow; }
    int GetFadeTime() const override { return fadeTime; }

    void Finish()
    {
        running = false;
        handles[nextRow] = 255;
        handles[1 - nextRow] = 0;
        nextRow = 1 - nextRow;
    }

    GoPlayer *player = nullptr;
    bool running = false, grabbed = false, bouncing = false;
    std::optional<FadeTimes> stopped;
    std::array<uint8_t, 2> handles{0, 255}; // row B on air: GO loads row A
    int nextRow = 0;
    int fadeTime = 30;
    std::vector<FadeTimes> started;

private:
    bool Begin(const FadeTimes &times)
    {
        running = true;
        started.push_back(times);
        return true;
    }
};

class FakeHost : public CueSequenceHost
{
public:
    const CueList *GetCues() const override { return &cues; }
    void Load(int row, const Cue &cue) override { loads.push_back({row, cue.number}); }
    void Show(bool) override {}
    void WakeIn(std::optional<milliseconds> delay) override { wake = delay; }
    void PlayingChanged(bool playing) override { switches.push_back(playing); }

    CueList cues;
    std::vector<std::pair<int, int>> loads; // row, cue
    std::optional<milliseconds> wake;
    std::vector<bool> switches;
};

Cue MakeCue(int number, int time, std::optional<int> follow = std::nullopt)
{
    Cue cue;
    cue.number = number;
    cue.upTime = cue.downTime = time;
    cue.follow = follow;
    return cue;
}

// The sequence on a fake crossfader, with cue 1 on stage after a GO whose fade ran out.
struct PlayingDesk
{
    explicit PlayingDesk(std::initializer_list<Cue> cues)
    {
        for (const Cue &cue : cues)
            EXPECT_TRUE(host.cues.Add(cue).IsOk());
        sequence.SetClock([this] { return now; });
        sequence.SetPlaying(true);
        EXPECT_TRUE(sequence.Go());
        crossfade.Finish();
    }

    FakeCrossfade crossfade;
    FakeHost host;
    std::chrono::steady_clock::time_point now{};
    CueSequence sequence{crossfade, host};
};

} // namespace

TEST(CueSequence, ARefusedCommandLoadsNothingStartsNothingAndSaysWhy)
{
    const auto off = [](PlayingDesk &desk) { desk.sequence.SetPlaying(false); };
    const auto nothing = [](PlayingDesk &) {};
    const struct
    {
        const char *what;
        std::function<void(PlayingDesk &)> before;
        std::function<bool(CueSequence &)> command;
        CueNotice notice;
    } cases[] = {
        {"go, switch off", off, [](CueSequence &s) { return s.Go(); }, {Kind::PlaybackOff}},
        {"back, switch off", off, [](CueSequence &s) { return s.Back(); }, {Kind::PlaybackOff}},
        {"goto, switch off", off, [](CueSequence &s) { return s.GoTo(10); }, {Kind::PlaybackOff}},
        {"go, list emptied",
         [](PlayingDesk &desk) { desk.host.cues = {}; },
         [](CueSequence &s) { return s.Go(); },
         {Kind::ListEmpty}},
        {"go past the end", nothing, [](CueSequence &s) { return s.Go(); }, {Kind::ListEnd}},
        {"back at the start", nothing, [](CueSequence &s) { return s.Back(); }, {Kind::ListStart}},
        {"goto a missing cue",
         nothing,
         [](CueSequence &s) { return s.GoTo(25); },
         {Kind::CueMissing, 25}},
        {"goto 0", nothing, [](CueSequence &s) { return s.GoTo(0); }, {Kind::NumberRange}},
        {"goto 1000", nothing, [](CueSequence &s) { return s.GoTo(10000); }, {Kind::NumberRange}},
        {"goto, row B raised",
         [](PlayingDesk &desk) { desk.crossfade.handles[1] = 60; },
         [](CueSequence &s) { return s.GoTo(10); },
         {Kind::RowNotDown, 1}},
    };
    for (const auto &c : cases) {
        PlayingDesk desk{MakeCue(10, 10)};
        c.before(desk);
        EXPECT_FALSE(c.command(desk.sequence)) << c.what;
        EXPECT_EQ(desk.sequence.GetNotice(), c.notice) << c.what;
        EXPECT_EQ(desk.host.loads.size(), 1u) << c.what;
        EXPECT_EQ(desk.crossfade.started.size(), 1u) << c.what;
        EXPECT_EQ(desk.sequence.GetCurrentCue(), 10) << c.what;
    }
}

// What a hand left half done is completed before anything is loaded: a stopped cue fade over
// what is left of its times, a raised off-air row over the GO fade time.
TEST(CueSequence, GoCompletesWhatAHandLeftWithoutLoading)
{
    const FadeTimes rest{1200ms, 300ms, 0ms};
    const struct
    {
        const char *what;
        std::function<void(FakeCrossfade &)> hand;
        FadeTimes times;
    } cases[] = {
        {"stopped fade", [&](FakeCrossfade &c) { c.stopped = rest; }, rest},
        {"raised row", [](FakeCrossfade &c) { c.handles[1] = 90; }, FadeTimes::Together(3000ms)},
    };
    for (const auto &c : cases) {
        PlayingDesk desk{MakeCue(10, 10), MakeCue(20, 10)};
        c.hand(desk.crossfade);
        ASSERT_TRUE(desk.sequence.Go()) << c.what;
        EXPECT_EQ(desk.crossfade.started.back(), c.times) << c.what;
        EXPECT_EQ(desk.host.loads.size(), 1u) << c.what;
        EXPECT_EQ(desk.sequence.GetCurrentCue(), 10) << c.what;
        EXPECT_EQ(desk.sequence.GetNextCue(), 20) << c.what;
    }
}

// Cue 2 follows after 0.5 s but fades 1 s: cue 3 waits for the crossfader, then starts by
// itself even within a GO's bounce, on its own times, into the row GO fades to.
TEST(CueSequence, AFollowWaitsForItsTimeAndTheFadeBeforeIt)
{
    PlayingDesk desk{MakeCue(10, 0), MakeCue(20, 10, 5), MakeCue(30, 20, 12), MakeCue(40, 0)};
    ASSERT_TRUE(desk.sequence.Go());
    EXPECT_EQ(desk.host.wake, 500ms);
    desk.now += 200ms;
    desk.sequence.CheckFollow();
    EXPECT_EQ(desk.host.wake, 300ms) << "woken early: the rest of the time";
    desk.now += 300ms;
    desk.sequence.CheckFollow();
    EXPECT_EQ(desk.host.wake, CueSequence::kFollowRetry) << "the fade before still runs";
    EXPECT_EQ(desk.sequence.GetCurrentCue(), 20);

    desk.crossfade.Finish();
    desk.crossfade.bouncing = true;
    desk.sequence.CheckFollow();
    EXPECT_EQ(desk.sequence.GetCurrentCue(), 30);
    EXPECT_EQ(desk.host.loads.back(), std::make_pair(0, 30));
    EXPECT_EQ(desk.crossfade.started.back(), FadeTimes::Together(2000ms));
    EXPECT_EQ(desk.sequence.GetFollowLeft(), 1200ms) << "cue 3's own follow";

    desk.now += 700ms;
    const CueSequence::Standing standing = desk.sequence.Capture();
    EXPECT_EQ(standing.followLeft, 500ms);
    PlayingDesk restored{MakeCue(10, 0), MakeCue(20, 10, 5), MakeCue(30, 20, 12), MakeCue(40, 0)};
    restored.sequence.Restore(standing);
    EXPECT_EQ(restored.sequence.GetCurrentCue(), 30);
    EXPECT_EQ(restored.host.wake, 500ms);
    EXPECT_EQ(restored.sequence.GetFollowLeft(), 500ms);
}

// A cut runs no follow; a hand taking over a cue's fade cancels it and says how to complete it.
TEST(CueSequence, ACutOrAHandLeavesNoFollowWaiting)
{
    PlayingDesk desk{MakeCue(10, 0), MakeCue(20, 10, 5), MakeCue(30, 10, 5)};
    ASSERT_TRUE(desk.crossfade.player->OnGo(desk.crossfade.nextRow, true)); // カット
    EXPECT_EQ(desk.sequence.GetCurrentCue(), 20);
    EXPECT_FALSE(desk.sequence.IsFollowPending());
    EXPECT_EQ(desk.host.wake, std::nullopt);

    desk.crossfade.Finish();
    ASSERT_TRUE(desk.sequence.Go());
    ASSERT_TRUE(desk.sequence.IsFollowPending());
    desk.crossfade.running = false;
    desk.crossfade.stopped = FadeTimes::Together(400ms);
    desk.crossfade.player->OnTakenOver();
    EXPECT_FALSE(desk.sequence.IsFollowPending());
    EXPECT_EQ(desk.sequence.GetNotice(), (CueNotice{Kind::FadeStopped, 30}));
}

namespace {

/// Both handles and three channels under them, a frame.
using Frame = std::array<uint8_t, 5>;

/// A fade's frames every 20 ms from where it stands to its end, through the crossfader's travels
/// and the mix's crossfade of rows a and b.
std::vector<Frame> FramesOf(const FadeProgress &fade, const std::array<uint8_t, 3> &a,
                            const std::array<uint8_t, 3> &b)
{
    const std::array<HandleTravel, 2> travels = fade.Travels();
    std::vector<Frame> frames;
    for (milliseconds t = fade.elapsed; t <= fade.times.Total() + 20ms; t += 20ms) {
        Frame frame{travels[0].LevelAt(t), travels[1].LevelAt(t)};
        for (size_t i = 0; i < a.size(); ++i)
            frame[2 + i] = CrossfadeLevel(a[i], b[i], frame[0], frame[1]);
        frames.push_back(frame);
    }
    return frames;
}

} // namespace

// A cue of 10 minutes up, and down after a minute's delay: each 20 ms frame moves each handle and
// each channel one level at most, the channels going out or in one way, so through every level;
// put away in the live state after 4 minutes, the fade goes on from there frame for frame.
TEST(CueSequence, ATenMinuteCueFadeMovesLevelByLevelAndResumesFromTheLiveState)
{
    Cue sunrise = MakeCue(20, 6000);
    sunrise.delay = 600;
    PlayingDesk desk{MakeCue(10, 0), sunrise};
    ASSERT_TRUE(desk.sequence.Go());
    ASSERT_EQ(desk.crossfade.started.back(), (FadeTimes{600s, 600s, 60s}));
    LiveState left;
    left.fade = {FadeProgress::Phase::Running, 1, {255, 0}, desk.crossfade.started.back(), 0ms};
    const std::array<uint8_t, 3> rowA{255, 200, 0}, rowB{0, 100, 255};
    const std::vector<Frame> frames = FramesOf(left.fade, rowA, rowB);
    ASSERT_EQ(frames.size(), 660 * 50 + 2u);
    EXPECT_EQ(frames.front(), (Frame{255, 0, 255, 200, 0}));
    EXPECT_EQ(frames.back(), (Frame{0, 255, 0, 100, 255}));
    for (size_t f = 1; f < frames.size(); ++f) {
        for (size_t i = 0; i < 5; ++i)
            EXPECT_LE(std::abs(frames[f][i] - frames[f - 1][i]), 1) << i << " at frame " << f;
        for (size_t i : {0, 2}) // handle A and the channel going out
            EXPECT_LE(frames[f][i], frames[f - 1][i]) << i << " at frame " << f;
        for (size_t i : {1, 4})
            EXPECT_GE(frames[f][i], frames[f - 1][i]) << i << " at frame " << f;
    }

    left.fade.elapsed = 240s;
    const LiveStateRead read = LiveStateFile::Decode(LiveStateFile::Encode(left));
    ASSERT_TRUE(read.state) << read.problem.toStdString();
    const std::vector<Frame> resumed = FramesOf(read.state->fade, rowA, rowB);
    EXPECT_EQ(resumed.front()[1], 102) << "4 of 10 minutes up";
    EXPECT_TRUE(std::equal(resumed.begin(), resumed.end(), frames.begin() + 240 * 50));
}
