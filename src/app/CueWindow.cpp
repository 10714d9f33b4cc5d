#include "CueWindow.h"

#include "AppResources.h"
#include "CueLevelsModel.h"
#include "CueTableModel.h"
#include "EditorWindowParts.h"
#include "controls/ConsoleLook.h"
#include "controls/QuestionBox.h"
#include "model/OrinSUBDoc.h"
#include "views/CuePlayback.h"
#include "views/DeskWatch.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace orinsub::app {

namespace {

using namespace cuewindow;

// Edits the window can take back, each holding the whole list as it was.
constexpr size_t kUndoDepth = 100;

} // namespace

CueWindow::CueWindow(model::COrinSUBDoc &doc, QWidget *parent)
    : QWidget(parent, Qt::Window), m_doc(doc)
{
    setWindowTitle(kCueWindowTitle);
    setPalette(EditorWindowPalette(palette()));
    setAutoFillBackground(true);
    setFont(controls::ConsoleFont(kPointSize));
    m_model = new CueTableModel(
        doc.m_extension.cues,
        [this](model::Cue cue) {
            // A cell still open when the desk was locked hands in nothing.
            return IsEditable() &&
                   Edit([&cue](model::CueList &cues) { return cues.Replace(std::move(cue)); });
        },
        this);
    BuildControls();
    ConnectControls();
    resize(kWindowWidth, kWindowHeight);
    ShowChanged();
}

CueWindow::~CueWindow()
{
    views::RemoveDeskListener(this);
}

void CueWindow::SetPlayback(const views::CuePlayback *playback)
{
    m_playback = playback;
    FollowDesk();
}

bool CueWindow::IsEditable() const
{
    return IsShowEditable();
}

void CueWindow::FollowDesk()
{
    m_model->SetMarks(m_playback ? m_playback->GetCurrentCue() : 0,
                      m_playback ? m_playback->GetNextCue() : 0);
    const bool editable = IsEditable();
    if (editable != m_number->isEnabled()) {
        m_number->setEnabled(editable);
        m_record->setEnabled(editable);
        EnableButtons();
    }
}

void CueWindow::BuildControls()
{
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new TypedOnlyDelegate(m_table));
    MakeSpaceGo(m_table);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    // Dense rows, so that a long list shows many cues at once.
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    QHeaderView *header = m_table->horizontalHeader();
    for (int column = CueTableModel::Number; column < CueTableModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, kTimeColumnWidth);
    header->setSectionResizeMode(CueTableModel::Label, QHeaderView::Stretch);

    m_recordSource = std::make_unique<RecordSource>(m_doc, this);
    m_number = new QLineEdit(this);
    m_number->setMaximumWidth(kTimeColumnWidth);
    m_record = new QPushButton(kRecordButton, this);
    m_update = new QPushButton(kUpdateButton, this);
    m_insert = new QPushButton(kInsertButton, this);
    m_delete = new QPushButton(kDeleteButton, this);
    m_renumber = new QPushButton(kRenumberButton, this);
    m_undoButton = new QPushButton(kUndoButton, this);

    auto *record = new QHBoxLayout;
    m_recordSource->AddTo(*record);
    record->addStretch();
    record->addWidget(new QLabel(kCueNumberLabel, this));
    record->addWidget(m_number);
    record->addWidget(m_record);
    record->addWidget(m_update);

    auto *edit = new QHBoxLayout;
    edit->addWidget(m_insert);
    edit->addWidget(m_delete);
    edit->addWidget(m_renumber);
    edit->addStretch();
    edit->addWidget(m_undoButton);

    m_levels = new CueLevelsModel(
        m_doc,
        [this](int number, int channel, std::optional<uint8_t> level) {
            return Edit([&](model::CueList &cues) {
                const model::Cue *cue = cues.Find(number);
                if (!level || !cue)
                    return model::CueEdit{kLevelTyping, number};
                model::Cue changed = *cue;
                changed.look[channel - 1] = *level;
                return cues.Replace(std::move(changed));
            });
        },
        this);
    m_levelTable = new QTableView(this);
    m_levelTable->setModel(m_levels);
    m_levelTable->setItemDelegate(new TypedOnlyDelegate(m_levelTable));
    m_levelTable->verticalHeader()->hide();
    m_levelTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    m_levelTable->horizontalHeader()->setSectionResizeMode(CueLevelsModel::Name,
                                                           QHeaderView::Stretch);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_table, 3);
    lists->addWidget(m_levelTable, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(record);
    layout->addLayout(edit);
    setTabOrder(m_number, m_record);
    m_number->setFocus();
}

void CueWindow::ConnectControls()
{
    connect(m_number, &QLineEdit::returnPressed, this, &CueWindow::Record);
    connect(m_record, &QPushButton::clicked, this, &CueWindow::Record);
    connect(m_update, &QPushButton::clicked, this, &CueWindow::Update);
    connect(m_insert, &QPushButton::clicked, this, &CueWindow::Insert);
    connect(m_delete, &QPushButton::clicked, this, &CueWindow::Delete);
    connect(m_renumber, &QPushButton::clicked, this, &CueWindow::Renumber);
    connect(m_undoButton, &QPushButton::clicked, this, &CueWindow::Undo);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CueWindow::EnableButtons);

    // An open cell editor keeps Delete and Ctrl+Z for its own text.
    AddKey(m_table, Qt::Key_Delete, Qt::WidgetShortcut, [this] { Delete(); });
    AddKey(this, Qt::Key_Insert, Qt::WindowShortcut, [this] { Insert(); });
    AddKey(this, QKeySequence::Undo, Qt::WindowShortcut, [this] { Undo(); });
    views::SetDeskListener(this, [this] { FollowDesk(); });
}

