#include "ConsoleFixture.h"
#include "controls/ConsoleLook.h"
#include "controls/FaderLabel.h"
#include "controls/LvDisp.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

using namespace orinsub;
using orinsub::testing::ConsoleTest;

namespace {

class PresetPaneTest : public ConsoleTest
{
protected:
    // Knob centres in the pane's client area (unscrolled): row A at y 103, row B at y 259.
    QPoint KnobOf(int row, int channel) { return Centre(Fader(row, channel).GetKnobRect()); }
    controls::CMyEdit *NameBox(int channel) { return dan->GetNameLabel(channel - 1)->GetEdit(); }
    QWidget *Client() { return dan->viewport(); }
    /// A right click at p on widget: the context menu it pops up.
    static QMenu *ContextMenuAt(QWidget *widget, QPoint p)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, widget->mapToGlobal(p));
        QApplication::sendEvent(widget, &event);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }
    static QAction *Item(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
    static void Choose(QMenu *menu, QAction *item)
    {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    }
    /// Pixels of channel's number under row A drawn in the mark colour (or its blend with the
    /// background at the digits' edges).
    int MarkPixels(int channel)
    {
        const QImage image = Client()->grab().toImage();
        int marked = 0;
        for (int y = 176; y < 186; ++y) {
            for (int x = 4 + 40 * (channel - 1); x < 44 + 40 * (channel - 1); ++x) {
                const QColor c = image.pixelColor(x, y);
                marked += c.red() > c.blue() + 60 && c.green() > c.blue() + 30;
            }
        }
        return marked;
    }
};

} // namespace

TEST_F(PresetPaneTest, LayoutFollowsTheColumns)
{
    EXPECT_EQ(dan->GetScrollSize(), QSize(3208, 392));
    EXPECT_EQ(Fader(0, 1).GetTrackRect(), QRect(4, 30, 40, 146));
    EXPECT_EQ(Fader(1, 80).GetTrackRect(), QRect(3164, 186, 40, 146));
    EXPECT_EQ(dan->GetOutputDisplay(0)->GetRect(), QRect(7, 3, 34, 23));
    EXPECT_EQ(NameBox(2)->geometry(), QRect(44, 332, 40, 60));
    EXPECT_EQ(dan->GetLevelStripRect(), QRect(7, 3, 1192 - 7, 23));
    EXPECT_EQ(Fader(0, 10).GetKnobRect().size(), QSize(28, 16));
}

TEST_F(PresetPaneTest, DraggingAKnobOfTheOnAirRowDrivesTheOutputAtOnce)
{
    Press(Client(), KnobOf(1, 5)); // row B is on air: handle B starts at 255
    EXPECT_TRUE(Fader(1, 5).IsSelected());
    Move(Client(), QPoint(184, 259 - 62));
    EXPECT_EQ(Fader(1, 5).GetLevel(), 255);
    EXPECT_EQ(model::s_channelLevels[4], 255);
    EXPECT_EQ(port.GetOutputSlot(5), 255);
    EXPECT_EQ(dan->GetOutputDisplayLevel(4), 255) << "the readouts follow without the timer";
    Release(Client(), QPoint(184, 197));
    EXPECT_FALSE(Fader(1, 5).IsSelected());

    Press(Client(), KnobOf(0, 6)); // row A is off air
    Move(Client(), QPoint(224, 41));
    EXPECT_EQ(Fader(0, 6).GetLevel(), 255);
    EXPECT_EQ(model::s_channelLevels[5], 0) << "an off-air row is not recomputed";
    Release(Client(), QPoint(224, 41));
}

TEST_F(PresetPaneTest, DraggingAFaderThrowsTheUndoRecordAway)
{
    controls::RecordRow(undo, *dan->GetRow(1));
    EXPECT_TRUE(undoEnabled);
    Press(Client(), KnobOf(0, 1));
    EXPECT_TRUE(undo.m_valid) << "a grab alone keeps it";
    Move(Client(), QPoint(24, 120));
    EXPECT_FALSE(undo.m_valid);
    EXPECT_FALSE(undoEnabled);
    Release(Client(), QPoint(24, 120));
}

TEST_F(PresetPaneTest, PressesBesideAKnobOrOnTheStripStartSectionDrags)
{
    Press(Client(), QPoint(100, 40)); // row A, channel 3, above its knob
    Release(Client(), QPoint(100, 40));
    ASSERT_EQ(frame.rowDrags.size(), 1u);
    EXPECT_EQ(frame.rowDrags[0].first, 0);
    EXPECT_EQ(Fader(0, 3).GetLevel(), 0) << "the fader does not move";
    EXPECT_FALSE(Fader(0, 3).IsSelected());

    Press(Client(), QPoint(100, 10));
    Release(Client(), QPoint(100, 10));
    EXPECT_EQ(frame.outputDrags.size(), 1u);
    EXPECT_EQ(frame.rowDrags.size(), 1u);
}

