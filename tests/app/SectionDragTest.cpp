#include "app/SectionDrag.h"
#include "AppTestSupport.h"
#include "app/AppResources.h"
#include "app/DragOverlay.h"
#include "app/DragPreviewBuilder.h"
#include "app/MainFrame.h"
#include "controls/Dan.h"
#include "controls/DanFader.h"
#include "controls/FaderLabel.h"
#include "controls/RcLamp.h"
#include "controls/SubFader.h"
#include "model/Mix.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"
#include "model/UndoRecord.h"
#include "support/ScriptedSeams.h"
#include "views/ConsoleOperations.h"
#include "views/DanConsoleView.h"
#include "views/MasterConsoleView.h"
#include "zentra/SimulatedInterface.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <semaphore>
#include <thread>

using namespace orinsub;
using namespace orinsub::app;
using orinsub::testing::ManualLinkTimers;

namespace {

enum class Answer { Ok, Cancel, Shift };
const Answer kAnswers[] = {Answer::Cancel, Answer::Ok, Answer::Shift};

const char *Name(Answer answer)
{
    return answer == Answer::Ok ? "OK" : answer == Answer::Cancel ? "Cancel" : "Shift";
}

std::vector<uint8_t> Ramp(int count, int start, int step)
{
    std::vector<uint8_t> levels(count);
    for (int i = 0; i < count; ++i)
        levels[i] = static_cast<uint8_t>((start + i * step) % 256);
    return levels;
}

class SectionDragTest : public orinsub::testing::MainWindowTest
{
protected:
    controls::CDan &Row(int i) { return *Dan().GetRow(i); }
    controls::CSubFader &Sub(int number) { return *Master().GetSubFader(number - 1); }
    SectionDrag &Drag() { return frame->GetSectionDrag(); }
    QWindow *Window() { return frame->windowHandle(); }
    QPoint InWindow(const QWidget *paneClient, QPoint p)
    {
        return paneClient->mapTo(frame.get(), p);
    }

    void SetRow(int row, const std::vector<uint8_t> &levels)
    {
        for (int i = 0; i < 80; ++i)
            Row(row).GetFader(i)->SetLevel(levels[i]);
    }

    // Window points where the operator presses to start a drag and releases to drop.
    QPoint RowPress(int row)
    {
        const QWidget *client = Dan().viewport();
        const QRect rect = Row(row).GetRect();
        for (int i = 0; i < 80; ++i) {
            const QPoint p(Row(row).GetFader(i)->GetTrackRect().center().x(), Middle(rect));
            if (Row(row).GetFader(i)->HitTest(p) == controls::FaderHit::Track &&
                frame->childAt(InWindow(client, p)) == client)
                return InWindow(client, p);
        }
        ADD_FAILURE() << "no track beside a knob in row " << row;
        return {};
    }
    /// Where a row grabbed at its middle drops: the middle of the target row.
    QPoint RowMiddle(int row)
    {
        const QRect rect = Row(row).GetRect();
        return InWindow(Dan().viewport(), QPoint(rect.center().x(), Middle(rect)));
    }
    static int Middle(const QRect &r) { return r.top() + r.height() / 2; }
    QPoint SubPress(int number)
    {
        const QWidget *client = Master().viewport();
        const QRect track = Sub(number).GetTrackRect();
        // Some pixels down: the bar above the pane takes presses on its first rows.
        for (int y = track.top() + 5; y <= track.bottom(); ++y) {
            const QPoint p(track.center().x(), y);
            if (Sub(number).HitTest(p) == controls::FaderHit::Track &&
                frame->childAt(InWindow(client, p)) == client)
                return InWindow(client, p);
        }
        ADD_FAILURE() << "no track beside the knob of sub-master " << number;
        return {};
    }
    QPoint SubMiddle(int number)
    {
        return InWindow(Master().viewport(), Sub(number).GetTrackRect().center());
    }
    QPoint OutputStrip() { return InWindow(Dan().viewport(), Dan().GetLevelStripRect().center()); }

