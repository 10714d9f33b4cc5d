#pragma once

#include <QDialog>

class QDoubleSpinBox;

namespace orinsub::app {

/// "フェード時間": the GO fade time, 0.0 to 25.5 seconds in tenths, with OK and キャンセル.
class CFadeTimeDlg : public QDialog
{
public:
    CFadeTimeDlg(int tenths, QWidget *parent = nullptr);

    /// The time chosen, in tenths of a second.
    int GetTenths() const;
    QDoubleSpinBox *GetSpinBox() const { return m_seconds; }

private:
    QDoubleSpinBox *m_seconds = nullptr;
};

} // namespace orinsub::app