TEST_F(PresetPaneTest, SweepPicksUpTheRowsKnobsThatThePointerPasses)
{
    Press(Client(), KnobOf(0, 1));
    Move(Client(), KnobOf(0, 3)); // jumps over channel 2's knob, lands on channel 3's
    EXPECT_TRUE(Fader(0, 2).IsSelected());
    EXPECT_TRUE(Fader(0, 3).IsSelected());
    EXPECT_FALSE(Fader(0, 4).IsSelected());
    Move(Client(), KnobOf(1, 3)); // onto row B: not picked
    EXPECT_FALSE(Fader(1, 3).IsSelected());
    Move(Client(), QPoint(104, 41));
    for (int ch = 1; ch <= 3; ++ch)
        EXPECT_EQ(Fader(0, ch).GetLevel(), 255) << ch;
    EXPECT_EQ(Fader(0, 4).GetLevel(), 0);
    EXPECT_EQ(Fader(1, 3).GetLevel(), 0);
    Release(Client(), QPoint(104, 41));
    for (int ch = 1; ch <= 3; ++ch)
        EXPECT_FALSE(Fader(0, ch).IsSelected());
    EXPECT_FALSE(dan->GetRow(0)->GetSweep());
}

TEST_F(PresetPaneTest, ASweepThatOnlyCutsAKnobsCornerDoesNotPickIt)
{
    // Channel 2's knob at level 0 spans x 50..77, y 157..172.
    Press(Client(), KnobOf(0, 1));
    Move(Client(), QPoint(46, 165));
    Move(Client(), QPoint(58, 153));
    EXPECT_FALSE(Fader(0, 2).IsSelected());
    Release(Client(), QPoint(58, 153));
}

TEST_F(PresetPaneTest, InputPickUpCatchesFadersWhenTheInputReachesThem)
{
    OpenInterface();
    Fader(0, 10).SetLevel(128);
    left->GetInButton(0)->SetOn(true);

    Input(0);
    dan->PickUpInput();
    EXPECT_TRUE(Fader(0, 1).IsHooked()) << "at 0 with the input at 0";
    EXPECT_FALSE(Fader(0, 10).IsHooked());
    EXPECT_FALSE(Fader(1, 1).IsHooked()) << "row B's IN is off";

    Input(100);
    dan->PickUpInput();
    EXPECT_FALSE(Fader(0, 10).IsHooked());
    Input(200);
    dan->PickUpInput();
    EXPECT_TRUE(Fader(0, 10).IsHooked()) << "the input crossed 128";
    EXPECT_EQ(Fader(0, 10).GetLevel(), 128) << "it follows from the next tick on";
    dan->PickUpInput();
    EXPECT_EQ(Fader(0, 10).GetLevel(), 200);
    EXPECT_EQ(Fader(0, 10).m_activity, 15);

    Input(150);
    dan->PickUpInput();
    EXPECT_EQ(Fader(0, 1).GetLevel(), 150);
    EXPECT_EQ(model::s_channelLevels[0], 0) << "row A is off air";
}

TEST_F(PresetPaneTest, FollowingTheInputOnAirMovesTheOutput)
{
    OpenInterface();
    left->GetInButton(1)->SetOn(true);
    dan->HookRow(1);
    Input(77);
    dan->PickUpInput();
    EXPECT_EQ(Fader(1, 80).GetLevel(), 77);
    EXPECT_EQ(model::s_channelLevels[79], 77);
    EXPECT_EQ(dan->GetOutputDisplayLevel(79), 77);
}

TEST_F(PresetPaneTest, HooksOnlyAfterASuccessfulReadAndDropsThemWhenTheInputGoes)
{
    OpenInterface();
    left->GetInButton(0)->SetOn(true);
    Fader(0, 2).SetLevel(50);
    Input(0);
    dan->PickUpInput();
    Input(60);
    FailReads(1); // the frame with 60 is there, but the last read failed
    dan->PickUpInput();
    EXPECT_FALSE(Fader(0, 2).IsHooked());
    Input(40);
    dan->PickUpInput();
    EXPECT_TRUE(Fader(0, 2).IsHooked()) << "60 -> 40 passes 50 with a good read";

    FailReads(11);
    dan->PickUpInput();
    EXPECT_FALSE(Fader(0, 1).IsHooked());
    EXPECT_FALSE(Fader(0, 2).IsHooked());
    EXPECT_EQ(Fader(0, 2).m_lastInput, 0);
    EXPECT_EQ(Fader(0, 2).m_activity, 0);

    Input(60);
    dan->PickUpInput();
    EXPECT_TRUE(Fader(0, 2).IsHooked()) << "from 0 to 60 after recovery passes 50";
}

