#pragma once

#include "model/Chase.h"

#include <QAbstractTableModel>
#include <functional>
#include <optional>

namespace orinsub::app {

/// The show's chases as the chase window's list shows them: one row per chase in number order,
/// columns number, name, steps, BPM, step time in seconds, crossfade in percent, direction
/// (順方向, 逆方向, 往復, ランダム), what raising its fader does (最初から, 続きから) and the
/// sub-master it is put on ("3-5": page 3, No. 5; blank for none). Number and steps are shown
/// only; an edit of any other column goes as a whole chase to the replace function, which makes
/// it (true) or tells the operator why not (false).
///
/// Typed values are read as the operator writes them, full-width digits included: BPM with one
/// decimal ("128.5", "120 BPM"), seconds with up to three ("0.25", "2 秒"), a whole percent
/// ("50", "50 %"), a place as page and number ("3-5", "3 5", "3/5"; blank, "-" or なし for
/// none). A text that is none of these goes in out of range, so that the chase list's own
/// message answers it.
class ChaseTableModel : public QAbstractTableModel
{
public:
    enum Column {
        Number,
        Name,
        Steps,
        Bpm,
        StepTime,
        Crossfade,
        Direction,
        Raise,
        Place,
        ColumnCount
    };
    using Replace = std::function<bool(model::Chase)>;

    ChaseTableModel(const model::ChaseList &chases, Replace replace, QObject *parent = nullptr);

    /// Shows the list again after it changed (call it after every change).
    void Reload();
    /// The chase of a row, or null.
    const model::Chase *ChaseAt(int row) const;
    /// The choices a column offers (direction, raise), in the chase's order; empty for a typed
    /// column.
    static QStringList Choices(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    const model::ChaseList &m_chases;
    Replace m_replace;
    int m_shownCount; // rows the views know of
};

/// A number typed with at most decimals digits after the point, scaled by 10^decimals ("2.5"
/// with one: 25); full-width digits, blanks around it and a unit after it (unit: "秒", "%",
/// "BPM", any case) are fine. Nothing for anything else; huge numbers stop at a billion.
std::optional<int> ParseTypedNumber(QStringView typed, int decimals, QStringView unit = {});

} // namespace orinsub::app
