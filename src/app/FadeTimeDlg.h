#pragma once

#include <QDialog>

class QDoubleSpinBox;

namespace orinsub::app {

/// "フェード時間": the GO fade time, 0.0 to 25.5 seconds in tenths, with OK and キャンセル.
/// Other times of the same range (BACK's) use it with their own title and label.
class CFadeTimeDlg : public QDialog
{
public:
    CFadeTimeDlg(int tenths, QWidget *parent = nullptr);
    CFadeTimeDlg(int tenths, const QString &title, const QString &label, QWidget *parent);

    /// The time chosen, in tenths of a second.
    int GetTenths() const;
    QDoubleSpinBox *GetSpinBox() const { return m_seconds; }

private:
    QDoubleSpinBox *m_seconds = nullptr;
};

} // namespace orinsub::app
