#include "ConsoleFixture.h"
#include "controls/FaderLabel.h"
#include "controls/MyEdit.h"
#include "views/UndoLastEdit.h"

using namespace orinsub;
using orinsub::testing::ConsoleTest;

namespace {

class UndoTest : public ConsoleTest
{
protected:
    /// Row A to row B as the section copy does it (record first).
    void CopyRowAToRowB()
    {
        controls::RecordRow(undo, *dan->GetRow(1));
        dan->GetRow(1)->CopyLevelsFromRow(*dan->GetRow(0));
        model::RecomputeAllChannels();
    }
    /// Sub-master 7 onto sub-master 5 of the page shown.
    void CopySub7ToSub5()
    {
        undo.RecordSubMaster(master->GetPage(), 5);
        Sub(5).CopyFromSubFader(Sub(7));
        model::RecomputeAllChannels();
    }
};

} // namespace

TEST_F(UndoTest, RowUndoSwapsAndASecondUndoRedoes)
{
    Fader(0, 1).SetLevel(100);
    Fader(1, 1).SetLevel(20);
    CopyRowAToRowB();
    EXPECT_EQ(model::s_channelLevels[0], 100);

    views::UndoLastEdit();
    EXPECT_EQ(Fader(1, 1).GetLevel(), 20);
    EXPECT_EQ(model::s_channelLevels[0], 20) << "the output follows";
    EXPECT_TRUE(undoEnabled);
    views::UndoLastEdit();
    EXPECT_EQ(Fader(1, 1).GetLevel(), 100);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(UndoTest, SubMasterUndoRestoresLevelsAndNameAndMarksTheShow)
{
    doc.GetSubMaster(1, 5)->m_name = QStringLiteral("old");
    doc.GetSubMaster(1, 5)->m_levels[0] = 30;
    doc.GetSubMaster(1, 7)->m_name = QStringLiteral("new");
    doc.GetSubMaster(1, 7)->m_levels[0] = 200;
    CopySub7ToSub5();
    doc.SetModifiedFlag(false);

    views::UndoLastEdit();
    EXPECT_EQ(doc.GetSubMaster(1, 5)->m_levels[0], 30);
    EXPECT_EQ(master->GetNameLabel(4)->GetText(), QStringLiteral("old"));
    EXPECT_TRUE(doc.IsModified());
    views::UndoLastEdit();
    EXPECT_EQ(doc.GetSubMaster(1, 5)->m_levels[0], 200);
    EXPECT_EQ(master->GetNameLabel(4)->GetText(), QStringLiteral("new"));
}

TEST_F(UndoTest, APageStepThrowsTheRecordAway)
{
    doc.GetSubMaster(1, 7)->m_levels[0] = 200;
    CopySub7ToSub5();
    master->StepPage(true);
    EXPECT_FALSE(undoEnabled);
    master->StepPage(false);
    views::UndoLastEdit();
    EXPECT_EQ(doc.GetSubMaster(1, 5)->m_levels[0], 200) << "nothing to undo";
}

TEST_F(UndoTest, SubMasterAndCrossfaderMovesKeepARowRecord)
{
    Fader(0, 1).SetLevel(100);
    CopyRowAToRowB();
    const QPoint sub = Centre(Sub(1).GetKnobRect());
    Press(master->viewport(), sub);
    Move(master->viewport(), sub - QPoint(0, 40));
    Release(master->viewport(), sub - QPoint(0, 40));
    const QPoint a = Centre(HandleA().GetKnobRect());
    Press(master->viewport(), a);
    Move(master->viewport(), a - QPoint(0, 40));
    Release(master->viewport(), a - QPoint(0, 40));
    views::UndoLastEdit();
    EXPECT_EQ(Fader(1, 1).GetLevel(), 0);
}

TEST_F(UndoTest, PanesSetTheUndoCommandWhenTheyGetTheFocus)
{
    CopyRowAToRowB();
    controls::CMyEdit *box = dan->GetNameLabel(0)->GetEdit();
    box->setFocus();
    EXPECT_TRUE(undoEnabled);
    EXPECT_TRUE(frame.editCommandsEnabled);
    model::SetUndoCommandEnabled(false);
    left->setFocus();
    EXPECT_TRUE(undoEnabled);
    EXPECT_FALSE(frame.editCommandsEnabled);
    undo.Clear();
    dan->setFocus();
    EXPECT_FALSE(undoEnabled);
}

TEST_F(UndoTest, UndoFromTheMasterPaneOrAStripUndoesTheCopy)
{
    Fader(0, 1).SetLevel(100);
    CopyRowAToRowB();
    master->OnEditUndo();
    EXPECT_EQ(Fader(1, 1).GetLevel(), 0);
    master->GetNameLabel(0)->GetEdit()->setFocus();
    left->OnEditUndo(); // a strip always undoes the copy
    EXPECT_EQ(Fader(1, 1).GetLevel(), 100);
}
