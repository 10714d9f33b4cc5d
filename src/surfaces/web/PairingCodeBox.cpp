#include "PairingCodeBox.h"

#include "PairingStore.h"
#include "WebTexts.h"
#include "controls/ConsoleLook.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orinsub::surfaces::web {

PairingCodeBox::PairingCodeBox(PairingStore &pairing, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_pairing(pairing),
      m_code(new QLabel(this)), m_left(new QLabel(this))
{
    setWindowTitle(kPairingCaption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    QPalette look = palette();
    look.setColor(QPalette::Window, controls::kPaneBackground);
    look.setColor(QPalette::WindowText, Qt::white);
    setPalette(look);
    setAutoFillBackground(true);

    auto *prompt = new QLabel(kPairingPrompt, this);
    prompt->setFont(controls::ConsoleFont(100));
    m_code->setFont(controls::ConsoleFont(360));
    m_code->setAlignment(Qt::AlignCenter);
    m_left->setFont(controls::ConsoleFont(90));
    m_left->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_code);
    layout->addWidget(m_left);

    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this, &PairingCodeBox::Refresh);
    connect(&m_pairing, &PairingStore::CodeShown, this, &PairingCodeBox::ShowCode);
    connect(&m_pairing, &PairingStore::CodeWithdrawn, this, &PairingCodeBox::Refresh);
}

QString PairingCodeBox::ShownCode() const
{
    return isVisible() ? m_code->text().remove(u' ') : QString();
}

void PairingCodeBox::ShowCode(const QString &code)
{
    m_code->setText(code.left(3) + u' ' + code.mid(3));
    m_countdown.start();
    Refresh();
    show();
}

void PairingCodeBox::closeEvent(QCloseEvent *event)
{
    m_pairing.Close();
    QWidget::closeEvent(event);
}

void PairingCodeBox::Refresh()
{
    if (!m_pairing.CurrentCode()) {
        m_countdown.stop();
        hide();
        return;
    }
    m_left->setText(PairingSecondsLeft(m_pairing.CodeSecondsLeft()));
}

} // namespace orinsub::surfaces::web
