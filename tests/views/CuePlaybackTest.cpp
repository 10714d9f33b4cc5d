#include "views/CuePlayback.h"
#include "ConsoleFixture.h"
#include "controls/CueReadout.h"
#include "dmx/LinkTick.h"
#include "model/CueTexts.h"
#include "views/ConsoleTexts.h"

using namespace orinsub;
using namespace std::chrono_literals;
using orinsub::testing::ConsoleTest;
using Clock = std::chrono::steady_clock;

namespace {

model::Cue MakeCue(int number, std::vector<std::pair<int, int>> levels, int up = 0, int down = 0,
                   int delay = 0, std::optional<int> follow = std::nullopt)
{
    model::Cue cue;
    cue.number = number;
    cue.label = QStringLiteral("cue %1").arg(number);
    for (const auto &[channel, level] : levels)
        cue.look[channel - 1] = static_cast<uint8_t>(level);
    cue.upTime = up;
    cue.downTime = down;
    cue.delay = delay;
    cue.follow = follow;
    return cue;
}

// The console with the cue list handed the crossfader; row B starts on air, so GO loads row A.
class CuePlaybackTest : public ConsoleTest
{
protected:
    CuePlaybackTest()
    {
        go().SetClock([this] { return now; });
        cues.SetClock([this] { return now; });
        OpenInterface();
    }
    views::GoFade &go() { return master->GetGoFade(); }
    void Record(const model::Cue &cue) { ASSERT_TRUE(doc.m_extension.cues.Add(cue).IsOk()); }
    /// One 20 ms frame: the fade and the follow step, the link sends the frame.
    void Frame()
    {
        now += 20ms;
        go().Step();
        cues.CheckFollow();
        dmx::LinkTick(port);
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
    void RunOut()
    {
        for (int i = 0; go().IsRunning() && i < 2000; ++i)
            Frame();
    }
    static int Wire(int slot) { return zentra::sim::LastWrittenFrame()[slot]; }
    std::vector<uint8_t> RowLevels(int row) { return dan->GetRow(row)->GetLevels(); }

    Clock::time_point now = Clock::now();
    views::CuePlayback cues{master->GetGoFade()};
};

} // namespace

// Up 2 s, down 4 s, the outgoing row held back 1 s: channel 2 comes in with the cue, channel 1
// (100 in row B) goes out.
TEST_F(CuePlaybackTest, GoLoadsTheOffAirRowAndPlaysTheCuesSplitTimesOnTheWire)
{
    dan->MoveFaderTo(1, 0, 100);
    controls::RecordRow(undo, *dan->GetRow(0)); // a section copy's undo, row A
    const model::UndoRecord undoBefore = undo;
    Record(MakeCue(10, {{2, 255}, {3, 40}}, 20, 40, 10));
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    EXPECT_EQ(Fader(0, 2).GetLevel(), 255) << "the cue stands on row A's faders";
    EXPECT_EQ(Fader(0, 3).GetLevel(), 40);
    EXPECT_TRUE(undo.m_valid);
    EXPECT_EQ(undo.m_levels, undoBefore.m_levels) << "the load leaves the copy's undo alone";
    EXPECT_EQ(cues.GetCurrentCue(), 10);

    dmx::LinkTick(port);
    int lastIn = Wire(2), lastOut = Wire(1);
    ASSERT_EQ(lastOut, 100);
    for (int frame = 1; frame <= 250; ++frame) {
        Frame();
        const int in = Wire(2), out = Wire(1);
        EXPECT_GE(in, lastIn) << frame;
        EXPECT_LE(out, lastOut) << frame;
        EXPECT_EQ(in == 255, frame >= 100) << frame;
        EXPECT_EQ(out == 100, frame <= 50) << frame;
        EXPECT_EQ(go().IsRunning(), frame < 250) << frame;
        lastIn = in;
        lastOut = out;
    }
    for (int channel = 1; channel <= 80; ++channel)
        EXPECT_EQ(Wire(channel), channel == 2 ? 255 : channel == 3 ? 40 : 0) << channel;
}

TEST_F(CuePlaybackTest, GosRulesHoldForCues)
{
    Record(MakeCue(10, {{1, 200}}, 10, 10));
    Record(MakeCue(20, {{1, 50}}, 10, 10));
    Record(MakeCue(30, {{1, 90}}, 10, 10));
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    Frames(10);
    EXPECT_FALSE(cues.Go()) << "during the fade";
    EXPECT_EQ(cues.GetCurrentCue(), 10);
    EXPECT_EQ(RowLevels(1)[0], 0) << "nothing loaded into the row going out";
    RunOut();
    EXPECT_EQ(Wire(1), 200);

    ASSERT_TRUE(cues.Go()); // cue 2 into row B
    now += 100ms;
    EXPECT_FALSE(cues.Go()) << "a bounce";
    go().Cut();
    EXPECT_FALSE(go().IsRunning());
    dmx::LinkTick(port);
    EXPECT_EQ(Wire(1), 50) << "カット completes the cue at once";

    now += 1s;
    ASSERT_TRUE(cues.Go()); // cue 3 into row A
    Frames(20);
    Press(master->viewport(), Centre(HandleA().GetKnobRect()));
    EXPECT_FALSE(go().IsRunning()) << "a hand on a handle stops the fade";
    const int held = Wire(1);
    Frames(100);
    EXPECT_EQ(Wire(1), held);
    Release(master->viewport(), Centre(HandleA().GetKnobRect()));
}

TEST_F(CuePlaybackTest, AFollowStartsTheNextCueByItselfOnceTheFadeBeforeHasEnded)
{
    Record(MakeCue(10, {{1, 255}}, 10, 10, 0, 5)); // follows after 0.5 s, fades 1 s
    Record(MakeCue(20, {{1, 100}}, 5, 5, 0, 10));  // follows after 1 s
    Record(MakeCue(30, {{1, 30}}, 0, 0));          // waits for GO
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    Frames(49);
    EXPECT_EQ(cues.GetCurrentCue(), 10) << "cue 1's fade still has the crossfader";
    Frame();
    EXPECT_EQ(cues.GetCurrentCue(), 20) << "started as cue 1's fade ended";
    Frames(49);
    EXPECT_EQ(cues.GetCurrentCue(), 20);
    Frame();
    EXPECT_EQ(cues.GetCurrentCue(), 30) << "1 s after cue 2's GO";
    Frames(100);
    EXPECT_EQ(cues.GetCurrentCue(), 30);
    EXPECT_EQ(Wire(1), 30);

    // カット, a hand on a handle, BACK, GOTO, the switch and another show cancel a follow.
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"cut", [&] { go().Cut(); }},
        {"hand", [&] { master->MoveCrossfaderHandle(0, HandleA().GetLevel()); }},
        {"back", [&] { cues.Back(); }},
        {"goto", [&] { cues.GoTo(30); }},
        {"switch",
         [&] {
             cues.SetPlaying(false);
             cues.SetPlaying(true);
         }},
        {"show", [&] { cues.ShowChanged(); }},
    };
    for (const auto &[name, cancel] : cases) {
        now += 1s;
        ASSERT_TRUE(cues.GoTo(20)) << name;
        RunOut(); // 0.5 s of the 1 s follow
        ASSERT_TRUE(cues.IsFollowPending()) << name;
        cancel();
        const int current = cues.GetCurrentCue();
        Frames(100);
        EXPECT_FALSE(cues.IsFollowPending()) << name;
        EXPECT_EQ(cues.GetCurrentCue(), current) << name;
    }
}