TEST_F(PresetPaneTest, PickUpRepaintsTheMovedKnobsAndNothingWhenTheInputRests)
{
    OpenInterface();
    left->GetInButton(0)->SetOn(true);
    for (int ch = 2; ch <= 80; ++ch) // out of the input's reach: only 1 and 20 follow it
        if (ch != 20)
            Fader(0, ch).SetLevel(250);
    Input(0);
    dan->PickUpInput();
    orinsub::testing::PaintSpy spy(dan->viewport());
    spy.Settle();

    const QRect before1 = Fader(0, 1).GetKnobRect(), before20 = Fader(0, 20).GetKnobRect();
    Input(200);
    dan->PickUpInput();
    QCoreApplication::processEvents();
    for (const QRect &r : {before1, Fader(0, 1).GetKnobRect(), before20, Fader(0, 20).GetKnobRect(),
                           Fader(0, 20).GetReadoutRect()})
        EXPECT_TRUE(spy.painted.contains(r)) << r.x() << ',' << r.y();
    EXPECT_FALSE(spy.painted.intersects(Fader(0, 10).GetKnobRect())) << "nothing in between";

    spy.Settle();
    for (int i = 0; i < 5; ++i)
        dan->PickUpInput();
    QCoreApplication::processEvents();
    EXPECT_FALSE(spy.painted.intersects(Fader(0, 20).GetKnobRect()))
        << "a resting input repaints no knob";
    for (int i = 0; i < 15; ++i)
        dan->PickUpInput();
    EXPECT_EQ(Fader(0, 20).m_activity, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.painted.contains(Fader(0, 20).GetReadoutRect())) << "its readout goes away";
    spy.Settle();
    dan->PickUpInput();
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty());
}

TEST_F(PresetPaneTest, TurningTheRowsInputOffReleasesItsFaders)
{
    OpenInterface();
    left->GetInButton(0)->SetOn(true);
    Input(0);
    dan->PickUpInput();
    ASSERT_TRUE(Fader(0, 1).IsHooked());
    left->GetInButton(0)->SetOn(false);
    dan->PickUpInput();
    EXPECT_FALSE(Fader(0, 1).IsHooked());
}

TEST_F(PresetPaneTest, TabWalksTheNameBoxesAndWraps)
{
    NameBox(80)->setFocus();
    Key(NameBox(80), Qt::Key_Tab);
    ASSERT_TRUE(NameBox(1)->hasFocus());
    EXPECT_GE(NameBox(1)->geometry().left(), 0) << "scrolled into view";
    EXPECT_EQ(NameBox(1)->textCursor().selectedText(), NameBox(1)->toPlainText());

    {
        orinsub::testing::HeldKeys shift;
        Key(NameBox(1), Qt::Key_Tab);
    }
    ASSERT_TRUE(NameBox(80)->hasFocus());
    EXPECT_LE(NameBox(80)->geometry().right(), dan->viewport()->width());

    Key(NameBox(80), Qt::Key_Backtab);
    EXPECT_TRUE(NameBox(79)->hasFocus());
    Key(NameBox(79), Qt::Key_Escape);
    EXPECT_TRUE(dan->hasFocus());
    Key(dan, Qt::Key_Tab);
    EXPECT_TRUE(master->GetNameLabel(0)->GetEdit()->hasFocus()) << "from the pane to sub-master 1";
}

TEST_F(PresetPaneTest, NamesAreStoredOnEveryKeystroke)
{
    NameBox(3)->setFocus();
    QTest::keyClicks(NameBox(3), "ho");
    EXPECT_EQ(doc.Channel(2).GetName(), QStringLiteral("ho"));
    QTest::keyClick(NameBox(3), Qt::Key_Backspace);
    EXPECT_EQ(doc.Channel(2).GetName(), QStringLiteral("h"));
    EXPECT_TRUE(doc.IsModified()) << "typed names must not be lost on close";
    EXPECT_TRUE(frame.editCommandsEnabled) << "a name box enables the edit commands";

    controls::RecordRow(undo, *dan->GetRow(0));
    Fader(0, 1).SetLevel(9);
    dan->OnEditUndo();
    EXPECT_EQ(NameBox(3)->toPlainText(), QStringLiteral("ho")) << "the typing is undone";
    EXPECT_EQ(Fader(0, 1).GetLevel(), 9) << "not the section copy";

    Press(Client(), QPoint(600, 380 - 332)); // back to the pane
    EXPECT_FALSE(frame.editCommandsEnabled);
    EXPECT_TRUE(undoEnabled);
}

