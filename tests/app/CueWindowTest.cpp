#include "app/CueWindow.h"
#include "AppTestSupport.h"
#include "TableTyping.h"
#include "app/AppResources.h"
#include "app/CueLevelsModel.h"
#include "app/CueTableModel.h"
#include "controls/Dan.h"
#include "dmx/OrinZentra.h"
#include "model/UndoRecord.h"
#include "support/ScriptedSeams.h"
#include "views/CuePlayback.h"
#include "views/GoFade.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

using namespace orinsub;
using app::CueTableModel;

namespace {

class CueWindowTest : public orinsub::testing::MainWindowTest
{
protected:
    CueWindowTest()
    {
        frame->Command(app::kIdCueList)->trigger();
        window = frame->GetCueWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    const model::CueList &Cues() const { return doc.m_extension.cues; }
    std::vector<int> Numbers() const
    {
        std::vector<int> numbers;
        for (const model::Cue &cue : Cues().Cues())
            numbers.push_back(cue.number);
        return numbers;
    }

    /// Types a cue number and Enter under キュー番号, then lets the window answer.
    void RecordAs(const QString &number)
    {
        QLineEdit *box = window->NumberBox();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        orinsub::testing::TypeText(box, number);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    void EditCell(int row, int column, const QString &text)
    {
        orinsub::testing::EditCell(window->Table(), row, column, text);
    }

    void SelectRow(int row)
    {
        window->Table()->setFocus();
        window->Table()->selectRow(row);
    }

    /// The operator's last message, taken so that the next one stands alone.
    QString Told()
    {
        const QString last = questions.texts.value(questions.texts.size() - 1);
        questions.texts.clear();
        return last;
    }

    orinsub::testing::ScriptedQuestions questions;
    app::CueWindow *window = nullptr;
};

} // namespace

TEST_F(CueWindowTest, RecordsTheOutputAsItIsWithoutTouchingTheDesk)
{
    Master().GetGoFade().SetFadeTime(12);
    Dan().MoveFaderTo(1, 0, 200); // row B is on air
    Dan().MoveFaderTo(1, 79, 17);
    model::g_orin.m_pUndo->RecordRow(0, std::vector<uint8_t>(80, 9));
    const auto output = model::s_channelLevels;
    const std::vector<uint8_t> rowB = Dan().GetRow(1)->GetLevels();
    doc.SetModifiedFlag(false);

    EXPECT_EQ(window->NumberBox()->text(), QStringLiteral("1")) << "the first cue suggested";
    RecordAs(QStringLiteral("1"));
    ASSERT_EQ(Cues().Count(), 1);
    const model::Cue &cue = Cues().Cues()[0];
    EXPECT_TRUE(std::equal(cue.look.begin(), cue.look.end(), output.begin()));
    EXPECT_EQ(cue.look[0], 200);
    EXPECT_EQ(cue.look[79], 17);
    EXPECT_EQ(cue.upTime, 12);
    EXPECT_EQ(cue.downTime, 12);
    EXPECT_FALSE(cue.follow);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(window->NumberBox()->text(), QStringLiteral("2"));
    EXPECT_EQ(window->Table()->model()->index(0, CueTableModel::Up).data().toString(),
              QStringLiteral("1.2"));

    EXPECT_EQ(model::s_channelLevels, output);
    EXPECT_EQ(Dan().GetRow(1)->GetLevels(), rowB);
    EXPECT_TRUE(model::g_orin.m_pUndo->m_valid) << "the section copy's undo is left alone";
    EXPECT_TRUE(frame->Command(app::kIdEditUndo)->isEnabled());
    EXPECT_TRUE(questions.texts.isEmpty());

    Dan().MoveFaderTo(1, 0, 150);
    questions.Answer({0});
    RecordAs(QStringLiteral("1"));
    EXPECT_EQ(Told(), app::cuewindow::kUpdateExistingQuestion.arg(QStringLiteral("1")));
    EXPECT_EQ(Cues().Cues()[0].look[0], 200) << "declined: cue 1 as it was";
    RecordAs(QStringLiteral("1"));
    EXPECT_EQ(Told(), app::cuewindow::kUpdateExistingQuestion.arg(QStringLiteral("1")));
    EXPECT_EQ(Cues().Cues()[0].look[0], 150) << "cue 1 takes the output";
    RecordAs(QStringLiteral("1000"));
    EXPECT_EQ(Told(), QStringLiteral(
                          "キュー番号は 1 から 999.9 まで（小数点以下 1 桁）で指定してください。"));
    RecordAs(QStringLiteral("次"));
    EXPECT_FALSE(Told().isEmpty());
    EXPECT_EQ(Cues().Count(), 1);
}

TEST_F(CueWindowTest, RecordsAndUpdatesFromARowOrASubMaster)
{
    Dan().MoveFaderTo(0, 4, 77);
    QTest::keyClick(window->SourceBox(), Qt::Key_Down); // A段
    EXPECT_FALSE(window->PageBox()->isEnabled());
    RecordAs(QStringLiteral("1"));

    doc.GetSubMaster(3, 2)->m_levels[9] = 99;
    QTest::keyClick(window->SourceBox(), Qt::Key_Down);
    QTest::keyClick(window->SourceBox(), Qt::Key_Down); // サブマスター
    ASSERT_TRUE(window->PageBox()->isEnabled());
    QTest::keyClick(window->PageBox(), Qt::Key_Up);
    QTest::keyClick(window->PageBox(), Qt::Key_Up);
    QTest::keyClick(window->SubMasterBox(), Qt::Key_Up);
    RecordAs(QStringLiteral("2"));

    ASSERT_EQ(Numbers(), (std::vector<int>{10, 20}));
    EXPECT_EQ(Cues().Cues()[0].look[4], 77);
    EXPECT_EQ(Cues().Cues()[1].look[9], 99);
    EXPECT_EQ(Cues().Cues()[1].look[4], 0);

    SelectRow(0);
    QTest::mouseClick(window->UpdateButton(), Qt::LeftButton);
    EXPECT_EQ(Cues().Cues()[0].look[9], 99);
    EXPECT_EQ(Cues().Cues()[0].look[4], 0);
}

TEST_F(CueWindowTest, EditsInTheTableAreCheckedAndABadOneChangesNothing)
{
    RecordAs(QStringLiteral("1"));
    doc.SetModifiedFlag(false);
    const model::Cue before = Cues().Cues()[0];

    EditCell(0, CueTableModel::Up, QStringLiteral("60:00"));
    EXPECT_EQ(Told(), QStringLiteral("アップタイムは 0 から 59:59.9 まで（0.1 秒単位）です。"
                                     "「90」「1:30」「1:30.5」のように入力してください。"));
    EditCell(0, CueTableModel::Follow, QStringLiteral("すぐ"));
    EXPECT_EQ(Told(),
              QStringLiteral("フォローは 0 から 59:59.9 まで（0.1 秒単位）か、空欄（フォロー"
                             "なし）です。「90」「1:30」「1:30.5」のように入力してください。"));
    EXPECT_EQ(Cues().Cues()[0], before);
    EXPECT_FALSE(doc.IsModified());

    EditCell(0, CueTableModel::Up, QStringLiteral("２．５"));
    EditCell(0, CueTableModel::Down, QStringLiteral("１０：００"));
    EditCell(0, CueTableModel::Delay, QStringLiteral("90"));
    EditCell(0, CueTableModel::Follow, QStringLiteral("8"));
    EditCell(0, CueTableModel::Label, QStringLiteral("夕景"));
    const model::Cue &cue = Cues().Cues()[0];
    EXPECT_EQ(cue.upTime, 25);
    EXPECT_EQ(cue.downTime, 6000);
    EXPECT_EQ(cue.delay, 900);
    EXPECT_EQ(cue.follow, 80);
    EXPECT_EQ(cue.label, QStringLiteral("夕景"));
    EXPECT_EQ(window->Table()->model()->index(0, CueTableModel::Delay).data().toString(),
              QStringLiteral("1:30.0"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(questions.texts.isEmpty());
    EditCell(0, CueTableModel::Follow, QString());
    EXPECT_FALSE(Cues().Cues()[0].follow) << "blank: no follow";
}

TEST_F(CueWindowTest, DeleteAndEveryEditUndoInTurn)
{
    for (const char *number : {"1", "2", "3"})
        RecordAs(QString::fromLatin1(number));
    SelectRow(1);
    QTest::keyClick(window->Table(), Qt::Key_Delete);
    EXPECT_EQ(Numbers(), (std::vector<int>{10, 30}));
    EXPECT_EQ(window->Table()->currentIndex().row(), 1) << "the next cue selected";

    doc.SetModifiedFlag(false);
    QTest::keyClick(window->Table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Numbers(), (std::vector<int>{10, 20, 30}));
    EXPECT_TRUE(doc.IsModified());
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(window->UndoButton(), Qt::LeftButton);
    EXPECT_TRUE(Cues().IsEmpty());
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    EXPECT_FALSE(frame->Command(app::kIdEditUndo)->isEnabled()) << "never the desk's undo";
}

TEST_F(CueWindowTest, InsertsBetweenNeighboursAndRenumbersAfterTheQuestion)
{
    RecordAs(QStringLiteral("1"));
    RecordAs(QStringLiteral("2"));
    SelectRow(0);
    QTest::mouseClick(window->InsertButton(), Qt::LeftButton);
    QTest::keyClick(window->Table(), Qt::Key_Insert);
    EXPECT_EQ(Numbers(), (std::vector<int>{10, 15, 17, 20}));
    EXPECT_EQ(window->Table()->currentIndex().row(), 2) << "the new cue selected";

    questions.Answer({0});
    QTest::mouseClick(window->RenumberButton(), Qt::LeftButton);
    EXPECT_EQ(Numbers(), (std::vector<int>{10, 15, 17, 20}));
    questions.Answer({1});
    QTest::mouseClick(window->RenumberButton(), Qt::LeftButton);
    EXPECT_EQ(Numbers(), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(questions.captions.value(1), QStringLiteral("番号を振り直す"));
    EXPECT_EQ(window->Table()->currentIndex().row(), 2) << "the same cue stays selected";
}

// The look under the grand master, blackout and a held flash: what the faders set.
TEST_F(CueWindowTest, TheOutputIsRecordedAsTheFadersSetItUnderTheMasters)
{
    Dan().MoveFaderTo(1, 0, 180);
    Dan().MoveFaderTo(1, 1, 255);
    Master().SetGrandMaster(128);
    RecordAs(QStringLiteral("1"));
    Master().SetBlackout(true);
    RecordAs(QStringLiteral("2"));
    ASSERT_EQ(Cues().Count(), 2);
    for (const model::Cue &cue : Cues().Cues()) {
        EXPECT_EQ(cue.look[0], 180) << cue.number;
        EXPECT_EQ(cue.look[1], 255) << cue.number;
    }
}

// Space selects nothing and edits nothing in the list: it is GO. A cell opened and left hands in
// nothing.
TEST_F(CueWindowTest, SpaceInTheListIsGoAndAnOpenedCellLeftAloneKeepsItsText)
{
    RecordAs(QStringLiteral("1"));
    EditCell(0, CueTableModel::Label, QStringLiteral("House up"));
    doc.SetModifiedFlag(false);
    SelectRow(0);
    QTest::keyClick(window->Table(), Qt::Key_Space);
    EXPECT_TRUE(Master().GetGoFade().IsRunning()) << "GO";
    EXPECT_EQ(QApplication::focusWidget(), window->Table()) << "no editor opened";

    window->Table()->setCurrentIndex(window->Table()->model()->index(0, CueTableModel::Label));
    QTest::keyClick(window->Table(), Qt::Key_F2);
    ASSERT_NE(QApplication::focusWidget(), window->Table());
    window->NumberBox()->setFocus(); // the operator clicks elsewhere
    QCoreApplication::processEvents();
    EXPECT_EQ(Cues().Cues()[0].label, QStringLiteral("House up"));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CueWindowTest, TheListMarksTheCueOnStageAndTheNextOne)
{
    for (const char *number : {"1", "2", "3"})
        RecordAs(QString::fromLatin1(number));
    frame->GetCuePlayback().SetPlaying(true);
    ASSERT_TRUE(frame->GetCuePlayback().Go());
    const QAbstractItemModel *table = window->Table()->model();
    const auto marks = [&](int row) {
        return std::pair(table->index(row, 0).data(Qt::BackgroundRole).isValid(),
                         table->index(row, 0).data(Qt::ForegroundRole).isValid());
    };
    EXPECT_EQ(marks(0), std::pair(true, false)) << "cue 1 on stage";
    EXPECT_EQ(marks(1), std::pair(false, true)) << "cue 2 next";
    EXPECT_EQ(marks(2), std::pair(false, false));
}

TEST_F(CueWindowTest, ALockedDeskShowsTheListAndEditsNothing)
{
    RecordAs(QStringLiteral("1"));
    SelectRow(0);
    frame->Command(app::kIdLock)->trigger();
    RecordAs(QStringLiteral("5"));
    QTest::keyClick(window->Table(), Qt::Key_Delete);
    EXPECT_EQ(Numbers(), std::vector<int>{10});
    for (QWidget *control : std::initializer_list<QWidget *>{
             window->RecordButton(), window->UpdateButton(), window->DeleteButton(),
             window->InsertButton(), window->UndoButton()})
        EXPECT_FALSE(control->isEnabled());
    EXPECT_FALSE(window->Table()->model()->flags(window->Table()->model()->index(0, 1)) &
                 Qt::ItemIsEditable);
}

// It opens where the crossfader, the grand master and GO stay in sight, and from every window.
TEST_F(CueWindowTest, OpensOverTheRowsAndCanSaveTheShow)
{
    EXPECT_LT(window->frameGeometry().bottom(), Master().mapToGlobal(QPoint(0, 0)).y());
    EXPECT_TRUE(window->actions().contains(frame->Command(app::kIdFileSave)));
    EXPECT_EQ(frame->Command(app::kIdCueList)->shortcutContext(), Qt::ApplicationShortcut);
}

TEST_F(CueWindowTest, AnotherShowEmptiesTheListAndItsUndo)
{
    RecordAs(QStringLiteral("1"));
    window->close();
    frame->Command(app::kIdCueList)->trigger();
    EXPECT_EQ(frame->GetCueWindow(), window);
    EXPECT_TRUE(window->UndoButton()->isEnabled()) << "closing only hides the window";

    doc.OnNewDocument();
    frame->OnInitialUpdate();
    EXPECT_EQ(window->Table()->model()->rowCount(), 0);
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    EXPECT_EQ(window->NumberBox()->text(), QStringLiteral("1"));
}

TEST_F(CueWindowTest, ASelectedCuesLevelsAreEditedBlindAndMarkedAgainstTheCueBefore)
{
    Dan().MoveFaderTo(1, 4, 255); // row B is on air
    RecordAs(QStringLiteral("1"));
    RecordAs(QStringLiteral("2"));
    const auto output = model::s_channelLevels;
    const auto stage = model::g_orin.m_pZentra->GetSentLook();
    SelectRow(1);
    QAbstractItemModel *levels = window->LevelTable()->model();
    ASSERT_EQ(levels->rowCount(), 80);
    EXPECT_EQ(levels->index(4, app::CueLevelsModel::Level).data().toString(), QStringLiteral("FF"));

    for (const auto &[typed, level] : {std::pair{"50", 128}, {"１", 3}, {"0", 0}, {"fl", 255}}) {
        orinsub::testing::EditCell(window->LevelTable(), 5, app::CueLevelsModel::Level,
                                   QString::fromUtf8(typed));
        EXPECT_EQ(Cues().Cues()[1].look[5], level) << typed;
    }
    orinsub::testing::EditCell(window->LevelTable(), 5, app::CueLevelsModel::Level,
                               QStringLiteral("半分"));
    QTest::qWait(50);
    EXPECT_EQ(Told(), app::cuewindow::kLevelTyping);
    EXPECT_EQ(Cues().Cues()[1].look[5], 255) << "a refused typing changes nothing";
    EXPECT_TRUE(window->LevelTable()
                    ->model()
                    ->index(5, app::CueLevelsModel::Level)
                    .data(Qt::BackgroundRole)
                    .isValid())
        << "differs from cue 1";
    EXPECT_FALSE(window->LevelTable()
                     ->model()
                     ->index(4, app::CueLevelsModel::Level)
                     .data(Qt::BackgroundRole)
                     .isValid());

    EXPECT_EQ(model::s_channelLevels, output) << "nothing reaches the stage";
    EXPECT_EQ(model::g_orin.m_pZentra->GetSentLook(), stage);
    EXPECT_TRUE(doc.IsModified());
    QTest::mouseClick(window->UndoButton(), Qt::LeftButton);
    EXPECT_EQ(Cues().Cues()[1].look[5], 0) << "undo takes back the last edit";
}
