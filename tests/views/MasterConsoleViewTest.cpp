#include "ConsoleFixture.h"
#include "controls/ConsoleLook.h"
#include "controls/DanLamp.h"
#include "controls/FaderLabel.h"
#include "controls/Geometry.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"
#include "views/DeskWatch.h"

#include <QFontMetrics>
#include <QScrollBar>

using namespace orinsub;
using namespace std::chrono_literals;
using orinsub::testing::ConsoleTest;

namespace {

class MasterPaneTest : public ConsoleTest
{
protected:
    QWidget *Client() { return master->viewport(); }
    QPoint SubKnob(int number) { return Centre(Sub(number).GetKnobRect()); }
    controls::CMyEdit *NameBox(int number) { return master->GetNameLabel(number - 1)->GetEdit(); }
    /// Raises sub fader number by pixels (a relative drag from its knob).
    void RaiseSub(int number, int pixels)
    {
        const QPoint knob = SubKnob(number);
        Press(Client(), knob);
        Move(Client(), knob - QPoint(0, pixels));
        Release(Client(), knob - QPoint(0, pixels));
    }
    void GoToPage(int page)
    {
        while (master->GetPage() < page)
            master->StepPage(true);
    }
};

} // namespace

TEST_F(MasterPaneTest, PagesStopAtOneAndTwentyAndEveryStepClearsUndo)
{
    EXPECT_EQ(master->GetPage(), 1);
    EXPECT_TRUE(master->GetPageUpLamp()->IsOn());
    EXPECT_FALSE(master->GetPageDownLamp()->IsOn());
    master->setFocus();
    for (int i = 0; i < 25; ++i)
        Key(master, Qt::Key_PageUp, i > 0);
    EXPECT_EQ(master->GetPage(), 20);
    EXPECT_FALSE(master->GetPageUpLamp()->IsOn());

    controls::RecordRow(undo, *dan->GetRow(0));
    ASSERT_TRUE(undoEnabled);
    Key(master, Qt::Key_Up);
    EXPECT_EQ(master->GetPage(), 20);
    EXPECT_FALSE(undo.m_valid) << "a step that cannot move still clears the record";
    EXPECT_FALSE(undoEnabled);

    Press(Client(), QPoint(1060, 120)); // the ▼ button
    Release(Client(), QPoint(1060, 120));
    EXPECT_EQ(master->GetPage(), 19);
    for (int i = 0; i < 30; ++i)
        Key(master, Qt::Key_Down);
    EXPECT_EQ(master->GetPage(), 1);
    Press(Client(), QPoint(1060, 120));
    Release(Client(), QPoint(1060, 120));
    EXPECT_EQ(master->GetPage(), 1) << "the dark ▼ does nothing";
    Press(Client(), QPoint(1060, 90));
    Release(Client(), QPoint(1060, 90));
    EXPECT_EQ(master->GetPage(), 2);
}

TEST_F(MasterPaneTest, PageButtonsLightUnderTheMouseOnlyWhenUsable)
{
    Move(Client(), QPoint(1060, 90));
    EXPECT_TRUE(master->GetPageUpLamp()->IsHovered());
    Move(Client(), QPoint(1060, 120));
    EXPECT_FALSE(master->GetPageUpLamp()->IsHovered());
    EXPECT_FALSE(master->GetPageDownLamp()->IsHovered()) << "dark at page 1";
}