void CueWindow::ShowChanged()
{
    m_undo.clear();
    Refresh(0);
    SuggestNextNumber();
}

void CueWindow::Record()
{
    if (!IsEditable())
        return;
    // A text that is no number goes in as -1, so that the list's range message answers it.
    const int number = model::ParseTenths(m_number->text()).value_or(-1);
    if (m_doc.m_extension.cues.Find(number)) {
        if (controls::Questions().AskOkCancel(
                this, kUpdateExistingQuestion.arg(model::CueNumberText(number)), kCueWindowTitle))
            UpdateCue(number);
        return;
    }
    if (Edit([&](model::CueList &cues) { return cues.Add(NewCue(number)); }))
        SuggestNextNumber();
}

void CueWindow::Update()
{
    if (const model::Cue *selected = SelectedCue())
        UpdateCue(selected->number);
}

void CueWindow::UpdateCue(int number)
{
    const model::Cue *existing = IsEditable() ? m_doc.m_extension.cues.Find(number) : nullptr;
    if (!existing)
        return;
    model::Cue cue = *existing;
    cue.look = m_recordSource->LookNow();
    Edit([&](model::CueList &cues) { return cues.Replace(std::move(cue)); });
}

void CueWindow::Insert()
{
    const model::Cue *selected = SelectedCue();
    if (!selected || !IsEditable())
        return;
    const int after = selected->number;
    Edit([&](model::CueList &cues) { return cues.Insert(after, NewCue(0)); });
}

void CueWindow::Delete()
{
    const model::Cue *selected = SelectedCue();
    if (!selected || !IsEditable())
        return;
    const int number = selected->number;
    Edit([number](model::CueList &cues) { return cues.Remove(number); });
}

void CueWindow::Renumber()
{
    if (m_doc.m_extension.cues.IsEmpty() || !IsEditable() ||
        !controls::Questions().AskOkCancel(this, kRenumberQuestion, kRenumberCaption))
        return;
    const int row = std::max(SelectedRow(), 0);
    Edit([row](model::CueList &cues) {
        cues.Renumber();
        return model::CueEdit{{}, (row + 1) * 10}; // the same cue stays selected
    });
}

void CueWindow::Undo()
{
    if (m_undo.empty() || !IsEditable())
        return;
    model::CueList before = std::move(m_undo.back());
    m_undo.pop_back();
    const model::Cue *selected = SelectedCue();
    const int number = selected ? selected->number : 0;
    m_doc.EditCues([&before](model::CueList &cues) {
        cues = std::move(before);
        return model::CueEdit{};
    });
    Refresh(number);
}

bool CueWindow::Edit(const CueEditFunction &edit)
{
    model::CueList before = m_doc.m_extension.cues;
    const model::CueEdit result = m_doc.EditCues(edit);
    if (!result.IsOk()) {
        WarnLater(this, result.error, kCueWindowTitle);
        return false;
    }
    if (before != m_doc.m_extension.cues) {
        m_undo.push_back(std::move(before));
        if (m_undo.size() > kUndoDepth)
            m_undo.erase(m_undo.begin());
    }
    Refresh(result.number);
    return true;
}

model::Cue CueWindow::NewCue(int number) const
{
    model::Cue cue;
    cue.number = number;
    cue.look = m_recordSource->LookNow();
    cue.upTime = cue.downTime = m_doc.m_extension.fadeTime;
    return cue;
}

int CueWindow::SelectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

const model::Cue *CueWindow::SelectedCue() const
{
    return m_model->CueAt(SelectedRow());
}

void CueWindow::Refresh(int number)
{
    m_model->Reload();
    SelectNumbered(m_table, m_doc.m_extension.cues.Cues(), number);
    EnableButtons();
}

void CueWindow::SuggestNextNumber()
{
    const model::CueList &cues = m_doc.m_extension.cues;
    const int next =
        cues.IsEmpty() ? model::kMinCueNumber : (cues.Cues().back().number / 10 + 1) * 10;
    m_number->setText(next <= model::kMaxCueNumber ? model::CueNumberText(next) : QString());
}

void CueWindow::EnableButtons()
{
    const bool editable = IsEditable();
    const bool selected = editable && SelectedCue() != nullptr;
    for (QPushButton *button : {m_update, m_insert, m_delete})
        button->setEnabled(selected);
    m_renumber->setEnabled(editable && !m_doc.m_extension.cues.IsEmpty());
    m_undoButton->setEnabled(editable && !m_undo.empty());
    const model::Cue *cue = SelectedCue();
    m_levels->Show(cue ? cue->number : 0, editable);
}

} // namespace orinsub::app
