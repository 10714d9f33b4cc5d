#include "ChaseStepModel.h"

#include "AppResources.h"
#include "controls/LvDisp.h"

namespace orinsub::app {

using namespace chasewindow;

ChaseStepModel::ChaseStepModel(const model::ChaseList &chases, QObject *parent)
    : QAbstractTableModel(parent), m_chases(chases)
{
}

const model::Chase *ChaseStepModel::Shown() const
{
    return m_number > 0 ? m_chases.Find(m_number) : nullptr;
}

void ChaseStepModel::Show(int number)
{
    const model::Chase *chase = number > 0 ? m_chases.Find(number) : nullptr;
    const int count = chase ? static_cast<int>(chase->steps.size()) : 0;
    if (number == m_number && count == m_shownCount) {
        if (count > 0)
            emit dataChanged(index(0, 0), index(count - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_number = chase ? number : 0;
    m_shownCount = count;
    endResetModel();
}

QString ChaseStepModel::LookText(const model::ChaseLook &look)
{
    // As the output readouts write a level, but 1-9 % with its 0 so that the columns line up.
    controls::CLvDisp readout;
    readout.m_smallWithLeadingZero = true;
    QStringList lit;
    for (int i = 0; i < model::kConsoleChannels; ++i) {
        if (look[i] == 0)
            continue;
        if (lit.size() == kShownChannels) {
            lit << QStringLiteral("…");
            break;
        }
        readout.SetLevel(look[i]);
        lit << QStringLiteral("%1:%2").arg(i + 1).arg(readout.Text());
    }
    return lit.isEmpty() ? kDarkStep : lit.join(u' ');
}

int ChaseStepModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownCount;
}

int ChaseStepModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChaseStepModel::data(const QModelIndex &index, int role) const
{
    const model::Chase *chase = Shown();
    if (!chase || index.row() < 0 || index.row() >= m_shownCount ||
        index.row() >= static_cast<int>(chase->steps.size()))
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == Step)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return index.column() == Step ? QVariant(QString::number(index.row() + 1))
                                  : QVariant(LookText(chase->steps[index.row()]));
}

QVariant ChaseStepModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == Step ? kStepColumn : section == Look ? kLookColumn : QVariant();
}

} // namespace orinsub::app