TEST_F(MasterPaneTest, AHeldFaderKeepsItsSubMasterUntilPulledDown)
{
    doc.GetSubMaster(3, 2)->m_name = QStringLiteral("page 3");
    doc.GetSubMaster(3, 2)->m_levels[0] = 255;
    doc.GetSubMaster(4, 2)->m_name = QStringLiteral("page 4");
    GoToPage(3);
    EXPECT_EQ(master->GetNameLabel(1)->GetText(), QStringLiteral("page 3"));
    EXPECT_EQ(Sub(2).GetContentState(), controls::ContentState::HasLevels);

    RaiseSub(2, 80);
    EXPECT_EQ(Sub(2).GetLevel(), 127);
    EXPECT_EQ(model::s_channelLevels[0], 127) << "the sub-master plays";
    master->StepPage(true);
    EXPECT_EQ(Sub(2).GetPage(), 3);
    EXPECT_EQ(Sub(2).GetContentState(), controls::ContentState::HeldElsewhere);
    EXPECT_EQ(master->GetNameLabel(1)->GetText(), QStringLiteral("page 3"));
    EXPECT_EQ(Sub(3).GetPage(), 4) << "faders at 0 follow the page";

    EXPECT_FALSE(doc.IsModified()) << "page steps refill the names without changing the show";
    NameBox(2)->moveCursor(QTextCursor::End);
    QTest::keyClicks(NameBox(2), "x"); // renames what the fader holds
    EXPECT_EQ(doc.GetSubMaster(3, 2)->m_name, QStringLiteral("page 3x"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetSubMaster(4, 2)->m_name, QStringLiteral("page 4"));

    RaiseSub(2, -200);
    EXPECT_EQ(Sub(2).GetLevel(), 0);
    EXPECT_EQ(Sub(2).GetPage(), 4);
    EXPECT_EQ(master->GetNameLabel(1)->GetText(), QStringLiteral("page 4"));
    EXPECT_EQ(Sub(2).GetContentState(), controls::ContentState::Empty);
    EXPECT_EQ(model::s_channelLevels[0], 0);
}

TEST_F(MasterPaneTest, GrandMasterAndBlackoutReachTheOutputAtOnceAndTellTheDesk)
{
    int told = 0;
    views::SetDeskListener(this, [&told] { ++told; });
    dan->MoveFaderTo(1, 0, 200); // row B is on air
    const struct
    {
        uint8_t gm;
        bool blackout;
        uint8_t out;
    } steps[] = {{128, false, 100}, {128, true, 0}, {255, true, 0}, {255, false, 200}};
    for (const auto &step : steps) {
        told = 0;
        master->SetGrandMaster(step.gm);
        master->SetBlackout(step.blackout);
        EXPECT_EQ(port.GetOutputSlot(1), step.out) << int(step.gm) << step.blackout;
        EXPECT_EQ(model::s_channelLevels[0], step.out);
        EXPECT_GT(told, 0);
    }
    EXPECT_EQ(master->GetGrandMaster(), 255);
    EXPECT_FALSE(master->IsBlackout());
    views::RemoveDeskListener(this);
}

TEST_F(MasterPaneTest, SubFadersFollowTheirInputSlots)
{
    OpenInterface();
    doc.GetSubMaster(1, 1)->m_levels[0] = 255;
    master->GetInButton()->SetOn(true);
    Sub(2).SetLevel(90);
    Input(0, 1, 20);
    master->OnTick();
    EXPECT_TRUE(Sub(1).IsHooked());
    EXPECT_FALSE(Sub(2).IsHooked());
    Input(100, 1, 1);
    master->OnTick();
    EXPECT_EQ(Sub(1).GetLevel(), 100);
    EXPECT_EQ(model::s_channelLevels[0], 100) << "the output is recomputed";

    FailReads(11);
    master->OnTick();
    EXPECT_FALSE(Sub(1).IsHooked());
    EXPECT_EQ(Sub(1).m_lastInput, 0);
}

TEST_F(MasterPaneTest, StatusLineFollowsTheInterface)
{
    master->OnTick();
    EXPECT_EQ(master->GetStatusText(), QStringLiteral("Zentra : 装置なし"));
    OpenInterface();
    master->OnTick();
    EXPECT_EQ(master->GetStatusText(), QStringLiteral("Zentra : SIM-1"));
    EXPECT_EQ(master->GetStatusRect(), QRect(1250 - 130, kMasterHeight - 34, 130, 30));

    orinsub::testing::PaintSpy spy(master->viewport());
    spy.Settle();
    for (int i = 0; i < 10; ++i)
        master->OnTick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty()) << "an unchanged status line is not repainted";
    port.SetHandle(nullptr);
    master->OnTick();
    QCoreApplication::processEvents();
    EXPECT_EQ(master->GetStatusText(), QStringLiteral("Zentra : 装置なし"));
    EXPECT_EQ(spy.painted, QRegion(master->GetStatusRect()));
}

// Frames that stop reaching the interface are told at once, in red, with why; the first frame
// out puts the line back.
TEST_F(MasterPaneTest, LostOutputTurnsTheStatusLineRedAndSaysWhy)
{
    using dmx::OutputFault;
    const auto redPixels = [&] {
        const QImage line = master->viewport()->grab(master->GetStatusRect()).toImage();
        int red = 0;
        for (int y = 0; y < line.height(); ++y)
            for (int x = 0; x < line.width(); ++x)
                red += line.pixelColor(x, y).red() > 200 && line.pixelColor(x, y).green() < 120;
        return red;
    };
    QFont bold = controls::ConsoleFont(100);
    bold.setBold(true);
    OpenInterface();
    dmx::OutputHealth &health = port.GetOutputHealth();
    health.FrameSent(dmx::OutputHealth::Clock::now() - 2s);
    const struct
    {
        OutputFault fault;
        QString id;
        QString status;
    } cases[] = {
        {OutputFault::WriteFailed, "Art-Net 0", "出力できません: Art-Net 0 に送れません"},
        {OutputFault::OpenFailed, "OLA 1/2", "出力できません: OLA 1/2 につながりません"},
        {OutputFault::NoDevice, "", "出力できません: 装置が見つかりません"},
    };
    for (const auto &c : cases) {
        health.Failed(c.fault, c.id);
        master->OnTick();
        EXPECT_EQ(master->GetStatusText(), c.status);
        EXPECT_TRUE(master->IsOutputLost());
        EXPECT_GE(master->GetStatusRect().width(), QFontMetrics(bold).horizontalAdvance(c.status))
            << "the whole reason shows";
    }
    EXPECT_GT(redPixels(), 20);

    health.FrameSent(dmx::OutputHealth::Clock::now());
    master->OnTick();
    EXPECT_EQ(master->GetStatusText(), QStringLiteral("Zentra : SIM-1"));
    EXPECT_FALSE(master->IsOutputLost());
    EXPECT_EQ(redPixels(), 0);
}

