#pragma once

#include "model/CueList.h"

#include <QAbstractTableModel>
#include <functional>

namespace orinsub::app {

/// The show's cue list as the cue window's table shows it: one row per cue in number order,
/// columns number, label, up, down, delay and follow ("2.5", "1:30.0" from a minute on; follow
/// blank when there is none). Every column but the number is editable; an edit goes as a whole cue
/// to the replace function, which makes it (true) or tells the operator why not (false).
class CueTableModel : public QAbstractTableModel
{
public:
    enum Column { Number, Label, Up, Down, Delay, Follow, ColumnCount };
    using Replace = std::function<bool(model::Cue)>;

    CueTableModel(const model::CueList &cues, Replace replace, QObject *parent = nullptr);

    /// Shows the list again after it changed (call it after every change).
    void Reload();
    /// The cue of a row, or null.
    const model::Cue *CueAt(int row) const;
    /// Marks the cue on stage and the one GO plays next (numbers in tenths, 0 for none).
    void SetMarks(int onStage, int next);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    const model::CueList &m_cues;
    Replace m_replace;
    int m_shownCount; // rows the views know of
    int m_onStage = 0;
    int m_next = 0;
};

} // namespace orinsub::app