TEST_F(PresetPaneTest, ShowNamesComeInAtInitialUpdate)
{
    doc.Channel(79).SetName(QStringLiteral("ホリ"));
    dan->OnInitialUpdate();
    EXPECT_EQ(NameBox(80)->toPlainText(), QStringLiteral("ホリ"));
}

TEST_F(PresetPaneTest, ArrowsScrollTheRowsWithinTheirWidth)
{
    dan->setFocus();
    const int widest = 3208 - dan->viewport()->width();
    Key(dan, Qt::Key_Right);
    EXPECT_EQ(dan->GetScrollPosition().x(), 40);
    {
        orinsub::testing::HeldKeys shift;
        Key(dan, Qt::Key_Right);
    }
    EXPECT_EQ(dan->GetScrollPosition().x(), 640);
    for (int i = 0; i < 60; ++i)
        Key(dan, Qt::Key_Right, true);
    EXPECT_EQ(dan->GetScrollPosition().x(), widest);
    {
        orinsub::testing::HeldKeys shift;
        for (int i = 0; i < 5; ++i)
            Key(dan, Qt::Key_Left);
    }
    EXPECT_EQ(dan->GetScrollPosition().x(), 0);

    NameBox(5)->setFocus();
    Key(NameBox(5), Qt::Key_Right);
    EXPECT_EQ(dan->GetScrollPosition().x(), 0) << "arrows in a name box move its caret";
}

TEST_F(PresetPaneTest, ScrolledPanesHitAndMoveFadersInLogicalPlaces)
{
    dan->ScrollToPosition(QPoint(400, 0));
    EXPECT_EQ(NameBox(11)->geometry().left(), 404 - 400);
    const QPoint knob = KnobOf(0, 12); // x 464 logical
    EXPECT_EQ(knob.x(), 464 - 400);
    Press(Client(), knob);
    Move(Client(), QPoint(knob.x(), 41));
    EXPECT_EQ(Fader(0, 12).GetLevel(), 255);
    Release(Client(), QPoint(knob.x(), 41));
}

TEST_F(PresetPaneTest, RendersKnobsReadoutsAndNumbers)
{
    dan->SetOutputDisplayLevel(0, 255);
    Fader(0, 10).SetLevel(255);
    const QImage image = dan->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 200), QColor(63, 63, 63));
    EXPECT_EQ(image.pixelColor(8, 4), QColor(0, 0, 0)) << "the readout's box";
    int green = 0;
    for (int y = 3; y < 26; ++y)
        for (int x = 7; x < 41; ++x)
            green += image.pixelColor(x, y) == QColor(127, 255, 0);
    EXPECT_GT(green, 15) << "\"FF\" in the readout's green";
    EXPECT_EQ(image.pixelColor(Fader(0, 10).GetX() + 8, 41 - 4), QColor(200, 200, 200))
        << "the tenth channel's light knob at the top";
    EXPECT_EQ(image.pixelColor(Fader(0, 10).GetX(), 120), QColor(0, 0, 0)) << "the groove";
    EXPECT_EQ(image.pixelColor(Fader(0, 10).GetX() + 15, 103), QColor(127, 127, 127))
        << "the middle tick";
}

TEST_F(PresetPaneTest, AChannelsContextMenuMarksItIndependentAndTheDeskShowsIt)
{
    QMenu *menu = ContextMenuAt(Client(), KnobOf(1, 3)); // row B's fader 3
    ASSERT_NE(menu, nullptr);
    QAction *item = Item(menu, QStringLiteral("独立チャンネル"));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    Choose(menu, item);
    EXPECT_TRUE(doc.m_extension.IsIndependent(3));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(frame.independentChanges, 1) << "an open patch window is told";
    EXPECT_GT(MarkPixels(3), 10);
    EXPECT_EQ(MarkPixels(4), 0);

    // The name box's menu keeps its edit items and ends with the channel's.
    menu = ContextMenuAt(NameBox(3)->viewport(), QPoint(5, 5));
    ASSERT_NE(menu, nullptr);
    item = Item(menu, QStringLiteral("独立チャンネル"));
    ASSERT_NE(item, nullptr);
    EXPECT_GT(menu->actions().size(), 3);
    EXPECT_TRUE(item->isChecked());
    Choose(menu, item);
    EXPECT_FALSE(doc.m_extension.IsIndependent(3));
    EXPECT_EQ(MarkPixels(3), 0);
}
