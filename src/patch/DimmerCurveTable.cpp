#include "DimmerCurveTable.h"

#include "PatchLook.h"
#include "model/OrinGlobal.h"
#include "model/OrinSUBDoc.h"

namespace orinsub::patch {

using model::g_orin;

int DimmerCurveTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !g_orin.m_pDoc ? 0 : model::kDimmers;
}

int DimmerCurveTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DimmerCurveTable::data(const QModelIndex &index, int role) const
{
    const model::COrinSUBDoc *doc = g_orin.m_pDoc;
    if (!doc || !index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Curve ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const int dimmer = index.row() + 1;
    const model::DimmerCurve curve = doc->m_extension.CurveOf(dimmer);
    switch (index.column()) {
    case Dimmer:
        return dimmer;
    case Channel: {
        const int channel = doc->FindChannelOfDimmer(dimmer);
        if (channel < 0 || channel >= model::kConsoleChannels)
            return QString::fromUtf8(kSpareChannelLabel);
        const QString name = doc->Channel(channel).m_name;
        return name.isEmpty() ? QString::number(channel + 1)
                              : QStringLiteral("%1 %2").arg(channel + 1).arg(name);
    }
    case Curve:
        return model::CurveKindName(curve.kind);
    case Threshold:
        return curve.kind == model::CurveKind::Switch
                   ? QVariant(QStringLiteral("%1 %").arg(curve.thresholdPercent))
                   : QVariant();
    case Limit:
        return QStringLiteral("%1 %").arg(curve.limitPercent);
    }
    return {};
}

QVariant DimmerCurveTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const kCaptions[ColumnCount] = {kCurveDimmerColumn, kCurveChannelColumn,
                                                       kCurveKindColumn, kCurveThresholdColumn,
                                                       kCurveLimitColumn};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromUtf8(kCaptions[section]);
}

void DimmerCurveTable::Reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace orinsub::patch
