#include "FadeTimeDlg.h"

#include "AppResources.h"
#include "controls/OkCancelButtons.h"
#include "controls/QuestionBox.h"
#include "model/CueList.h"
#include "model/CueTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace orinsub::app {

namespace {

/// A time in tenths, shown and typed as the cue list's times are ("2.5", "1:30.0").
class TimeSpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int tenths) const override { return model::TimeText(tenths); }
    int valueFromText(const QString &text) const override
    {
        return model::ParseTime(text).value_or(value());
    }
    /// Characters no time has are refused as typed; anything else may be on its way to a time,
    /// and OK tells the operator what is wrong with it.
    QValidator::State validate(QString &text, int &) const override
    {
        if (model::ParseTime(text))
            return QValidator::Acceptable;
        const QString plain = text.normalized(QString::NormalizationForm_KC);
        const bool timeLike = std::all_of(plain.begin(), plain.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || c == u':' || c == u'.' || c == u'秒' || c.isSpace();
        });
        return timeLike ? QValidator::Intermediate : QValidator::Invalid;
    }
};

} // namespace

CFadeTimeDlg::CFadeTimeDlg(int tenths, QWidget *parent)
    : CFadeTimeDlg(tenths, kFadeTimeTitle, kFadeTimeLabel, parent)
{
}

CFadeTimeDlg::CFadeTimeDlg(int tenths, const QString &title, const QString &label, QWidget *parent)
    : QDialog(parent), m_title(title)
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(label, this));

    m_time = new TimeSpinBox(this);
    m_time->setRange(0, model::kMaxFadeTime);
    m_time->setAccelerated(true); // a held arrow gets to minutes
    m_time->setValue(tenths);
    m_time->selectAll();
    layout->addWidget(m_time);
    layout->addWidget(new QLabel(kTimeFormsHint, this));

    QDialogButtonBox *buttons = controls::OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CFadeTimeDlg::GetTenths() const
{
    return m_time->value();
}

void CFadeTimeDlg::accept()
{
    if (!model::ParseTime(m_time->cleanText())) {
        controls::Questions().Warn(this, model::texts::kTimeRange.toString().arg(m_title), m_title);
        m_time->selectAll();
        m_time->setFocus();
        return;
    }
    m_time->interpretText();
    QDialog::accept();
}

} // namespace orinsub::app