    void Press(QPoint from) { QTest::mousePress(Window(), Qt::LeftButton, {}, from); }
    void MoveTo(QPoint to) { QTest::mouseMove(Window(), to); }
    void Release(QPoint at, Answer answer = Answer::Ok)
    {
        keys.shift = answer == Answer::Shift;
        if (answer != Answer::Shift)
            questions.Answer({answer == Answer::Ok ? 1 : -1});
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, at);
        keys.shift = false;
    }
    /// Press on a section, move over the way and onto the target, release there.
    void DragAndDrop(QPoint from, QPoint to, Answer answer = Answer::Ok)
    {
        Press(from);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to, answer);
    }

    void ExpectNoDragLeft()
    {
        for (int i = 0; i < 2; ++i) {
            EXPECT_FALSE(Row(i).IsDragSource()) << "row " << i;
            EXPECT_FALSE(Row(i).IsDropTarget()) << "row " << i;
        }
        for (int n = 1; n <= 20; ++n) {
            EXPECT_FALSE(Sub(n).IsDragSource()) << "sub-master " << n;
            EXPECT_FALSE(Sub(n).IsDropTarget()) << "sub-master " << n;
        }
        EXPECT_FALSE(Dan().IsDragSource());
        EXPECT_EQ(Drag().GetDragSource(), Section::None);
        EXPECT_FALSE(Drag().IsDragging());
        EXPECT_EQ(Drag().GetTargetImages(), nullptr);
        EXPECT_FALSE(Drag().GetOverlay().isVisible());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_FALSE(DragPreviewBuilder::IsBusy());
    }
    void Undo() { frame->Command(kIdEditUndo)->trigger(); }
    model::UndoRecord &UndoRecord() { return *model::g_orin.m_pUndo; }

    orinsub::testing::ScriptedQuestions questions;
    orinsub::testing::HeldKeys keys{false};
};

/// The preview worker held at its fourth preview until the test lets it go. It outlives the
/// window, and never holds the worker for more than 10 s, so a failing test cannot hang.
class HeldPreviewWorker
{
public:
    HeldPreviewWorker()
    {
        DragPreviewBuilder::SetPaceForTesting([this](int k) {
            if (k == 3) {
                reached.release();
                (void)go.try_acquire_for(std::chrono::seconds(10));
            }
        });
    }
    ~HeldPreviewWorker()
    {
        if (letter.joinable())
            letter.join();
        DragPreviewBuilder::SetPaceForTesting(nullptr);
    }
    [[nodiscard]] bool WaitUntilHeld() { return reached.try_acquire_for(std::chrono::seconds(10)); }
    /// Lets the worker go on in a while, from another thread, while the test's thread waits.
    void LetGoLater()
    {
        letter = std::thread([this] {
            // By then the test's thread waits; it cannot say so itself.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            go.release();
        });
    }

private:
    std::binary_semaphore reached{0};
    std::binary_semaphore go{0};
    std::thread letter;
};

class SectionDragWorkerTest : public SectionDragTest
{
protected:
    ~SectionDragWorkerTest() override { frame.reset(); }
    HeldPreviewWorker worker; // constructed before the window's drags, gone after the window
};