TEST_F(CuePlaybackTest, BackFadesToTheCueBeforeOverTheBackTimeAndGotoOverTheCuesOwn)
{
    Record(MakeCue(10, {{1, 10}}, 10, 10));
    Record(MakeCue(20, {{1, 20}}, 10, 10));
    Record(MakeCue(30, {{1, 30}}, 5, 20, 5));
    cues.SetPlaying(true);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(cues.Go());
        RunOut();
        now += 1s;
    }
    ASSERT_EQ(Wire(1), 20);
    cues.SetBackTime(20);
    ASSERT_TRUE(cues.Back());
    EXPECT_EQ(cues.GetCurrentCue(), 10);
    EXPECT_EQ(cues.GetNextCue(), 20);
    int frames = 0;
    for (; go().IsRunning(); ++frames)
        Frame();
    EXPECT_EQ(frames, 100) << "both handles over the back time";
    EXPECT_EQ(Wire(1), 10);

    now += 1s;
    ASSERT_TRUE(cues.GoTo(30));
    EXPECT_EQ(cues.GetNextCue(), 0);
    for (frames = 0; go().IsRunning(); ++frames)
        Frame();
    EXPECT_EQ(frames, 125) << "0.5 s delay and 2 s down";
    EXPECT_EQ(Wire(1), 30);
}

