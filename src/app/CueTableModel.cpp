#include "CueTableModel.h"

#include "AppResources.h"
#include "EditorWindowParts.h"

namespace orinsub::app {

namespace {

/// What the operator typed, in tenths. A text that is no time goes in as -1, so that the cue
/// list's own range message, which names the forms, answers it.
int TypedTenths(const QVariant &value)
{
    return model::ParseTime(value.toString()).value_or(-1);
}

} // namespace

CueTableModel::CueTableModel(const model::CueList &cues, Replace replace, QObject *parent)
    : QAbstractTableModel(parent), m_cues(cues), m_replace(std::move(replace)),
      m_shownCount(cues.Count())
{
}

void CueTableModel::Reload()
{
    // As many rows as before: their values changed, which an open editor survives.
    if (m_cues.Count() == m_shownCount) {
        if (m_shownCount > 0)
            emit dataChanged(index(0, 0), index(m_shownCount - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_shownCount = m_cues.Count();
    endResetModel();
}

const model::Cue *CueTableModel::CueAt(int row) const
{
    return row >= 0 && row < m_shownCount && row < m_cues.Count() ? &m_cues.Cues()[row] : nullptr;
}

void CueTableModel::SetMarks(int onStage, int next)
{
    if (onStage == m_onStage && next == m_next)
        return;
    m_onStage = onStage;
    m_next = next;
    if (m_shownCount > 0)
        emit dataChanged(index(0, 0), index(m_shownCount - 1, ColumnCount - 1),
                         {Qt::BackgroundRole, Qt::ForegroundRole});
}

int CueTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownCount;
}

int CueTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CueTableModel::data(const QModelIndex &index, int role) const
{
    const model::Cue *cue = CueAt(index.row());
    if (!cue)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Label ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole)
        return cue->number == m_onStage ? QVariant(cuewindow::kOnStage) : QVariant();
    if (role == Qt::ForegroundRole)
        return cue->number == m_next ? QVariant(cuewindow::kNextCue) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Number:
        return model::CueNumberText(cue->number);
    case Label:
        return cue->label;
    case Up:
        return model::TimeText(cue->upTime);
    case Down:
        return model::TimeText(cue->downTime);
    case Delay:
        return model::TimeText(cue->delay);
    case Follow:
        return cue->follow ? model::TimeText(*cue->follow) : QString();
    default:
        return {};
    }
}

QVariant CueTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    using namespace cuewindow;
    const QString titles[ColumnCount] = {kNumberColumn, kLabelColumn, kUpColumn,
                                         kDownColumn,   kDelayColumn, kFollowColumn};
    return section >= 0 && section < ColumnCount ? titles[section] : QVariant();
}

Qt::ItemFlags CueTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool editable = index.isValid() && index.column() != Number && IsShowEditable();
    return editable ? flags | Qt::ItemIsEditable : flags;
}

bool CueTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const model::Cue *shown = CueAt(index.row());
    if (!shown || role != Qt::EditRole)
        return false;
    // Nothing typed over what was there: no edit, and no change to the show.
    if (value.toString() == data(index, Qt::EditRole).toString())
        return false;
    model::Cue cue = *shown;
    switch (index.column()) {
    case Label:
        cue.label = value.toString();
        break;
    case Up:
        cue.upTime = TypedTenths(value);
        break;
    case Down:
        cue.downTime = TypedTenths(value);
        break;
    case Delay:
        cue.delay = TypedTenths(value);
        break;
    case Follow:
        // Blank means no follow.
        if (value.toString().trimmed().isEmpty())
            cue.follow.reset();
        else
            cue.follow = TypedTenths(value);
        break;
    default:
        return false;
    }
    return m_replace(std::move(cue));
}

} // namespace orinsub::app