TEST_F(SectionDragTest, RowOntoRowAsksWithTheJoinedLabelsAndCopiesOnlyWhenAllowed)
{
    const auto a = Ramp(80, 5, 3);
    const auto b = Ramp(80, 200, 7);
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        SetRow(0, a);
        SetRow(1, b);
        UndoRecord().Clear();
        questions.texts.clear();
        questions.captions.clear();

        DragAndDrop(RowPress(0), RowMiddle(1), answer);

        ExpectNoDragLeft();
        EXPECT_EQ(Row(0).GetLevels(), a);
        if (answer == Answer::Shift) {
            EXPECT_TRUE(questions.texts.isEmpty());
        } else {
            ASSERT_EQ(questions.captions.size(), 1);
            EXPECT_EQ(questions.captions[0], QStringLiteral("A段からB段へレベルをコピー"));
            EXPECT_EQ(questions.texts[0],
                      QStringLiteral("A段からB段へレベルをコピーします\nよろしいですか？"));
        }
        if (answer == Answer::Cancel) {
            EXPECT_EQ(Row(1).GetLevels(), b);
            EXPECT_FALSE(UndoRecord().m_valid);
            continue;
        }
        EXPECT_EQ(Row(1).GetLevels(), a);
        // Row B is on air (its crossfader handle is up): the output follows at once.
        for (int ch = 1; ch <= 80; ++ch)
            ASSERT_EQ(model::s_channelLevels[ch - 1], a[ch - 1]) << ch;
        ASSERT_TRUE(UndoRecord().m_valid);
        EXPECT_TRUE(UndoRecord().IsRowRecord());
        EXPECT_EQ(UndoRecord().m_index, 1);
        EXPECT_EQ(UndoRecord().m_levels, b);
        EXPECT_FALSE(doc.IsModified()); // rows are not part of the show
    }

    // Undo brings row B's levels back and the output with them; a second Undo redoes the copy.
    Undo();
    EXPECT_EQ(Row(1).GetLevels(), b);
    EXPECT_EQ(model::s_channelLevels[0], b[0]);
    Undo();
    EXPECT_EQ(Row(1).GetLevels(), a);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SectionDragTest, OutputOntoRowTakesTheLevelsTheReadoutsShow)
{
    const auto a = Ramp(80, 1, 1);
    const auto b = Ramp(80, 30, 2);
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        SetRow(0, a);
        SetRow(1, b);
        model::RecomputeAllChannels();
        views::UpdateOutputDisplays(); // the readouts show row B, which is on air

        DragAndDrop(OutputStrip(), RowMiddle(0), answer);

        ExpectNoDragLeft();
        if (answer != Answer::Shift) {
            EXPECT_EQ(questions.captions.takeLast(),
                      QStringLiteral("出力レベルからA段へレベルをコピー"));
        }
        EXPECT_EQ(Row(0).GetLevels(), answer == Answer::Cancel ? a : b);
        EXPECT_FALSE(doc.IsModified());
    }
    ASSERT_TRUE(UndoRecord().m_valid);
    EXPECT_EQ(UndoRecord().m_index, 0);
    Undo();
    EXPECT_EQ(Row(0).GetLevels(), a);
}

TEST_F(SectionDragTest, SubMasterOntoRowTakesItsLevelsAndLeavesTheShowUnmodified)
{
    const auto levels = Ramp(512, 9, 5);
    doc.GetSubMaster(1, 7)->m_levels = levels;
    doc.GetSubMaster(1, 7)->m_name = QStringLiteral("夕景");
    Master().RefreshPage();
    const auto b = Ramp(80, 100, 1);
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        SetRow(1, b);

        DragAndDrop(SubPress(7), RowMiddle(1), answer);

        ExpectNoDragLeft();
        if (answer != Answer::Shift) {
            EXPECT_EQ(questions.captions.takeLast(),
                      QStringLiteral("サブマスター [PAGE 1 - No.7] からB段へレベルをコピー"));
        }
        const std::vector<uint8_t> expected(levels.begin(), levels.begin() + 80);
        EXPECT_EQ(Row(1).GetLevels(), answer == Answer::Cancel ? b : expected);
        if (answer != Answer::Cancel) {
            EXPECT_EQ(model::s_channelLevels[10], expected[10]); // row B is on air
        }
        EXPECT_FALSE(doc.IsModified());
    }
    EXPECT_EQ(doc.GetSubMaster(1, 7)->m_levels, levels);
    Undo();
    EXPECT_EQ(Row(1).GetLevels(), b);
}

