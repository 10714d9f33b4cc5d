#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

namespace orinsub::surfaces::web {

class PairingStore;

/// The small box in which the console shows a pairing code and how long it stays valid. It
/// appears when the operator opens pairing and goes when the code is used or expires; closing
/// it ends pairing. It never takes the focus from the desk.
class PairingCodeBox : public QWidget
{
    Q_OBJECT
public:
    PairingCodeBox(PairingStore &pairing, QWidget *parent);

    QString ShownCode() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ShowCode(const QString &code);
    void Refresh();

    PairingStore &m_pairing;
    QLabel *m_code;
    QLabel *m_left;
    QTimer m_countdown;
};

} // namespace orinsub::surfaces::web
