#pragma once

#include "model/Chase.h"

#include <QAbstractTableModel>

namespace orinsub::app {

/// One chase's steps as the chase window lists them: the step's number and its look, the
/// channels above 0 with their levels as the readouts show them ("1:FF 2:50 13:05"). Shown only;
/// the window's buttons edit them. It follows the chase by number, so that the list may change
/// under it.
class ChaseStepModel : public QAbstractTableModel
{
public:
    enum Column { Step, Look, ColumnCount };

    ChaseStepModel(const model::ChaseList &chases, QObject *parent = nullptr);

    /// Shows chase number's steps (0: none) after any change.
    void Show(int number);
    int ShownChase() const { return m_number; }
    /// The look as the list writes it.
    static QString LookText(const model::ChaseLook &look);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const model::Chase *Shown() const;

    const model::ChaseList &m_chases;
    int m_number = 0;
    int m_shownCount = 0;
};

} // namespace orinsub::app