TEST_F(SectionDragTest, RowOntoSubMasterStoresEightyLevelsAndKeepsTheRestAndTheName)
{
    const auto a = Ramp(80, 40, 3);
    const auto stored = Ramp(512, 77, 11);
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        SetRow(0, a);
        doc.GetSubMaster(1, 4)->m_levels = stored;
        doc.GetSubMaster(1, 4)->m_name = QStringLiteral("板付き");
        doc.SetModifiedFlag(false);

        DragAndDrop(RowPress(0), SubMiddle(4), answer);

        ExpectNoDragLeft();
        if (answer != Answer::Shift) {
            EXPECT_EQ(questions.captions.takeLast(),
                      QStringLiteral("A段からサブマスター [PAGE 1 - No.4] へレベルをコピー"));
        }
        auto expected = stored;
        if (answer != Answer::Cancel)
            std::copy(a.begin(), a.end(), expected.begin());
        EXPECT_EQ(doc.GetSubMaster(1, 4)->m_levels, expected);
        EXPECT_EQ(doc.GetSubMaster(1, 4)->m_name, QStringLiteral("板付き"));
        EXPECT_EQ(doc.IsModified(), answer != Answer::Cancel);
    }
    ASSERT_TRUE(UndoRecord().m_valid);
    EXPECT_EQ(UndoRecord().m_page, 1);
    EXPECT_EQ(UndoRecord().m_index, 4);
    doc.SetModifiedFlag(false);
    Undo();
    EXPECT_EQ(doc.GetSubMaster(1, 4)->m_levels, stored);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SectionDragTest, OutputOntoSubMasterStoresTheReadoutsAndADeclinedCopyStillRefreshes)
{
    SetRow(1, Ramp(80, 60, 1));
    model::RecomputeAllChannels();
    views::UpdateOutputDisplays();
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        doc.GetSubMaster(1, 12)->m_levels.assign(512, 0);
        doc.SetModifiedFlag(false);
        // Levels put in behind the pane's back: the groove shows them after the next refresh.
        doc.GetSubMaster(1, 12)->m_levels[300] = 9;
        ASSERT_EQ(Sub(12).GetContentState(), controls::ContentState::Empty);

        DragAndDrop(OutputStrip(), SubMiddle(12), answer);

        ExpectNoDragLeft();
        EXPECT_EQ(Sub(12).GetContentState(), controls::ContentState::HasLevels);
        if (answer != Answer::Shift) {
            EXPECT_EQ(
                questions.captions.takeLast(),
                QStringLiteral("出力レベルからサブマスター [PAGE 1 - No.12] へレベルをコピー"));
        }
        const auto &levels = doc.GetSubMaster(1, 12)->m_levels;
        for (int i = 0; i < 80; ++i)
            ASSERT_EQ(levels[i], answer == Answer::Cancel ? 0 : Dan().GetOutputDisplayLevel(i));
        EXPECT_EQ(levels[300], 9);
        EXPECT_EQ(doc.IsModified(), answer != Answer::Cancel);
        Sub(12).SetContentState(controls::ContentState::Empty);
    }
    Undo();
    EXPECT_EQ(doc.GetSubMaster(1, 12)->m_levels[5], 0);
    EXPECT_EQ(doc.GetSubMaster(1, 12)->m_levels[300], 9);
}

