#include "app/LiveDesk.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "controls/FaderLabel.h"
#include "controls/SubFader.h"
#include "dmx/OrinZentra.h"
#include "views/CuePlayback.h"
#include "views/GoFade.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

using namespace orinsub;
using namespace orinsub::app;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class LiveDeskTest : public orinsub::testing::MainWindowTest
{
protected:
    /// The frame's GO fade and cue list on the test's clock.
    void UseClock()
    {
        Master().GetGoFade().SetClock([this] { return now; });
        frame->GetCuePlayback().SetClock([this] { return now; });
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            now += 20ms;
            Master().GetGoFade().Step();
            frame->GetCuePlayback().CheckFollow();
        }
    }
    void Record(int number, int channel, int level, int tenths, std::optional<int> follow = {})
    {
        model::Cue cue;
        cue.number = number;
        cue.look[channel - 1] = static_cast<uint8_t>(level);
        cue.upTime = cue.downTime = tenths;
        cue.follow = follow;
        ASSERT_TRUE(doc.m_extension.cues.Add(cue).IsOk());
    }

    Clock::time_point now = Clock::now();
    std::vector<uint8_t> Output() const
    {
        std::vector<uint8_t> frame;
        for (int slot = 1; slot < dmx::kFrameSize; ++slot)
            frame.push_back(model::g_orin.m_pZentra->GetOutputSlot(slot));
        return frame;
    }
};

// Everything an operator sets by hand, then a console started afresh.
TEST_F(LiveDeskTest, ARestoredDeskPlaysWhatTheCapturedOneDid)
{
    doc.GetSubMaster(2, 1)->m_name = QStringLiteral("Wash");
    doc.GetSubMaster(2, 1)->m_levels[4] = 250;
    Dan().MoveFaderTo(0, 0, 255);
    Dan().MoveFaderTo(1, 79, 40);
    Master().StepPage(true);
    Master().MoveSubFaderTo(0, 150); // plays page 2's first sub-master from now on
    Master().StepPage(false);
    Master().MoveCrossfader(180, 90);
    Master().SetCrossfaderLinked(true);
    Master().SetGrandMaster(200);
    Master().GetGoFade().SetFadeTime(12);
    frame->SetInputHook(views::InputTarget::RowB);
    const model::LiveState played = CaptureLiveState(*frame);
    const std::vector<uint8_t> output = Output();
    ASSERT_GT(output[4], 0);
    ASSERT_EQ(played.subFaders[0].page, 2);

    frame.reset();
    frame = std::make_unique<CMainFrame>(&doc);
    frame->OnInitialUpdate();
    ASSERT_TRUE(CaptureLiveState(*frame).IsFresh());
    RestoreLiveState(*frame, played);

    EXPECT_EQ(CaptureLiveState(*frame), played);
    EXPECT_EQ(Output(), output);
    EXPECT_EQ(Master().GetSubFader(0)->GetContentState(), controls::ContentState::HeldElsewhere);
    EXPECT_EQ(Master().GetNameLabel(0)->GetText(), QStringLiteral("Wash"));
    EXPECT_TRUE(frame->Command(kIdCrossfaderLink)->isChecked());
}

// A crash 1 s into cue 1's 2 s fade, whose follow waits 3 s: the desk started again goes on with
// the fade from where it was, to cue 1's look, starts cue 2 on the follow's remaining time, and
// GO then plays cue 3.
TEST_F(LiveDeskTest, TheCueListGoesOnFromWhereItStood)
{
    Record(10, 1, 200, 20, 30);
    Record(20, 2, 100, 0);
    Record(30, 3, 50, 0);
    UseClock();
    frame->GetCuePlayback().SetPlaying(true);
    ASSERT_TRUE(frame->GetCuePlayback().Go());
    Frames(50);
    frame->Command(kIdLock)->trigger();
    const model::LiveState played = CaptureLiveState(*frame);
    ASSERT_EQ(played.fade.phase, model::FadeProgress::Phase::Running);
    EXPECT_EQ(played.fade.elapsed, 1000ms);
    EXPECT_EQ(played.followLeft, 2000ms);
    EXPECT_TRUE(played.locked);
    const std::vector<uint8_t> output = Output();

    frame.reset();
    frame = std::make_unique<CMainFrame>(&doc);
    frame->OnInitialUpdate();
    UseClock();
    RestoreLiveState(*frame, played);
    EXPECT_EQ(Output(), output) << "the look as it went out";
    EXPECT_TRUE(frame->GetCuePlayback().IsPlaying());
    EXPECT_TRUE(frame->Command(kIdCuePlayback)->isChecked());
    EXPECT_TRUE(frame->Command(kIdLock)->isChecked());
    EXPECT_EQ(frame->GetCuePlayback().GetCurrentCue(), 10);
    EXPECT_TRUE(Master().GetGoFade().IsRunning());

    Frames(50);
    EXPECT_FALSE(Master().GetGoFade().IsRunning()) << "the second left of the fade";
    EXPECT_EQ(Output()[0], 200);
    Frames(49);
    EXPECT_EQ(frame->GetCuePlayback().GetCurrentCue(), 10);
    Frames(1);
    EXPECT_EQ(frame->GetCuePlayback().GetCurrentCue(), 20) << "the follow's 2 s left";
    Frames(10);
    now += 1s;
    ASSERT_TRUE(frame->GetCuePlayback().Go());
    EXPECT_EQ(frame->GetCuePlayback().GetCurrentCue(), 30);
}

} // namespace
