#pragma once

#include "model/Chase.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace orinsub::model {
class COrinSUBDoc;
}
namespace orinsub::surfaces {
class Desk;
}

namespace orinsub::app {

class ChaseSpeedStrip;
class ChaseStepModel;
class ChaseTableModel;
class RecordSource;

/// "チェイス": the running chases' speeds (ChaseSpeedStrip) over the show's chases in a list,
/// the selected chase's steps under it with the controls that record and order them.
///
/// 新規 makes a chase of the lowest free number (no steps, 120 BPM, no crossfade, forward,
/// restarting from step 1, on no sub-master); チェイスを削除 deletes the selected one. Name,
/// BPM or step time, crossfade, direction, what raising its fader does and the sub-master it
/// is put on (割り付け) are edited in the list. 記録 adds a step at the end with the look of the
/// 記録元 (as the cue window records a cue), 挿入 records one before the selected step, 更新
/// gives the selected step that look, 削除 deletes it, 上へ and 下へ move it. Every edit that
/// cannot be made is refused with the chase list's message and changes nothing; 元に戻す takes
/// back the edits one by one (this window's own undo). Recording only reads the desk.
///
/// Keys: F2, a double click or typing a character edits a cell, Enter keeps the edit and Esc
/// drops it; Space in a list is GO, as on the desk; Delete deletes the selected chase (in the
/// list of chases) or step (in the steps), Insert inserts a step, Ctrl+Z undoes; Alt with the
/// underlined letter presses a button.
///
/// While the desk is locked, or follows another console, the window shows the chases and edits
/// nothing. UI thread only; the show must outlive the window.
class ChaseWindow : public QWidget
{
public:
    /// desk: what the running chases' TAP, speed wheel and step play.
    ChaseWindow(model::COrinSUBDoc &doc, surfaces::Desk &desk, QWidget *parent = nullptr);
    ~ChaseWindow() override;

    /// After New or Open: the lists show the show's chases, and the undo forgets the edits of
    /// the show before.
    void ShowChanged();
    /// Told after every change the window makes to the show's chases.
    void SetEditListener(std::function<void()> listener) { m_onEdit = std::move(listener); }

    ChaseSpeedStrip *SpeedStrip() const { return m_strip; }
    QTableView *ChaseTable() const { return m_chaseTable; }
    QTableView *StepTable() const { return m_stepTable; }
    QComboBox *SourceBox() const;
    QSpinBox *PageBox() const;
    QSpinBox *SubMasterBox() const;
    QPushButton *NewButton() const { return m_new; }
    QPushButton *RemoveButton() const { return m_remove; }
    QPushButton *UndoButton() const { return m_undoButton; }
    QPushButton *RecordButton() const { return m_record; }
    QPushButton *InsertButton() const { return m_insert; }
    QPushButton *UpdateButton() const { return m_update; }
    QPushButton *DeleteButton() const { return m_delete; }
    QPushButton *UpButton() const { return m_up; }
    QPushButton *DownButton() const { return m_down; }

private:
    using ChaseEditFunction = std::function<model::ChaseEdit(model::ChaseList &)>;
    using StepEditFunction = std::function<void(std::vector<model::ChaseLook> &steps)>;

    /// What an edit changed, for 元に戻す: the chase of that number as it was before (none: the
    /// edit made it).
    struct UndoStep
    {
        int number = 0;
        std::optional<model::Chase> before;
    };

    void BuildControls(surfaces::Desk &desk);
    void ConnectControls();
    void NewChase();
    void RemoveChase();
    void RecordStep();
    void InsertStep();
    void UpdateStep();
    void DeleteStep();
    void MoveStep(int by);
    void Undo();
    /// Makes one edit of the show's chase list that changes chase number (or makes it): on
    /// success it can be undone, and the lists select that chase and step row stepRow (-1: the
    /// one selected stays). Otherwise the operator is told why.
    bool Edit(int number, const ChaseEditFunction &edit, int stepRow = -1);
    /// Edits the selected chase's steps; stepRow as for Edit.
    bool EditSteps(const StepEditFunction &edit, int stepRow);
    /// Puts chases into the show when they differ, marking it modified.
    void Store(model::ChaseList chases);
    const model::Chase *SelectedChase() const;
    /// The selected step's row, or -1.
    int SelectedStep() const;
    /// Shows the lists again with chase number selected (or the first after it, the last when
    /// none is) and step row stepRow of it (-1: as it was, clamped to the steps there are).
    void Refresh(int number, int stepRow = -1);
    void ShowSteps();
    void EnableButtons();
    /// The desk changed: with the lock, what can be edited.
    void FollowDesk();

    model::COrinSUBDoc &m_doc;
    ChaseSpeedStrip *m_strip = nullptr;
    ChaseTableModel *m_chaseModel = nullptr;
    ChaseStepModel *m_stepModel = nullptr;
    QTableView *m_chaseTable = nullptr;
    QTableView *m_stepTable = nullptr;
    QLabel *m_stepsCaption = nullptr;
    std::unique_ptr<RecordSource> m_recordSource;
    QPushButton *m_new = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_undoButton = nullptr;
    QPushButton *m_record = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_update = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    std::vector<UndoStep> m_undo; // the latest last
    std::function<void()> m_onEdit;
    bool m_editable = true;
};

} // namespace orinsub::app
