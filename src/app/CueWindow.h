#pragma once

#include "RecordSource.h"
#include "model/CueList.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace orinsub::model {
class COrinSUBDoc;
}
namespace orinsub::views {
class CuePlayback;
}

namespace orinsub::app {

class CueLevelsModel;
class CueTableModel;

/// "キューリスト": the show's cues in a table, and the controls that record and edit them.
///
/// 記録 records a new cue numbered as typed under キュー番号 (which then suggests the next whole
/// number) with the look of the chosen source: the output as it is now under the masters (before
/// the grand master, blackout, flash and solo), row A's or row B's faders, or a sub-master's
/// levels for channels 1..80; its up and down times are the show's fade time. A number that is
/// taken offers to update that cue instead. 更新 gives the selected cue that look instead; 挿入
/// records a new cue right after the selected one, numbered between it and the next; 削除 deletes
/// the selected cue; 番号を振り直す numbers the cues 1, 2, 3... after the operator's OK. Labels and
/// times are edited in the table. Every edit that cannot be made is refused with the cue list's
/// message and changes nothing; 元に戻す takes back the edits one by one (this window's own undo,
/// never the desk's). Recording only reads the desk.
///
/// Keys: Enter in キュー番号 records; F2, a double click or typing a character edits a cell,
/// Enter keeps the edit and Esc drops it, and a cell keeps its text unless something was typed;
/// Space in the table is GO, as on the desk; Delete deletes the selected cue (in the table),
/// Insert inserts after it, Ctrl+Z undoes; Alt with the underlined letter presses a button.
///
/// The table marks the cue on stage and the one GO plays next. While the desk is locked, or
/// follows another console, the window shows the list and edits nothing. UI thread only; the show
/// must outlive the window.
class CueWindow : public QWidget
{
public:
    explicit CueWindow(model::COrinSUBDoc &doc, QWidget *parent = nullptr);
    ~CueWindow() override;

    /// After New or Open: the table shows the show's cues, and the undo forgets the edits of
    /// the show before.
    void ShowChanged();
    /// Where the cue list stands, for the table's marks (not owned; null for none).
    void SetPlayback(const views::CuePlayback *playback);

    QTableView *Table() const { return m_table; }
    /// The selected cue's levels, edited blind.
    QTableView *LevelTable() const { return m_levelTable; }
    QComboBox *SourceBox() const { return m_recordSource->SourceBox(); }
    QSpinBox *PageBox() const { return m_recordSource->PageBox(); }
    QSpinBox *SubMasterBox() const { return m_recordSource->SubMasterBox(); }
    QLineEdit *NumberBox() const { return m_number; }
    QPushButton *RecordButton() const { return m_record; }
    QPushButton *UpdateButton() const { return m_update; }
    QPushButton *InsertButton() const { return m_insert; }
    QPushButton *DeleteButton() const { return m_delete; }
    QPushButton *RenumberButton() const { return m_renumber; }
    QPushButton *UndoButton() const { return m_undoButton; }

private:
    using CueEditFunction = std::function<model::CueEdit(model::CueList &)>;

    void BuildControls();
    void ConnectControls();
    void Record();
    void Update();
    /// Gives cue number the look of the chosen source.
    void UpdateCue(int number);
    void Insert();
    void Delete();
    void Renumber();
    void Undo();
    /// Makes one edit of the show's cue list: on success it can be undone and the table selects
    /// the cue the edit names; otherwise the operator is told why.
    bool Edit(const CueEditFunction &edit);
    /// A cue with the source's look and the show's fade time up and down.
    model::Cue NewCue(int number) const;
    /// The selected row, or -1.
    int SelectedRow() const;
    /// The selected cue, or null.
    const model::Cue *SelectedCue() const;
    /// Shows the list again with the cue numbered number selected, or the first one after it
    /// (the last when none is), and the buttons that can act.
    void Refresh(int number);
    void SuggestNextNumber();
    void EnableButtons();
    /// The desk changed: the marks and, with the lock, what can be edited.
    void FollowDesk();
    /// No edit while the desk is locked or follows another console.
    bool IsEditable() const;

    model::COrinSUBDoc &m_doc;
    CueTableModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    CueLevelsModel *m_levels = nullptr;
    QTableView *m_levelTable = nullptr;
    std::unique_ptr<RecordSource> m_recordSource; // made after the table: the tab order
    QLineEdit *m_number = nullptr;
    QPushButton *m_record = nullptr;
    QPushButton *m_update = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_renumber = nullptr;
    QPushButton *m_undoButton = nullptr;
    std::vector<model::CueList> m_undo; // the list before each edit, the latest last
    const views::CuePlayback *m_playback = nullptr;
};

} // namespace orinsub::app
