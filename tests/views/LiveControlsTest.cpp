#include "views/LiveControls.h"
#include "ConsoleFixture.h"
#include "controls/ConsoleLook.h"
#include "views/ConsoleTexts.h"
#include "views/GoFade.h"

#include <QWheelEvent>

using namespace orinsub;
using namespace std::chrono_literals;
using orinsub::testing::ConsoleTest;
using Clock = std::chrono::steady_clock;

namespace {

/// Row A lights channel 1 at 200, row B channel 2 at 100 (B on air); channel 3 (independent)
/// stands at 60 in row B. GO and the live controls run on the test's clock.
class LiveControlsTest : public ConsoleTest
{
protected:
    LiveControlsTest()
    {
        go().SetClock([this] { return now; });
        live().SetClock([this] { return now; });
        doc.SetIndependent(3, true);
        dan->MoveFaderTo(0, 0, 200);
        dan->MoveFaderTo(1, 1, 100);
        dan->MoveFaderTo(1, 2, 60);
    }
    ~LiveControlsTest() override
    {
        go().SetClock(&Clock::now);
        live().SetClock(&Clock::now);
    }
    views::GoFade &go() { return master->GetGoFade(); }
    views::LiveControls &live() { return master->GetLiveControls(); }
    QWidget *Client() { return master->viewport(); }
    QPoint At(const QRect &logical) { return Centre(logical); } // the pane does not scroll here
    void Click(const QRect &logical)
    {
        Press(Client(), At(logical));
        Release(Client(), At(logical));
    }
    /// Time goes by and the controls' timer fires.
    void Wait(std::chrono::milliseconds time)
    {
        now += time;
        live().Step();
    }
    std::vector<int> Slots() const
    {
        return {port.GetOutputSlot(1), port.GetOutputSlot(2), port.GetOutputSlot(3)};
    }
    QColor PixelAt(QPoint p) { return Client()->grab().toImage().pixelColor(p); }

    Clock::time_point now = Clock::now();
};

} // namespace

TEST_F(LiveControlsTest, TheGoButtonIsGoWithItsDirectionAndBounce)
{
    go().SetFadeTime(0); // a cut, so each GO lands at once
    const QRect button = live().GetGoButton().GetRect();
    Press(Client(), At(button));
    EXPECT_TRUE(live().GetGoButton().IsPressed());
    EXPECT_EQ(HandleA().GetLevel(), 255) << "from row B to row A";
    EXPECT_EQ(HandleB().GetLevel(), 0);
    Release(Client(), At(button));
    EXPECT_FALSE(live().GetGoButton().IsPressed());

    now += 400ms;
    Click(button);
    EXPECT_EQ(HandleA().GetLevel(), 255) << "a bounce does nothing";
    now += 100ms;
    Click(button);
    EXPECT_EQ(HandleA().GetLevel(), 0) << "and back to row B";
    EXPECT_EQ(Slots(), (std::vector<int>{0, 100, 60}));
}

TEST_F(LiveControlsTest, TheLampAndProgressShowARunningFadeAndRepaintOnlyThemselves)
{
    const controls::CProgressBar &progress = live().GetProgress();
    EXPECT_EQ(live().GetFadeTimeText(), QStringLiteral("3.0 秒"));
    orinsub::testing::PaintSpy spy(Client());
    Click(live().GetGoButton().GetRect());
    EXPECT_TRUE(live().GetGoLamp().IsLit());
    EXPECT_EQ(PixelAt(At(live().GetGoLamp().GetRect())), controls::kGoLit);

    spy.Settle();
    now += 1500ms;
    go().Step();
    const int inside = progress.GetRect().width() - 2;
    EXPECT_EQ(progress.GetFilled(), inside / 2);
    QCoreApplication::processEvents();
    const QRect knobs = HandleA().GetTrackRect().united(HandleB().GetTrackRect());
    const QRegion crossfader(
        knobs.adjusted(0, -HandleA().GetKnobHeight() / 2, 0, HandleA().GetKnobHeight() / 2));
    EXPECT_EQ(spy.painted - crossfader, QRegion(progress.GetRect()))
        << "a step repaints the progress and the moving handles only";
    EXPECT_EQ(PixelAt(progress.GetRect().topLeft() + QPoint(2, 2)), controls::kGoLit);

    now += 1500ms;
    go().Step();
    EXPECT_FALSE(go().IsRunning());
    EXPECT_FALSE(live().GetGoLamp().IsLit());
    EXPECT_EQ(progress.GetFilled(), 0);
    EXPECT_NE(PixelAt(At(live().GetGoLamp().GetRect())), controls::kGoLit);
}

