#pragma once

#include <QAbstractTableModel>

namespace orinsub::patch {

/// The 512 dimmers as rows: number, the channel that drives it, its curve, the switch's
/// threshold and the top limit, read from the show in model::g_orin.m_pDoc (empty without one).
class DimmerCurveTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Dimmer, Channel, Curve, Threshold, Limit, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// The show changed: every row is read again.
    void Reload();
};

} // namespace orinsub::patch
