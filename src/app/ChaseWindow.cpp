#include "ChaseWindow.h"

#include "AppResources.h"
#include "ChaseSpeedStrip.h"
#include "ChaseStepModel.h"
#include "ChaseTableModel.h"
#include "EditorWindowParts.h"
#include "RecordSource.h"
#include "controls/ConsoleLook.h"
#include "controls/QuestionBox.h"
#include "model/OrinSUBDoc.h"
#include "views/DeskWatch.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace orinsub::app {

namespace {

using namespace chasewindow;

// Edits the window can take back; each keeps one chase as it was.
constexpr size_t kUndoDepth = 100;

/// Direction and raise are chosen from their words, the other cells typed.
class ChaseCellDelegate : public TypedOnlyDelegate
{
public:
    using TypedOnlyDelegate::TypedOnlyDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        const QStringList choices = ChaseTableModel::Choices(index.column());
        if (choices.isEmpty())
            return TypedOnlyDelegate::createEditor(parent, option, index);
        auto *box = new QComboBox(parent);
        box->addItems(choices);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            box->setCurrentText(index.data(Qt::EditRole).toString());
        else
            TypedOnlyDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            model->setData(index, box->currentText());
        else
            TypedOnlyDelegate::setModelData(editor, model, index);
    }
};

QTableView *NewList(QAbstractItemModel *model, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setModel(model);
    MakeSpaceGo(table);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    // Dense rows, so that a long list shows many at once.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() +
                                                   cuewindow::kRowPadding);
    return table;
}

} // namespace

ChaseWindow::ChaseWindow(model::COrinSUBDoc &doc, surfaces::Desk &desk, QWidget *parent)
    : QWidget(parent, Qt::Window), m_doc(doc)
{
    setWindowTitle(kChaseWindowTitle);
    setPalette(EditorWindowPalette(palette()));
    setAutoFillBackground(true);
    setFont(controls::ConsoleFont(cuewindow::kPointSize));
    m_chaseModel = new ChaseTableModel(
        doc.m_extension.chases,
        [this](model::Chase chase) {
            // A cell still open when the desk was locked hands in nothing.
            const int number = chase.number;
            return IsShowEditable() && Edit(number, [&chase](model::ChaseList &chases) {
                       return chases.Replace(std::move(chase));
                   });
        },
        this);
    m_stepModel = new ChaseStepModel(doc.m_extension.chases, this);
    BuildControls(desk);
    ConnectControls();
    resize(kWindowWidth, kWindowHeight);
    ShowChanged();
}

ChaseWindow::~ChaseWindow()
{
    views::RemoveDeskListener(this);
}

QComboBox *ChaseWindow::SourceBox() const
{
    return m_recordSource->SourceBox();
}

QSpinBox *ChaseWindow::PageBox() const
{
    return m_recordSource->PageBox();
}

QSpinBox *ChaseWindow::SubMasterBox() const
{
    return m_recordSource->SubMasterBox();
}

void ChaseWindow::BuildControls(surfaces::Desk &desk)
{
    m_strip = new ChaseSpeedStrip(desk, m_doc, this);
    m_chaseTable = NewList(m_chaseModel, this);
    m_chaseTable->setItemDelegate(new ChaseCellDelegate(m_chaseTable));
    m_chaseTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                  QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    // Every column as wide as its title, the name taking what is left.
    m_chaseTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_chaseTable->horizontalHeader()->setSectionResizeMode(ChaseTableModel::Name,
                                                           QHeaderView::Stretch);
    m_new = new QPushButton(kNewButton, this);
    m_remove = new QPushButton(kRemoveButton, this);
    m_undoButton = new QPushButton(kUndoButton, this);

    m_stepsCaption = new QLabel(this);
    m_stepTable = NewList(m_stepModel, this);
    m_stepTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stepTable->horizontalHeader()->setSectionResizeMode(ChaseStepModel::Step,
                                                          QHeaderView::ResizeToContents);
    m_stepTable->horizontalHeader()->setSectionResizeMode(ChaseStepModel::Look,
                                                          QHeaderView::Stretch);
    m_recordSource = std::make_unique<RecordSource>(m_doc, this);
    m_record = new QPushButton(kRecordButton, this);
    m_insert = new QPushButton(kInsertButton, this);
    m_update = new QPushButton(kUpdateButton, this);
    m_delete = new QPushButton(kDeleteButton, this);
    m_up = new QPushButton(kUpButton, this);
    m_down = new QPushButton(kDownButton, this);

    auto *chaseButtons = new QHBoxLayout;
    chaseButtons->addWidget(m_new);
    chaseButtons->addWidget(m_remove);
    chaseButtons->addStretch();
    chaseButtons->addWidget(m_undoButton);

    auto *source = new QHBoxLayout;
    m_recordSource->AddTo(*source);
    source->addStretch();
    auto *stepButtons = new QHBoxLayout;
    for (QPushButton *button : {m_record, m_insert, m_update, m_delete, m_up, m_down})
        stepButtons->addWidget(button);
    stepButtons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_strip);
    layout->addWidget(m_chaseTable, 3);
    layout->addLayout(chaseButtons);
    layout->addWidget(m_stepsCaption);
    layout->addWidget(m_stepTable, 2);
    layout->addLayout(source);
    layout->addLayout(stepButtons);
}