TEST_F(LiveControlsTest, TheWheelOverTheFadeTimeStepsItATenthANotch)
{
    const QPoint over = At(live().GetFadeTimeRect());
    const auto wheel = [&](QPoint at, int delta) {
        QWheelEvent event(at, Client()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Client(), &event);
    };
    wheel(over, 120);
    EXPECT_EQ(go().GetFadeTime(), 31);
    wheel(over, -360);
    EXPECT_EQ(go().GetFadeTime(), 28);
    wheel(over, 60); // half a notch of a fine wheel
    EXPECT_EQ(go().GetFadeTime(), 28);
    wheel(over, 60);
    EXPECT_EQ(go().GetFadeTime(), 29);
    wheel(over, -120 * 40);
    EXPECT_EQ(go().GetFadeTime(), 0) << "clamped";
    EXPECT_EQ(live().GetFadeTimeText(), QStringLiteral("0.0 秒"));
    wheel(QPoint(600, 100), 120); // over a sub fader
    EXPECT_EQ(go().GetFadeTime(), 0);
}

TEST_F(LiveControlsTest, TheGrandMasterFaderScalesTheOutputToItsEnds)
{
    controls::CMasterFader &gm = live().GetGrandMasterFader();
    EXPECT_EQ(gm.GetLevel(), 255) << "full at start";
    const QPoint knob = Centre(gm.GetKnobRect());
    Press(Client(), knob);
    Move(Client(), knob + QPoint(0, gm.GetTravel() + 20)); // beyond the bottom
    EXPECT_EQ(master->GetGrandMaster(), 0);
    EXPECT_EQ(Slots(), (std::vector<int>{0, 0, 60})) << "the independent channel stays";
    Move(Client(), knob + QPoint(0, gm.GetTravel() / 2));
    EXPECT_EQ(master->GetGrandMaster(), 255 - 255 * (gm.GetTravel() / 2) / gm.GetTravel());
    Move(Client(), knob - QPoint(0, 5));
    Release(Client(), knob - QPoint(0, 5));
    EXPECT_EQ(master->GetGrandMaster(), 255);
    EXPECT_EQ(Slots(), (std::vector<int>{0, 100, 60}));

    master->SetGrandMaster(40); // a surface or the restored desk
    EXPECT_EQ(gm.GetLevel(), 40) << "the knob follows";
}

TEST_F(LiveControlsTest, BlackoutTakesAHalfSecondHoldFlashesAndShowsOnTheStatusLine)
{
    const QRect button = live().GetBlackoutButton().GetRect();
    Press(Client(), At(button));
    Wait(300ms);
    Release(Client(), At(button));
    Wait(300ms);
    EXPECT_FALSE(master->IsBlackout()) << "a quick click does nothing";

    Press(Client(), At(button));
    Wait(499ms);
    EXPECT_FALSE(master->IsBlackout());
    Wait(1ms);
    EXPECT_TRUE(master->IsBlackout());
    EXPECT_EQ(Slots(), (std::vector<int>{0, 0, 60})) << "dark at once but for the independent";
    EXPECT_TRUE(master->GetStatusText().endsWith(views::kBlackoutStatus));
    Wait(600ms);
    EXPECT_TRUE(master->IsBlackout()) << "held on, it switches once";
    Release(Client(), At(button));

    std::vector<bool> lamp;
    for (int i = 0; i < 4; ++i) {
        lamp.push_back(live().GetBlackoutButton().IsLit());
        Wait(250ms);
    }
    EXPECT_TRUE(lamp[0] != lamp[1] && lamp[1] != lamp[2] && lamp[2] != lamp[3]) << "2 Hz";

    Press(Client(), At(button));
    Wait(500ms);
    Release(Client(), At(button));
    EXPECT_FALSE(master->IsBlackout());
    EXPECT_EQ(Slots(), (std::vector<int>{0, 100, 60})) << "light back";
    EXPECT_FALSE(live().GetBlackoutButton().IsLit());
    EXPECT_FALSE(master->GetStatusText().contains(views::kBlackoutStatus));
}