TEST_F(SectionDragTest, SubMasterOntoSubMasterCopiesAllLevelsAndTheName)
{
    const auto source = Ramp(512, 3, 7);
    doc.GetSubMaster(1, 2)->m_levels = source;
    doc.GetSubMaster(1, 2)->m_name = QStringLiteral("全景");
    for (Answer answer : kAnswers) {
        SCOPED_TRACE(Name(answer));
        doc.GetSubMaster(1, 9)->m_levels.assign(512, 1);
        doc.GetSubMaster(1, 9)->m_name = QStringLiteral("前");
        Master().RefreshPage();
        Sub(9).GetLabel()->SetText(QStringLiteral("前"));
        doc.SetModifiedFlag(false);

        DragAndDrop(SubPress(2), SubMiddle(9), answer);

        ExpectNoDragLeft();
        if (answer != Answer::Shift) {
            EXPECT_EQ(questions.captions.takeLast(),
                      QStringLiteral("サブマスター [PAGE 1 - No.2] からサブマスター [PAGE 1 - "
                                     "No.9] へレベルをコピー"));
            EXPECT_EQ(questions.texts.takeLast(),
                      QStringLiteral("サブマスター [PAGE 1 - No.2] からサブマスター [PAGE 1 - "
                                     "No.9] へレベルをコピーします\nよろしいですか？"));
        }
        const bool copied = answer != Answer::Cancel;
        EXPECT_EQ(doc.GetSubMaster(1, 9)->m_levels, copied ? source : std::vector<uint8_t>(512, 1));
        const QString name = copied ? QStringLiteral("全景") : QStringLiteral("前");
        EXPECT_EQ(doc.GetSubMaster(1, 9)->m_name, name);
        EXPECT_EQ(Sub(9).GetLabel()->GetText(), name);
        EXPECT_EQ(doc.IsModified(), copied);
    }
    Undo();
    EXPECT_EQ(doc.GetSubMaster(1, 9)->m_levels, std::vector<uint8_t>(512, 1));
    EXPECT_EQ(doc.GetSubMaster(1, 9)->m_name, QStringLiteral("前"));
}

TEST_F(SectionDragTest, HeldSubFaderGivesItsOwnPagesSubMasterToTheSubMasterOfThePageShown)
{
    const auto source = Ramp(512, 50, 3);
    doc.GetSubMaster(1, 3)->m_levels = source;
    doc.GetSubMaster(1, 3)->m_name = QStringLiteral("一幕");
    doc.GetSubMaster(2, 5)->m_name = QStringLiteral("二幕");
    Sub(3).SetLevel(200); // raised on page 1: it keeps page 1's sub-master 3
    Master().StepPage(true);
    ASSERT_EQ(Master().GetPage(), 2);
    ASSERT_EQ(Sub(3).GetPage(), 1);

    DragAndDrop(SubPress(3), SubMiddle(5));

    ExpectNoDragLeft();
    ASSERT_EQ(questions.captions.size(), 1);
    EXPECT_EQ(
        questions.captions[0],
        QStringLiteral(
            "サブマスター [PAGE 1 - No.3] からサブマスター [PAGE 2 - No.5] へレベルをコピー"));
    EXPECT_EQ(doc.GetSubMaster(2, 5)->m_levels, source);
    EXPECT_EQ(doc.GetSubMaster(2, 5)->m_name, QStringLiteral("一幕"));
    EXPECT_EQ(Sub(5).GetLabel()->GetText(), QStringLiteral("一幕"));
    EXPECT_NE(doc.GetSubMaster(1, 5)->m_levels, source);
    // The raised source still plays page 1, shown red on page 2.
    EXPECT_EQ(Sub(3).GetPage(), 1);
    EXPECT_EQ(Sub(3).GetContentState(), controls::ContentState::HeldElsewhere);
    ASSERT_TRUE(UndoRecord().m_valid);
    EXPECT_EQ(UndoRecord().m_page, 2);
    EXPECT_EQ(UndoRecord().m_index, 5);
    Undo();
    EXPECT_EQ(doc.GetSubMaster(2, 5)->m_name, QStringLiteral("二幕"));
    EXPECT_EQ(doc.GetSubMaster(2, 5)->m_levels, std::vector<uint8_t>(512, 0));
}

