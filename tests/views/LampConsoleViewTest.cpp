#include "ConsoleFixture.h"
#include "controls/DanLamp.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"

using namespace orinsub;
using orinsub::testing::ConsoleTest;

namespace {

constexpr QPoint kInA(14, 74);
constexpr QPoint kInB(14, 230);

class LampStripTest : public ConsoleTest
{
protected:
    void Click(QPoint p)
    {
        Press(left, p);
        Release(left, p);
    }
};

} // namespace

TEST_F(LampStripTest, InButtonsAreExclusiveAndToggle)
{
    Click(kInA);
    EXPECT_TRUE(left->GetInButton(0)->IsOn());
    master->GetInButton()->SetOn(true);
    Click(kInB);
    EXPECT_TRUE(left->GetInButton(1)->IsOn());
    EXPECT_FALSE(left->GetInButton(0)->IsOn());
    EXPECT_FALSE(master->GetInButton()->IsOn());
    Click(kInB);
    EXPECT_FALSE(left->GetInButton(0)->IsOn());
    EXPECT_FALSE(left->GetInButton(1)->IsOn());
    EXPECT_FALSE(master->GetInButton()->IsOn());

    // The right strip draws no buttons: a press where they would be only shows the readouts.
    Click(kInA);
    Press(right, kInB);
    EXPECT_TRUE(left->GetInButton(0)->IsOn());
    EXPECT_TRUE(dan->GetRow(0)->GetShowReadouts());
    Release(right, kInB);
}

TEST_F(LampStripTest, HoldingTheStripShowsEveryReadoutUntilRelease)
{
    const QPoint readoutCorner(Fader(0, 1).GetReadoutRect().topLeft() + QPoint(1, 1));
    EXPECT_EQ(dan->viewport()->grab().toImage().pixelColor(readoutCorner), QColor(63, 63, 63));
    Press(right, QPoint(14, 300));
    EXPECT_TRUE(dan->GetRow(0)->GetShowReadouts());
    EXPECT_TRUE(dan->GetRow(1)->GetShowReadouts());
    EXPECT_EQ(dan->viewport()->grab().toImage().pixelColor(readoutCorner), QColor(0, 0, 0));
    Move(right, QPoint(400, 300)); // far outside the strip: it keeps the mouse
    Release(right, QPoint(400, 300));
    EXPECT_FALSE(dan->GetRow(0)->GetShowReadouts());
    EXPECT_FALSE(dan->GetRow(1)->GetShowReadouts());
}

TEST_F(LampStripTest, DoubleClickOnInAsksBeforeHookingTheRow)
{
    orinsub::testing::ScriptedQuestions questions;
    questions.Answer({-1});
    DoubleClick(left, kInB);
    EXPECT_TRUE(left->GetInButton(1)->IsOn()) << "Cancel leaves IN on";
    EXPECT_FALSE(Fader(1, 1).IsHooked());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(questions.texts[0],
              QStringLiteral("B段のレベルをDMX入力のレベルに合わせます\nよろしいですか？"));
    EXPECT_EQ(questions.captions[0], QStringLiteral("B段をすべて引っかけ"));

    questions.Answer({1});
    DoubleClick(left, kInA);
    EXPECT_TRUE(left->GetInButton(0)->IsOn());
    EXPECT_FALSE(left->GetInButton(1)->IsOn());
    EXPECT_TRUE(Fader(0, 80).IsHooked());
    EXPECT_FALSE(Fader(1, 80).IsHooked());
}

TEST_F(LampStripTest, ShiftDoubleClickHooksWithoutAsking)
{
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys shift;
    DoubleClick(left, kInA);
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_TRUE(Fader(0, 1).IsHooked());
}

TEST_F(LampStripTest, TabFromAStripGoesToTheFirstSubMasterName)
{
    Press(left, QPoint(14, 350));
    Release(left, QPoint(14, 350));
    ASSERT_TRUE(left->hasFocus());
    Key(left, Qt::Key_Tab);
    EXPECT_TRUE(master->GetNameLabel(0)->GetEdit()->hasFocus());
    left->setFocus();
    Key(left, Qt::Key_PageUp);
    EXPECT_EQ(master->GetPage(), 2) << "the console keys work from a strip";
}

TEST_F(LampStripTest, PickUpTicksFastOnlyWhileATakeOverCanAct)
{
    EXPECT_EQ(dan->GetTickPeriod(), 100) << "an idle console wakes ten times a second";
    EXPECT_EQ(master->GetTickPeriod(), 100);
    Click(kInA);
    EXPECT_EQ(dan->GetTickPeriod(), 10) << "at once, not at the next slow tick";
    Click(kInA);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dan->GetTickPeriod() == 100; }))
        << "the next fast tick rests again";

    dan->HookRow(1);
    EXPECT_EQ(dan->GetTickPeriod(), 10);
    // No interface: the next tick drops the hooks, then rests.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Fader(1, 1).IsHooked(); }));
    EXPECT_EQ(dan->GetTickPeriod(), 100);

    orinsub::testing::HeldKeys shift;
    DoubleClick(master->viewport(), QPoint(14, 70));
    EXPECT_EQ(master->GetTickPeriod(), 10);
}

TEST_F(LampStripTest, OnlyTheLeftStripShowsInButtons)
{
    left->GetInButton(0)->SetOn(true);
    const QImage leftImage = left->grab().toImage();
    const QImage rightImage = right->grab().toImage();
    EXPECT_EQ(leftImage.pixelColor(10, 75), QColor(191, 191, 63)) << "A's IN lit";
    EXPECT_EQ(leftImage.pixelColor(10, 231), QColor(127, 127, 63)) << "B's IN dark";
    EXPECT_EQ(rightImage.pixelColor(10, 75), QColor(63, 63, 63));
    EXPECT_EQ(leftImage.pixelColor(8, 100), QColor(0, 200, 0)) << "A off air";
    EXPECT_EQ(rightImage.pixelColor(8, 256), QColor(255, 0, 0)) << "B on air";
}

TEST_F(LampStripTest, TheRightStripHasNoInButtonsToClick)
{
    orinsub::testing::ScriptedQuestions questions;
    left->GetInButton(1)->SetOn(true);
    Press(right, kInA);
    EXPECT_TRUE(dan->GetRow(0)->GetShowReadouts()) << "a press there is a press on the strip";
    Release(right, kInA);
    DoubleClick(right, kInB);
    EXPECT_TRUE(left->GetInButton(1)->IsOn()) << "B's take-over goes on";
    EXPECT_FALSE(left->GetInButton(0)->IsOn());
    EXPECT_FALSE(right->GetInButton(0)->IsOn());
    EXPECT_FALSE(right->GetInButton(1)->IsOn());
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_FALSE(Fader(1, 1).IsHooked());
}