// Nothing to play: the readout says why and neither the rows nor the output move.
TEST_F(CuePlaybackTest, AGoPastTheEndOrToAMissingCueChangesNothingAndSaysWhy)
{
    controls::CCueReadout readout(QRect(30, 1, 1000, 18), nullptr);
    cues.SetReadout(&readout);
    cues.SetPlaying(true);
    EXPECT_FALSE(cues.Go());
    EXPECT_EQ(readout.GetState().message, views::cuetexts::kListEmpty);

    Record(MakeCue(10, {{1, 10}}, 0, 0));
    now += 1s;
    ASSERT_TRUE(cues.Go());
    RunOut();
    EXPECT_EQ(readout.GetState().current, QStringLiteral("1 cue 10"));
    EXPECT_TRUE(readout.GetState().message.isEmpty());
    const auto rowA = RowLevels(0), rowB = RowLevels(1);
    const struct
    {
        std::function<bool()> command;
        QString message;
    } cases[] = {
        {[&] { return cues.Go(); }, views::cuetexts::kListEnd},
        {[&] { return go().Go(); }, views::cuetexts::kListEnd}, // F12, Space, a surface's go
        {[&] { return cues.GoTo(25); }, QStringLiteral("キュー 2.5 はありません。")},
        {[&] { return cues.GoTo(0); }, model::texts::kCueNumberRange.toString()},
        {[&] { return cues.Back(); }, views::cuetexts::kListStart},
    };
    for (const auto &c : cases) {
        now += 1s;
        EXPECT_FALSE(c.command()) << c.message.toStdString();
        EXPECT_EQ(readout.GetState().message, c.message);
        EXPECT_FALSE(go().IsRunning());
        EXPECT_EQ(RowLevels(0), rowA);
        EXPECT_EQ(RowLevels(1), rowB);
        EXPECT_EQ(cues.GetCurrentCue(), 10);
    }
    go().Cut();
    EXPECT_EQ(HandleA().GetLevel(), 255) << "nothing to cut to either";
}

TEST_F(CuePlaybackTest, WithTheSwitchOffTheDeskPlaysByHandAsBefore)
{
    Record(MakeCue(10, {{1, 200}}, 0, 0));
    dan->MoveFaderTo(0, 0, 77);
    cues.SetPlaying(true);
    cues.SetPlaying(false);
    ASSERT_TRUE(go().Go());
    RunOut();
    EXPECT_EQ(Fader(0, 1).GetLevel(), 77) << "nothing loaded";
    EXPECT_EQ(Wire(1), 77);
    EXPECT_EQ(cues.GetCurrentCue(), 0);
    const std::function<bool()> commands[] = {
        [&] { return cues.Go(); }, [&] { return cues.Back(); }, [&] { return cues.GoTo(10); }};
    for (const auto &command : commands) {
        now += 1s;
        EXPECT_FALSE(command());
        EXPECT_EQ(cues.GetMessage(), views::cuetexts::kPlaybackOff);
        EXPECT_EQ(Fader(1, 1).GetLevel(), 0);
    }
}