TEST_F(SectionDragTest, ReleasingOverTheSourceOutsideAnyTargetOrOnTheOutputStripCopiesNothing)
{
    const auto a = Ramp(80, 10, 1);
    SetRow(0, a);
    SetRow(1, Ramp(80, 90, 1));
    doc.GetSubMaster(1, 6)->m_levels.assign(512, 33);
    const auto before = doc.GetSubMaster(1, 6)->m_levels;
    const QPoint outside = InWindow(&Master(), QPoint(Master().width() - 20, 10));
    const struct
    {
        const char *what;
        QPoint from, to;
    } drops[] = {
        {"row A onto itself", RowPress(0), RowMiddle(0)},
        {"sub-master onto itself", SubPress(6), SubMiddle(6)},
        {"row A outside any target", RowPress(0), outside},
        {"row A onto the output strip", RowPress(0), OutputStrip()},
        {"sub-master onto the output strip", SubPress(6), OutputStrip()},
        {"output onto itself", OutputStrip(), OutputStrip()},
    };
    for (const auto &drop : drops) {
        SCOPED_TRACE(drop.what);
        // Over a target and away again on the way, so there were marks to clear.
        Press(drop.from);
        MoveTo(RowMiddle(1));
        EXPECT_TRUE(Row(1).IsDropTarget());
        MoveTo(drop.to);
        EXPECT_FALSE(Row(1).IsDropTarget());
        Release(drop.to);
        ExpectNoDragLeft();
    }
    EXPECT_TRUE(questions.captions.isEmpty());
    EXPECT_EQ(Row(0).GetLevels(), a);
    EXPECT_EQ(doc.GetSubMaster(1, 6)->m_levels, before);
    EXPECT_FALSE(UndoRecord().m_valid);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SectionDragTest, MasterPaneHoversAgainAfterADragThatStartedOnIt)
{
    const QPoint from = SubPress(6);
    Press(from);
    MoveTo(from + QPoint(0, 30));
    Release(from + QPoint(0, 30));
    ExpectNoDragLeft();
    Master().StepPage(true); // page 2: the up button is lit and can hover
    MoveTo(InWindow(Master().viewport(), QPoint(1060, 90)));
    EXPECT_TRUE(Master().GetPageUpLamp()->IsHovered());
}

TEST_F(SectionDragTest, EscapeOrAnotherWindowTakingOverEndsTheDragWithoutACopy)
{
    const auto b = Ramp(80, 90, 1);
    SetRow(0, Ramp(80, 10, 1));
    SetRow(1, b);

    Press(RowPress(0));
    MoveTo(RowMiddle(1));
    ASSERT_EQ(QWidget::mouseGrabber(), frame.get());
    QTest::keyClick(Window(), Qt::Key_Escape);
    ExpectNoDragLeft();
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowMiddle(1));

    Press(RowPress(0));
    MoveTo(RowMiddle(1));
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ExpectNoDragLeft();
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowMiddle(1));

    EXPECT_TRUE(questions.captions.isEmpty());
    EXPECT_EQ(Row(1).GetLevels(), b);
}

