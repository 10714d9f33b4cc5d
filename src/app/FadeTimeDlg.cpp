#include "FadeTimeDlg.h"

#include "AppResources.h"
#include "controls/OkCancelButtons.h"
#include "views/GoFade.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace orinsub::app {

CFadeTimeDlg::CFadeTimeDlg(int tenths, QWidget *parent)
    : CFadeTimeDlg(tenths, kFadeTimeTitle, kFadeTimeLabel, parent)
{
}

CFadeTimeDlg::CFadeTimeDlg(int tenths, const QString &title, const QString &label, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(label, this));

    m_seconds = new QDoubleSpinBox(this);
    m_seconds->setDecimals(1);
    m_seconds->setSingleStep(0.1);
    m_seconds->setRange(0.0, views::GoFade::kMaxFadeTime / 10.0);
    m_seconds->setSuffix(kFadeTimeUnit);
    m_seconds->setValue(tenths / 10.0);
    m_seconds->selectAll();
    layout->addWidget(m_seconds);

    QDialogButtonBox *buttons = controls::OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CFadeTimeDlg::GetTenths() const
{
    return static_cast<int>(std::lround(m_seconds->value() * 10.0));
}

} // namespace orinsub::app