TEST_F(MasterPaneTest, ALongInterfaceIdGrowsTheStatusLineLeftwards)
{
    OpenInterface();
    master->OnTick();
    const QRect shortLine = master->GetStatusRect();
    orinsub::testing::PaintSpy spy(master->viewport());
    spy.Settle();
    port.SetDeviceId(QStringLiteral("USB Pro ttyUSB0")); // as long as an id gets
    master->OnTick();
    QCoreApplication::processEvents();
    const QRect line = master->GetStatusRect();
    EXPECT_EQ(line.right(), shortLine.right()) << "its place at the right stays";
    EXPECT_EQ(line.bottom(), shortLine.bottom());
    const int textWidth = QFontMetrics(controls::ConsoleFont(100))
                              .horizontalAdvance(QStringLiteral("Zentra : USB Pro ttyUSB0"));
    EXPECT_GT(textWidth, 130);
    EXPECT_GE(line.width(), textWidth);
    EXPECT_TRUE(spy.painted.contains(line));

    spy.Settle();
    port.SetHandle(nullptr);
    master->OnTick();
    QCoreApplication::processEvents();
    EXPECT_EQ(master->GetStatusRect(), shortLine);
    EXPECT_TRUE(spy.painted.contains(line)) << "the longer text is wiped away";
}