TEST_F(SectionDragTest, SmallImageFollowsThePointerAndATargetShowsItsPreviewOverTheWindow)
{
    const QPoint from = RowPress(0);
    Press(from);
    ASSERT_TRUE(Drag().IsDragging());
    const QRect section = Drag().GetSectionRect();
    EXPECT_EQ(section, Row(0).GetRect().translated(InWindow(Dan().viewport(), QPoint())));
    EXPECT_EQ(Drag().GetDragHotSpot(), from - section.topLeft());
    const DragOverlay &overlay = Drag().GetOverlay();
    ASSERT_TRUE(overlay.isVisible());
    EXPECT_EQ(overlay.geometry(), frame->rect());
    ASSERT_EQ(overlay.GetPicture().size(), 1u);
    // The small image first shows where the section is, 2 pixels right and down; source bars in
    // green along its top and bottom.
    const DragLayer small = overlay.GetPicture().front();
    EXPECT_EQ(small.Rect(), section.translated(2, 2));
    EXPECT_EQ(small.image.pixelColor(10, 0), drag::kSmallImageSourceBars);
    EXPECT_EQ(small.image.pixelColor(10, small.image.height() - 1), drag::kSmallImageSourceBars);

    const QPoint aside = from + QPoint(0, 100);
    MoveTo(aside);
    EXPECT_EQ(overlay.GetPicture().front().topLeft, aside - Drag().GetDragHotSpot());

    // Over sub-master 8: its preview, over the whole window, with the target's bars around the
    // column and the source's bars on row A.
    MoveTo(SubMiddle(8));
    ASSERT_TRUE(Sub(8).IsDropTarget());
    const DragPicture preview = overlay.GetPicture();
    ASSERT_EQ(preview.size(), 2u);
    QRect column = Sub(8).GetTrackRect();
    column.setTop(Master().GetSavedClientRect().top());
    column.setBottom(Master().GetSavedClientRect().bottom());
    column.translate(InWindow(Master().viewport(), QPoint()));
    EXPECT_EQ(preview[0].Rect(), column);
    EXPECT_EQ(preview[0].image.pixelColor(0, 100), drag::kPreviewTargetBars);
    EXPECT_EQ(preview[0].image.pixelColor(25, 100).alpha(), 0); // no row picture on a sub-master
    EXPECT_EQ(preview[1].Rect(), section);
    EXPECT_EQ(preview[1].image.pixelColor(100, 2), drag::kPreviewSourceBars);

    // Within the target the preview stays put; leaving it brings the small image back.
    MoveTo(SubMiddle(8) + QPoint(3, 30));
    EXPECT_EQ(overlay.GetPicture().front().topLeft, preview[0].topLeft);
    MoveTo(aside);
    EXPECT_FALSE(Sub(8).IsDropTarget());
    ASSERT_EQ(overlay.GetPicture().size(), 1u);
    EXPECT_EQ(overlay.GetPicture().front().Rect().topLeft(), aside - Drag().GetDragHotSpot());

    // Over row B: row A's picture placed on it.
    MoveTo(RowMiddle(1));
    const DragPicture onRow = overlay.GetPicture();
    ASSERT_EQ(onRow.size(), 2u);
    const QRect rowB = Row(1).GetRect().translated(InWindow(Dan().viewport(), QPoint()));
    EXPECT_EQ(onRow[0].Rect(), rowB);
    EXPECT_EQ(onRow[0].image.pixelColor(100, 0), drag::kPreviewTargetBars);
    EXPECT_EQ(onRow[0].image.pixelColor(100, rowB.height() - 5), drag::kPreviewTargetBars);

    Release(RowMiddle(1), Answer::Cancel);
    ExpectNoDragLeft();
}

