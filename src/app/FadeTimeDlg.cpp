#include "FadeTimeDlg.h"

#include "AppResources.h"
#include "views/GoFade.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace orinsub::app {

CFadeTimeDlg::CFadeTimeDlg(int tenths, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(kFadeTimeTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kFadeTimeLabel, this));

    m_seconds = new QDoubleSpinBox(this);
    m_seconds->setDecimals(1);
    m_seconds->setSingleStep(0.1);
    m_seconds->setRange(0.0, views::GoFade::kMaxFadeTime / 10.0);
    m_seconds->setSuffix(kFadeTimeUnit);
    m_seconds->setValue(tenths / 10.0);
    m_seconds->selectAll();
    layout->addWidget(m_seconds);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(kOkButton);
    buttons->button(QDialogButtonBox::Cancel)->setText(kCancelButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CFadeTimeDlg::GetTenths() const
{
    return static_cast<int>(std::lround(m_seconds->value() * 10.0));
}

} // namespace orinsub::app
