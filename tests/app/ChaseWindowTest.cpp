#include "app/ChaseWindow.h"
#include "AppTestSupport.h"
#include "TableTyping.h"
#include "app/AppResources.h"
#include "app/ChaseTableModel.h"
#include "model/ChaseTexts.h"
#include "support/ScriptedSeams.h"
#include "views/DeskLock.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

using namespace orinsub;
using app::ChaseTableModel;
using model::texts::kChasePlaceTaken;

namespace {

class ChaseWindowTest : public orinsub::testing::MainWindowTest
{
protected:
    ChaseWindowTest()
    {
        frame->Command(app::kIdChases)->trigger();
        window = frame->GetChaseWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    const model::ChaseList &Chases() const { return doc.m_extension.chases; }
    void Click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void EditCell(int row, int column, const QString &text)
    {
        orinsub::testing::EditCell(window->ChaseTable(), row, column, text);
    }
    /// The operator's last message, taken so that the next one stands alone.
    QString Told()
    {
        QCoreApplication::processEvents();
        const QString last = questions.texts.value(questions.texts.size() - 1);
        questions.texts.clear();
        return last;
    }
    /// A look with channel n at level.
    static model::ChaseLook Lit(int channel, uint8_t level)
    {
        model::ChaseLook look{};
        look[channel - 1] = level;
        return look;
    }
    std::vector<model::ChaseLook> Steps(int number) const { return Chases().Find(number)->steps; }

    orinsub::testing::ScriptedQuestions questions;
    app::ChaseWindow *window = nullptr;
};

/// A typed cell and what it leaves in the chase, or the chase list's message and no change.
struct TypedCell
{
    int column;
    const char *typed;
    std::function<bool(const model::Chase &)> holds; // null: refused
    QStringView refusal = {};
};

} // namespace

TEST_F(ChaseWindowTest, TypedCellsGoInAsWrittenAndARefusedOneChangesNothing)
{
    Click(window->NewButton());
    Click(window->NewButton());
    ASSERT_EQ(Chases().Count(), 2);
    EXPECT_EQ(window->ChaseTable()->currentIndex().row(), 1) << "the new chase selected";
    EditCell(1, ChaseTableModel::Place, QStringLiteral("1-1"));
    using C = ChaseTableModel;
    using model::Chase;
    namespace t = model::texts;
    const TypedCell cells[] = {
        {C::Name, "流れ", [](const Chase &c) { return c.name == QStringLiteral("流れ"); }},
        {C::Bpm, "128.5", [](const Chase &c) { return c.stepMs == 467; }},
        {C::Bpm, "１２０ BPM", [](const Chase &c) { return c.stepMs == 500; }},
        {C::StepTime, "2 秒", [](const Chase &c) { return c.stepMs == 2000; }},
        {C::StepTime, "0.25", [](const Chase &c) { return c.stepMs == 250; }},
        {C::Crossfade, "50 %", [](const Chase &c) { return c.crossfadePercent == 50; }},
        {C::Place, "２－７",
         [](const Chase &c) {
             return c.place == model::ChasePlace{2, 7};
         }},
        {C::Place, "", [](const Chase &c) { return !c.place.IsSet(); }},
        {C::Bpm, "0", nullptr, t::kChaseStepTimeRange},
        {C::Bpm, "2000", nullptr, t::kChaseStepTimeRange},
        {C::Bpm, "速い", nullptr, t::kChaseStepTimeRange},
        {C::StepTime, "0.01", nullptr, t::kChaseStepTimeRange},
        {C::Crossfade, "150", nullptr, t::kChaseCrossfadeRange},
        {C::Crossfade, "半分", nullptr, t::kChaseCrossfadeRange},
        {C::Place, "21-1", nullptr, t::kChasePlaceRange},
        {C::Place, "3", nullptr, t::kChasePlaceRange},
        {C::Name, "0123456789012345678901234567890123456789012345678901234567890123", nullptr,
         t::kChaseNameTooLong},
    };
    for (const TypedCell &cell : cells) {
        const Chase before = *Chases().Find(1);
        doc.SetModifiedFlag(false);
        EditCell(0, cell.column, QString::fromUtf8(cell.typed));
        const QString told = Told();
        if (cell.holds) {
            EXPECT_TRUE(cell.holds(*Chases().Find(1))) << cell.typed;
            EXPECT_TRUE(told.isEmpty()) << cell.typed << ": " << told.toStdString();
            EXPECT_TRUE(doc.IsModified()) << cell.typed;
        } else {
            EXPECT_EQ(told, cell.refusal.toString()) << cell.typed;
            EXPECT_EQ(*Chases().Find(1), before) << cell.typed;
            EXPECT_FALSE(doc.IsModified()) << cell.typed;
        }
    }
    EditCell(0, C::Place, QStringLiteral("1-1"));
    EXPECT_EQ(Told(), kChasePlaceTaken.toString().arg(1).arg(1).arg(2)) << "one chase a sub";

    // Direction and raising are chosen from their words.
    QAbstractItemModel *table = window->ChaseTable()->model();
    EXPECT_TRUE(table->setData(table->index(0, C::Direction), QStringLiteral("往復")));
    EXPECT_TRUE(table->setData(table->index(0, C::Raise), app::chasewindow::kCarryOn));
    EXPECT_EQ(Chases().Find(1)->direction, model::ChaseDirection::Bounce);
    EXPECT_FALSE(Chases().Find(1)->restartOnRaise);
    EXPECT_EQ(table->index(0, C::Bpm).data().toString(), QStringLiteral("240.0"));
    EXPECT_EQ(table->index(0, C::StepTime).data().toString(), QStringLiteral("0.25"));
}

TEST_F(ChaseWindowTest, StepsAreRecordedFromEachSourceAndKeptInTheOrderChosen)
{
    Dan().MoveFaderTo(1, 0, 200); // row B is on air: the output
    Dan().MoveFaderTo(0, 1, 100);
    doc.GetSubMaster(3, 2)->m_levels[2] = 99;
    const auto output = model::s_channelLevels;
    Click(window->NewButton());
    Click(window->RecordButton());           // 出力
    window->SourceBox()->setCurrentIndex(1); // A段
    Click(window->RecordButton());
    window->SourceBox()->setCurrentIndex(3); // サブマスター 3-2
    window->PageBox()->setValue(3);
    window->SubMasterBox()->setValue(2);
    Click(window->RecordButton());
    EXPECT_EQ(Steps(1), (std::vector{Lit(1, 200), Lit(2, 100), Lit(3, 99)}));
    EXPECT_EQ(model::s_channelLevels, output) << "recording reads the desk only";
    EXPECT_EQ(window->StepTable()->currentIndex().row(), 2) << "the new step selected";
    EXPECT_EQ(window->StepTable()->model()->index(0, 1).data().toString(), QStringLiteral("1:78"));

    Click(window->UpButton());
    EXPECT_EQ(Steps(1), (std::vector{Lit(1, 200), Lit(3, 99), Lit(2, 100)}));
    window->SourceBox()->setCurrentIndex(1);
    Click(window->InsertButton()); // before the selected step, the second
    EXPECT_EQ(Steps(1), (std::vector{Lit(1, 200), Lit(2, 100), Lit(3, 99), Lit(2, 100)}));
    Dan().MoveFaderTo(0, 1, 50);
    Click(window->UpdateButton());
    Click(window->DownButton());
    EXPECT_EQ(Steps(1), (std::vector{Lit(1, 200), Lit(3, 99), Lit(2, 50), Lit(2, 100)}));
    window->StepTable()->setFocus();
    QTest::keyClick(window->StepTable(), Qt::Key_Delete);
    EXPECT_EQ(Steps(1), (std::vector{Lit(1, 200), Lit(3, 99), Lit(2, 100)}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ChaseWindowTest, EveryEditUndoesInTurnAndNeverTheDesksUndo)
{
    Click(window->NewButton());
    EditCell(0, ChaseTableModel::Name, QStringLiteral("波"));
    Click(window->RecordButton());
    EditCell(0, ChaseTableModel::Place, QStringLiteral("1-4"));
    Click(window->NewButton());
    window->ChaseTable()->setFocus();
    QTest::keyClick(window->ChaseTable(), Qt::Key_Delete); // chase 2
    window->ChaseTable()->selectRow(0);
    Click(window->RemoveButton());
    EXPECT_TRUE(Chases().IsEmpty());

    std::vector<model::ChaseList> seen;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        seen.push_back(Chases());
    }
    EXPECT_EQ(seen[0].Find(1)->place, (model::ChasePlace{1, 4})) << "chase 1 back whole";
    EXPECT_EQ(seen[1].Count(), 2) << "chase 2 back";
    EXPECT_EQ(seen[3].Find(1)->steps.size(), 1u);
    EXPECT_FALSE(seen[3].Find(1)->place.IsSet());
    EXPECT_TRUE(seen[4].Find(1)->steps.empty());
    EXPECT_TRUE(seen[5].Find(1)->name.isEmpty());
    EXPECT_TRUE(seen[6].IsEmpty());
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    EXPECT_FALSE(frame->Command(app::kIdEditUndo)->isEnabled());
}

TEST_F(ChaseWindowTest, ALockedOrFollowingDeskShowsTheChasesAndEditsNothing)
{
    Click(window->NewButton());
    Click(window->RecordButton());
    const model::ChaseList before = Chases();
    for (void (*close)(bool) : {&views::SetDeskLocked, &views::SetDeskFollowing}) {
        close(true);
        for (QPushButton *button :
             {window->NewButton(), window->RemoveButton(), window->RecordButton(),
              window->InsertButton(), window->UpdateButton(), window->DeleteButton(),
              window->UndoButton()})
            EXPECT_FALSE(button->isEnabled());
        QTest::keyClick(window->ChaseTable(), Qt::Key_Delete);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        const QModelIndex name = window->ChaseTable()->model()->index(0, ChaseTableModel::Name);
        EXPECT_FALSE(name.flags() & Qt::ItemIsEditable);
        EXPECT_EQ(Chases(), before);
        close(false);
        EXPECT_TRUE(window->NewButton()->isEnabled());
    }
}

TEST_F(ChaseWindowTest, AnotherShowEmptiesTheListsAndTheUndoAndF8OpensItFromEveryWindow)
{
    Click(window->NewButton());
    window->close();
    frame->Command(app::kIdChases)->trigger();
    EXPECT_EQ(frame->GetChaseWindow(), window);
    EXPECT_TRUE(window->UndoButton()->isEnabled()) << "closing only hides the window";
    doc.OnNewDocument();
    frame->OnInitialUpdate();
    EXPECT_EQ(window->ChaseTable()->model()->rowCount(), 0);
    EXPECT_EQ(window->StepTable()->model()->rowCount(), 0);
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    EXPECT_EQ(frame->Command(app::kIdChases)->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(frame->Command(app::kIdChases)->shortcutContext(), Qt::ApplicationShortcut);
    EXPECT_TRUE(window->actions().contains(frame->Command(app::kIdFileSave)));
}