void ChaseWindow::ConnectControls()
{
    connect(m_new, &QPushButton::clicked, this, &ChaseWindow::NewChase);
    connect(m_remove, &QPushButton::clicked, this, &ChaseWindow::RemoveChase);
    connect(m_undoButton, &QPushButton::clicked, this, &ChaseWindow::Undo);
    connect(m_record, &QPushButton::clicked, this, &ChaseWindow::RecordStep);
    connect(m_insert, &QPushButton::clicked, this, &ChaseWindow::InsertStep);
    connect(m_update, &QPushButton::clicked, this, &ChaseWindow::UpdateStep);
    connect(m_delete, &QPushButton::clicked, this, &ChaseWindow::DeleteStep);
    connect(m_up, &QPushButton::clicked, this, [this] { MoveStep(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveStep(1); });
    connect(m_chaseTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ChaseWindow::ShowSteps);
    connect(m_stepTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ChaseWindow::EnableButtons);

    AddKey(m_chaseTable, Qt::Key_Delete, Qt::WidgetShortcut, [this] { RemoveChase(); });
    AddKey(m_stepTable, Qt::Key_Delete, Qt::WidgetShortcut, [this] { DeleteStep(); });
    AddKey(this, Qt::Key_Insert, Qt::WindowShortcut, [this] { InsertStep(); });
    AddKey(this, QKeySequence::Undo, Qt::WindowShortcut, [this] { Undo(); });
    views::SetDeskListener(this, [this] { FollowDesk(); });
}

void ChaseWindow::ShowChanged()
{
    m_undo.clear();
    Refresh(0, 0);
}

void ChaseWindow::FollowDesk()
{
    if (IsShowEditable() != m_editable)
        EnableButtons();
}

void ChaseWindow::NewChase()
{
    if (!IsShowEditable())
        return;
    const int number = m_doc.m_extension.chases.FreeNumber();
    if (number == 0) {
        controls::Questions().Warn(this, kListFull, kChaseWindowTitle);
        return;
    }
    Edit(
        number,
        [number](model::ChaseList &chases) {
            model::Chase chase;
            chase.number = number;
            return chases.Add(std::move(chase));
        },
        0);
    m_chaseTable->setFocus();
}

void ChaseWindow::RemoveChase()
{
    const model::Chase *selected = SelectedChase();
    if (!selected || !IsShowEditable())
        return;
    const int number = selected->number;
    Edit(number, [number](model::ChaseList &chases) { return chases.Remove(number); });
}

void ChaseWindow::RecordStep()
{
    const model::Chase *selected = SelectedChase();
    if (!selected)
        return;
    const int end = static_cast<int>(selected->steps.size());
    EditSteps([look = m_recordSource->LookNow()](auto &steps) { steps.push_back(look); }, end);
}

void ChaseWindow::InsertStep()
{
    const int row = SelectedStep();
    if (row < 0)
        return;
    EditSteps([row, look = m_recordSource->LookNow()](
                  auto &steps) { steps.insert(steps.begin() + row, look); },
              row);
}

void ChaseWindow::UpdateStep()
{
    const int row = SelectedStep();
    if (row < 0)
        return;
    EditSteps([row, look = m_recordSource->LookNow()](auto &steps) { steps[row] = look; }, row);
}

void ChaseWindow::DeleteStep()
{
    const int row = SelectedStep();
    if (row < 0)
        return;
    EditSteps([row](auto &steps) { steps.erase(steps.begin() + row); }, row);
}

void ChaseWindow::MoveStep(int by)
{
    const model::Chase *selected = SelectedChase();
    const int row = SelectedStep();
    const int to = row + by;
    if (!selected || row < 0 || to < 0 || to >= static_cast<int>(selected->steps.size()))
        return;
    EditSteps([row, to](auto &steps) { std::swap(steps[row], steps[to]); }, to);
}

void ChaseWindow::Undo()
{
    if (m_undo.empty() || !IsShowEditable())
        return;
    UndoStep last = std::move(m_undo.back());
    m_undo.pop_back();
    model::ChaseList chases = m_doc.m_extension.chases;
    // Each edit changed one chase, and the edits are taken back latest first: the chase goes
    // back exactly as it was, its place free again.
    if (!last.before)
        chases.Remove(last.number);
    else if (chases.Find(last.number))
        chases.Replace(std::move(*last.before));
    else
        chases.Add(std::move(*last.before));
    Store(std::move(chases));
    Refresh(last.number);
}

bool ChaseWindow::Edit(int number, const ChaseEditFunction &edit, int stepRow)
{
    model::ChaseList chases = m_doc.m_extension.chases;
    const model::ChaseEdit result = edit(chases);
    if (!result.IsOk()) {
        WarnLater(this, result.error, kChaseWindowTitle);
        return false;
    }
    if (chases != m_doc.m_extension.chases) {
        const model::Chase *before = m_doc.m_extension.chases.Find(number);
        m_undo.push_back({number, before ? std::optional(*before) : std::nullopt});
        if (m_undo.size() > kUndoDepth)
            m_undo.erase(m_undo.begin());
        Store(std::move(chases));
    }
    Refresh(number, stepRow);
    return true;
}

bool ChaseWindow::EditSteps(const StepEditFunction &edit, int stepRow)
{
    const model::Chase *selected = SelectedChase();
    if (!selected || !IsShowEditable())
        return false;
    model::Chase chase = *selected;
    edit(chase.steps);
    const int number = chase.number;
    return Edit(
        number, [&chase](model::ChaseList &chases) { return chases.Replace(std::move(chase)); },
        stepRow);
}

void ChaseWindow::Store(model::ChaseList chases)
{
    if (chases == m_doc.m_extension.chases)
        return;
    m_doc.m_extension.chases = std::move(chases);
    m_doc.SetModifiedFlag(true);
    if (m_onEdit)
        m_onEdit();
}

const model::Chase *ChaseWindow::SelectedChase() const
{
    const QModelIndexList rows = m_chaseTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : m_chaseModel->ChaseAt(rows.first().row());
}

int ChaseWindow::SelectedStep() const
{
    const QModelIndexList rows = m_stepTable->selectionModel()->selectedRows();
    return rows.isEmpty() || !SelectedChase() ? -1 : rows.first().row();
}

void ChaseWindow::Refresh(int number, int stepRow)
{
    const int keptStep = stepRow >= 0 ? stepRow : SelectedStep();
    m_chaseModel->Reload();
    SelectNumbered(m_chaseTable, m_doc.m_extension.chases.Chases(), number);
    ShowSteps();
    const int steps = m_stepModel->rowCount();
    if (steps > 0) {
        const int row = std::clamp(keptStep, 0, steps - 1);
        m_stepTable->selectRow(row);
        m_stepTable->scrollTo(m_stepModel->index(row, 0));
    }
    EnableButtons();
}

void ChaseWindow::ShowSteps()
{
    const model::Chase *chase = SelectedChase();
    const int number = chase ? chase->number : 0;
    const bool another = number != m_stepModel->ShownChase();
    m_stepModel->Show(number);
    m_stepsCaption->setText(number > 0 ? kStepsCaption.arg(number) : kStepColumn);
    if (another && m_stepModel->rowCount() > 0)
        m_stepTable->selectRow(0);
    EnableButtons();
}

void ChaseWindow::EnableButtons()
{
    m_editable = IsShowEditable();
    const model::Chase *chase = m_editable ? SelectedChase() : nullptr;
    const int step = chase ? SelectedStep() : -1;
    const int steps = chase ? static_cast<int>(chase->steps.size()) : 0;
    m_new->setEnabled(m_editable);
    m_remove->setEnabled(chase != nullptr);
    m_undoButton->setEnabled(m_editable && !m_undo.empty());
    m_record->setEnabled(chase != nullptr);
    for (QPushButton *button : {m_insert, m_update, m_delete})
        button->setEnabled(step >= 0);
    m_up->setEnabled(step > 0);
    m_down->setEnabled(step >= 0 && step + 1 < steps);
}

} // namespace orinsub::app