TEST_F(SectionDragTest, DropTargetsAreTheRowsAndSubMastersShrunkByTheirMargins)
{
    // Window client coordinates: row A (0,30)-(1192,176) of the preset pane at x 29; the
    // master pane at y 411, sub-master j's column at x 30 + 50 j, from y 0 to 290 of it.
    Sub(1).SetDragSource(true);
    EXPECT_EQ(Drag().GetDragSource(), SubMasterSection(0));
    SectionDrag &drag = Drag();
    EXPECT_EQ(drag.HitTestDropTarget({100, 49}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({100, 50}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 155}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 156}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({100, 206}), Section::RowB);
    EXPECT_EQ(drag.HitTestDropTarget({35, 431}), SubMasterSection(0));
    EXPECT_EQ(drag.HitTestDropTarget({34, 431}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({35, 430}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({74, 680}), SubMasterSection(0));
    EXPECT_EQ(drag.HitTestDropTarget({75, 680}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({74, 681}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({985, 500}), SubMasterSection(19));
    // The output strip is never a target.
    EXPECT_EQ(drag.HitTestDropTarget({100, 15}), Section::None);
    Sub(1).SetDragSource(false);
    Dan().SetDragSource(true);
    EXPECT_EQ(Drag().GetDragSource(), Section::OutputStrip);
    Row(1).SetDragSource(true);
    EXPECT_EQ(Drag().GetDragSource(), Section::RowB);
    Dan().SetDragSource(false);

    // A dragged row, grabbed at its middle (hot spot 73 of 146): 50 off each edge.
    Press(RowPress(1));
    EXPECT_EQ(drag.GetDragHotSpot().y(), 73);
    EXPECT_EQ(drag.HitTestDropTarget({100, 79}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({100, 80}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 125}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 126}), Section::None);
    QTest::keyClick(Window(), Qt::Key_Escape);
    // Grabbed 10 pixels below its top: the target band moves up by 63.
    Press(RowPress(1) - QPoint(0, 73 - 10));
    ASSERT_TRUE(drag.IsDragging());
    EXPECT_EQ(drag.GetDragHotSpot().y(), 10);
    EXPECT_EQ(drag.HitTestDropTarget({100, 16}), Section::None);
    EXPECT_EQ(drag.HitTestDropTarget({100, 17}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 62}), Section::RowA);
    EXPECT_EQ(drag.HitTestDropTarget({100, 63}), Section::None);
    QTest::keyClick(Window(), Qt::Key_Escape);
    ExpectNoDragLeft();
}

TEST_F(SectionDragWorkerTest, DropBeforeThePreviewsAreDoneWaitsForTheWorkerAndStillCopies)
{
    const auto a = Ramp(80, 10, 1);
    SetRow(0, a);
    Press(RowPress(0));
    ASSERT_TRUE(worker.WaitUntilHeld());
    ASSERT_NE(Drag().GetTargetImages(), nullptr);
    EXPECT_EQ(Drag().GetTargetImages()->GetBuiltCount(), 3);
    EXPECT_TRUE(DragPreviewBuilder::IsBusy());
    MoveTo(RowMiddle(1)); // the row's preview is there already
    EXPECT_EQ(Drag().GetOverlay().GetPicture().size(), 2u);

    worker.LetGoLater();
    Release(RowMiddle(1), Answer::Shift);

    ExpectNoDragLeft();
    EXPECT_EQ(Row(1).GetLevels(), a);
}

TEST_F(SectionDragWorkerTest, SubMasterTargetWaitsForItsPreview)
{
    Press(RowPress(0));
    ASSERT_TRUE(worker.WaitUntilHeld());
    worker.LetGoLater();
    MoveTo(SubMiddle(10)); // preview 11, not made yet: the move waits for it
    ASSERT_TRUE(Sub(10).IsDropTarget());
    ASSERT_EQ(Drag().GetOverlay().GetPicture().size(), 2u);
    EXPECT_EQ(Drag().GetOverlay().GetPicture().front().Rect().center().x(), SubMiddle(10).x());
    Release(SubMiddle(10), Answer::Cancel);
    ExpectNoDragLeft();
}

TEST_F(SectionDragWorkerTest, ClosingTheWindowDuringADragEndsItOnceThePreviewWorkerHasFinished)
{
    Press(SubPress(1));
    ASSERT_TRUE(worker.WaitUntilHeld());
    worker.LetGoLater();
    frame->close();
    ExpectNoDragLeft();
    frame.reset();
    EXPECT_FALSE(DragPreviewBuilder::IsBusy());
}

TEST_F(SectionDragWorkerTest, DestroyingTheWindowDuringADragWaitsForThePreviewWorker)
{
    Press(OutputStrip());
    ASSERT_TRUE(worker.WaitUntilHeld());
    worker.LetGoLater();
    frame.reset();
    EXPECT_FALSE(DragPreviewBuilder::IsBusy());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
