#include "CueLevelsModel.h"

#include "AppResources.h"
#include "model/LevelPercent.h"
#include "model/OrinSUBDoc.h"

#include <QBrush>
#include <cmath>

namespace orinsub::app {

using namespace cuewindow;

namespace {

QString PercentText(uint8_t level)
{
    const int percent = model::LevelPercent(level);
    return percent == 100 ? QStringLiteral("FF") : QString::number(percent); // as the readouts
}

} // namespace

CueLevelsModel::CueLevelsModel(const model::COrinSUBDoc &doc, SetLevel setLevel, QObject *parent)
    : QAbstractTableModel(parent), m_doc(doc), m_setLevel(std::move(setLevel))
{
}

void CueLevelsModel::Show(int number, bool editable)
{
    beginResetModel();
    m_number = number;
    m_editable = editable;
    endResetModel();
}

std::optional<uint8_t> CueLevelsModel::ParseLevel(const QString &typed)
{
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed().toUpper();
    if (text == u"FL" || text == u"FF")
        return 255;
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (!ok || percent < 0 || percent > 100)
        return std::nullopt;
    // The lowest level that reads percent: what the operator typed reads back the same.
    return static_cast<uint8_t>(std::ceil(percent * 255 / 100.0));
}

int CueLevelsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_doc.m_extension.cues.Find(m_number) == nullptr
               ? 0
               : model::kConsoleChannels;
}

int CueLevelsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CueLevelsModel::data(const QModelIndex &index, int role) const
{
    const model::CueList &cues = m_doc.m_extension.cues;
    const model::Cue *cue = cues.Find(m_number);
    if (!cue || !index.isValid())
        return {};
    const int channel = index.row() + 1;
    const model::Cue *before = cues.Before(m_number);
    const uint8_t level = cue->look[channel - 1];
    const bool changed = before && before->look[channel - 1] != level;
    if (role == Qt::BackgroundRole)
        return changed && index.column() == Level ? QBrush(kChangedLevel) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Channel:
        return channel;
    case Name:
        return m_doc.Channel(channel - 1).m_name;
    case Level:
        return PercentText(level);
    case Before:
        return before ? PercentText(before->look[channel - 1]) : QString();
    }
    return {};
}

QVariant CueLevelsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QString captions[ColumnCount] = {kChannelColumn, kNameColumn, kLevelColumn,
                                           kBeforeColumn};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return captions[section];
}

Qt::ItemFlags CueLevelsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable && index.column() == Level)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CueLevelsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != Level || !m_editable)
        return false;
    return m_setLevel(m_number, index.row() + 1, ParseLevel(value.toString()));
}

} // namespace orinsub::app
