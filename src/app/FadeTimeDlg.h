#pragma once

#include <QDialog>

class QSpinBox;

namespace orinsub::app {

/// "フェード時間": the GO fade time, 0.0 to 59:59.9 in tenths of a second, typed as "90", "2.5",
/// "1:30" or "1:30.5" or stepped 0.1 s at a time, with OK and キャンセル. OK on a text that is no
/// such time tells the operator so and keeps the dialog open. Other times of the same range
/// (BACK's) use it with their own title and label.
class CFadeTimeDlg : public QDialog
{
public:
    CFadeTimeDlg(int tenths, QWidget *parent = nullptr);
    CFadeTimeDlg(int tenths, const QString &title, const QString &label, QWidget *parent);

    /// The time chosen, in tenths of a second.
    int GetTenths() const;
    /// The time's box: its value in tenths, its text as typed.
    QSpinBox *GetSpinBox() const { return m_time; }

    void accept() override;

private:
    QString m_title;
    QSpinBox *m_time = nullptr;
};

} // namespace orinsub::app