TEST_F(MasterPaneTest, TheStatusLineStaysInTheCornerOfAScrolledPane)
{
    master->resize(600, 150); // a small screen: the pane scrolls both ways
    QCoreApplication::processEvents();
    const QRect line = master->GetStatusRect();
    EXPECT_EQ(controls::BottomOf(line), controls::BottomOf(master->viewport()->rect()) - 4);
    orinsub::testing::PaintSpy spy(master->viewport());
    spy.Settle();
    master->horizontalScrollBar()->setValue(100);
    master->verticalScrollBar()->setValue(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(master->GetStatusRect(), line);
    for (const QRect &r : {line, line.translated(-100, 0), line.translated(-100, -40)})
        EXPECT_TRUE(spy.painted.contains(r.intersected(master->viewport()->rect())))
            << "no copy of the line is left where the scroll moved it";
}

TEST_F(MasterPaneTest, SwitchingTheSubMasterInputOnSwitchesTheRowsOff)
{
    left->GetInButton(0)->SetOn(true);
    Press(Client(), QPoint(14, 70));
    Release(Client(), QPoint(14, 70));
    EXPECT_TRUE(master->GetInButton()->IsOn());
    EXPECT_FALSE(left->GetInButton(0)->IsOn());
    Press(Client(), QPoint(14, 70));
    Release(Client(), QPoint(14, 70));
    EXPECT_FALSE(master->GetInButton()->IsOn());
}

TEST_F(MasterPaneTest, DoubleClickOnInHooksEveryFaderAfterTheQuestion)
{
    orinsub::testing::ScriptedQuestions questions;
    questions.Answer({-1});
    DoubleClick(Client(), QPoint(14, 70));
    EXPECT_TRUE(master->GetInButton()->IsOn()) << "Cancel leaves IN on";
    EXPECT_FALSE(Sub(1).IsHooked());
    ASSERT_EQ(questions.texts.size(), 1);
    EXPECT_EQ(
        questions.texts[0],
        QStringLiteral(
            "サブマスターのレベルをDMX入力チャンネル1～20のレベルに合わせます\nよろしいですか？"));
    EXPECT_EQ(questions.captions[0], QStringLiteral("サブマスターをすべて引っかけ"));

    questions.Answer({1});
    DoubleClick(Client(), QPoint(14, 70));
    for (int i = 1; i <= 20; ++i)
        EXPECT_TRUE(Sub(i).IsHooked()) << i;
}

TEST_F(MasterPaneTest, ShiftDoubleClickOnInHooksWithoutAsking)
{
    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys shift;
    DoubleClick(Client(), QPoint(14, 70));
    EXPECT_TRUE(questions.texts.isEmpty());
    EXPECT_TRUE(Sub(20).IsHooked());
}

TEST_F(MasterPaneTest, CrossfaderMovesPutRowsOnAirInBothStrips)
{
    Fader(0, 1).SetLevel(200);
    const QPoint knobA = Centre(HandleA().GetKnobRect());
    Press(Client(), knobA);
    Move(Client(), knobA - QPoint(0, 160));
    EXPECT_EQ(HandleA().GetLevel(), 255);
    EXPECT_EQ(dan->GetRow(0)->GetState(), controls::RowState::OnAir);
    EXPECT_EQ(left->GetRowLamp(0)->GetState(), controls::RowState::OnAir);
    EXPECT_EQ(right->GetRowLamp(0)->GetState(), controls::RowState::OnAir);
    EXPECT_EQ(model::s_channelLevels[0], 200);
    Move(Client(), knobA);
    EXPECT_EQ(dan->GetRow(0)->GetState(), controls::RowState::OffAir);
    EXPECT_EQ(left->GetRowLamp(0)->GetColor(), QColor(0, 200, 0));
    EXPECT_EQ(model::s_channelLevels[0], 0);
    Release(Client(), knobA);
}

TEST_F(MasterPaneTest, DoubleClickOnAHandleLinksAndGrabs)
{
    const QPoint knobB = Centre(HandleB().GetKnobRect());
    DoubleClick(Client(), knobB);
    EXPECT_TRUE(master->GetCrossFader()->IsLinked());
    EXPECT_TRUE(frame.linkChecked);
    DoubleClick(Client(), knobB);
    EXPECT_FALSE(master->GetCrossFader()->IsLinked());
    EXPECT_FALSE(frame.linkChecked);
}

TEST_F(MasterPaneTest, F1TogglesTheLinkOncePerPress)
{
    master->setFocus();
    Key(master, Qt::Key_F1);
    for (int i = 0; i < 5; ++i)
        Key(master, Qt::Key_F1, true);
    EXPECT_TRUE(master->GetCrossFader()->IsLinked());
    Key(master, Qt::Key_F1);
    EXPECT_FALSE(master->GetCrossFader()->IsLinked());

    NameBox(4)->setFocus();
    Key(NameBox(4), Qt::Key_F1);
    EXPECT_TRUE(master->GetCrossFader()->IsLinked()) << "F1 works from a name box too";
    EXPECT_TRUE(frame.linkChecked);
}

TEST_F(MasterPaneTest, TabWrapsTheSubMasterNames)
{
    NameBox(20)->setFocus();
    Key(NameBox(20), Qt::Key_Tab);
    EXPECT_TRUE(NameBox(1)->hasFocus());
    Key(NameBox(1), Qt::Key_Backtab);
    EXPECT_TRUE(NameBox(20)->hasFocus());
    Key(NameBox(20), Qt::Key_Escape);
    EXPECT_TRUE(master->hasFocus());
}

TEST_F(MasterPaneTest, PressesBesideASubKnobStartASubMasterDrag)
{
    Press(Client(), QPoint(155, 30)); // fader 3's track above its knob
    Release(Client(), QPoint(155, 30));
    Press(Client(), QPoint(255, 222)); // fader 5's number box
    Release(Client(), QPoint(255, 222));
    EXPECT_EQ(frame.subMasterDrags, (std::vector<int>{3, 5}));
    EXPECT_EQ(Sub(3).GetLevel(), 0);
}

TEST_F(MasterPaneTest, RendersGroovesPageNumberAndNumbers)
{
    doc.GetSubMaster(1, 1)->m_levels[5] = 10;
    master->RefreshPage();
    GoToPage(7);
    master->StepPage(false);
    master->StepPage(false);
    master->StepPage(false);
    master->StepPage(false);
    master->StepPage(false);
    master->StepPage(false);
    const QImage image = master->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(55, 60), QColor(0, 127, 0)) << "sub-master 1 has levels";
    EXPECT_EQ(image.pixelColor(105, 60), QColor(0, 0, 0)) << "sub-master 2 is empty";
    int yellow = 0;
    for (int y = 40; y < 70; ++y)
        for (int x = 1040; x < 1080; ++x)
            yellow += image.pixelColor(x, y) == QColor(255, 255, 0);
    EXPECT_GT(yellow, 30) << "the page number \"01\"";
    EXPECT_EQ(image.pixelColor(1041, 41), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(31, 215), QColor(255, 255, 255)) << "number box";
    EXPECT_EQ(image.pixelColor(30, 214), QColor(127, 127, 191));
    EXPECT_EQ(image.pixelColor(1046, 76), QColor(0, 191, 0)) << "▲ lit";
    EXPECT_EQ(image.pixelColor(1046, 106), QColor(127, 127, 127)) << "▼ dark";
}
