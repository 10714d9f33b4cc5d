#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QSpinBox;
class QTableView;

namespace orinsub::patch {

class DimmerCurveTable;

/// The dimmers' curves: a table of the 512 dimmers, and below it a curve, a threshold and a
/// limit that 設定 gives every selected dimmer at once. Selecting one dimmer shows its curve
/// there. A change marks the show modified and reaches the output at once. Works on the show
/// in model::g_orin.m_pDoc.
class DimmerCurveDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DimmerCurveDialog(QWidget *parent = nullptr);

    /// Gives the selected dimmers the curve the controls show; false when none is selected.
    bool ApplyToSelection();
    /// The show changed (New, Open): the table reads it again.
    void Reload();

    QTableView *Table() const { return m_table; }
    QComboBox *KindBox() const { return m_kind; }
    QSpinBox *ThresholdBox() const { return m_threshold; }
    QSpinBox *LimitBox() const { return m_limit; }
    QPushButton *ApplyButton() const { return m_apply; }

private:
    void ShowSelectedCurve();
    std::vector<int> SelectedDimmers() const;

    DimmerCurveTable *m_model;
    QTableView *m_table;
    QComboBox *m_kind;
    QSpinBox *m_threshold;
    QSpinBox *m_limit;
    QPushButton *m_apply;
};

} // namespace orinsub::patch