// A hand stops cue 2's fade halfway with row B half up; GO then brings cue 2 the rest of the way
// over what is left of its times, and only the GO after it loads cue 3, into the row at 0.
TEST_F(CuePlaybackTest, AfterAHandStoppedACueFadeGoCompletesItAndNoFrameJumps)
{
    Record(MakeCue(10, {{1, 217}, {7, 227}}, 0, 0));
    Record(MakeCue(20, {{1, 165}, {13, 255}}, 20, 20)); // 2 s each way
    Record(MakeCue(30, {{7, 99}}, 10, 10));
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    RunOut();
    now += 1s;
    ASSERT_TRUE(cues.Go());
    Frames(50);
    Press(master->viewport(), Centre(HandleA().GetKnobRect()));
    Release(master->viewport(), Centre(HandleA().GetKnobRect()));
    ASSERT_FALSE(go().IsRunning());
    const auto rowB = RowLevels(1);

    now += 1s;
    dmx::LinkTick(port);
    std::array<int, 81> last{};
    for (int slot = 1; slot <= 80; ++slot)
        last[slot] = Wire(slot);
    ASSERT_TRUE(cues.Go());
    EXPECT_EQ(RowLevels(1), rowB) << "nothing loaded into the row on stage";
    EXPECT_EQ(cues.GetCurrentCue(), 20);
    int frames = 0;
    for (; go().IsRunning() && frames < 200; ++frames) {
        Frame();
        for (int slot = 1; slot <= 80; ++slot) {
            // 255 over 2 s is under 3 a frame.
            EXPECT_LE(std::abs(Wire(slot) - last[slot]), 3)
                << "slot " << slot << " frame " << frames;
            last[slot] = Wire(slot);
        }
    }
    EXPECT_NEAR(frames, 50, 1) << "the second of the two left";
    EXPECT_EQ(Wire(1), 165);
    EXPECT_EQ(Wire(7), 0);
    EXPECT_EQ(Wire(13), 255);

    now += 1s;
    ASSERT_TRUE(cues.Go());
    EXPECT_EQ(cues.GetCurrentCue(), 30);
    EXPECT_EQ(RowLevels(0)[6], 99) << "cue 3 into row A, at 0";
    RunOut();
    EXPECT_EQ(Wire(7), 99);
}

// BACK and GOTO would have to load a row that is up: they wait and say why; GO after a hand
// raised the off-air row completes that crossfade without loading it.
TEST_F(CuePlaybackTest, NothingLoadsARowWhoseHandleIsUp)
{
    controls::CCueReadout readout(QRect(30, 1, 1000, 18), nullptr);
    cues.SetReadout(&readout);
    Record(MakeCue(10, {{1, 100}}, 0, 0));
    Record(MakeCue(20, {{1, 200}}, 0, 0));
    Record(MakeCue(30, {{1, 50}}, 0, 0));
    cues.SetPlaying(true);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(cues.Go());
        RunOut();
        now += 1s;
    }
    master->MoveCrossfaderHandle(0, 60); // row A, off air, raised by a hand
    const auto rowA = RowLevels(0), rowB = RowLevels(1);
    const QString why = views::cuetexts::kRowNotDown.arg(QStringLiteral("A"));
    const std::pair<const char *, std::function<bool()>> refused[] = {
        {"back", [&] { return cues.Back(); }},
        {"goto", [&] { return cues.GoTo(30); }},
    };
    for (const auto &[name, command] : refused) {
        now += 1s;
        EXPECT_FALSE(command()) << name;
        EXPECT_EQ(readout.GetState().message, why) << name;
        EXPECT_EQ(RowLevels(0), rowA) << name;
    }

    now += 1s;
    ASSERT_TRUE(cues.Go());
    EXPECT_EQ(cues.GetCurrentCue(), 20) << "GO completed the hand's crossfade";
    RunOut();
    EXPECT_EQ(RowLevels(0), rowA);
    EXPECT_EQ(RowLevels(1), rowB);
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(HandleB().GetLevel(), 0);
}

// The readout counts down what is left of a cue's fade, m:ss.s from a minute on, and a follow.
TEST_F(CuePlaybackTest, TheReadoutCountsDownWhatIsLeftOfALongFade)
{
    controls::CCueReadout readout(QRect(30, 1, 1000, 18), nullptr);
    cues.SetReadout(&readout);
    Record(MakeCue(10, {{1, 255}}, 6000, 6000, 0, model::kMaxFadeTime));
    cues.SetPlaying(true);
    ASSERT_TRUE(cues.Go());
    const std::pair<std::chrono::milliseconds, const char16_t *> steps[] = {
        {100ms, u"残り 9:59.9"}, {540'000ms, u"残り 59.9 秒"}, {60'000ms, u""}};
    for (const auto &[after, remaining] : steps) {
        now += after;
        go().Step();
        cues.Refresh();
        EXPECT_EQ(readout.GetState().remaining, QString::fromUtf16(remaining));
    }
    EXPECT_EQ(readout.GetState().message, QStringLiteral("フォロー 49:59.8"));
}
