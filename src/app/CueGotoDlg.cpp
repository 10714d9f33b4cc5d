#include "CueGotoDlg.h"

#include "AppResources.h"
#include "controls/OkCancelButtons.h"
#include "controls/QuestionBox.h"
#include "model/CueList.h"
#include "model/CueTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orinsub::app {

CueGotoDlg::CueGotoDlg(const model::CueList &cues, QWidget *parent) : QDialog(parent), m_cues(cues)
{
    setWindowTitle(kCueGotoTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kCueGotoLabel, this));
    m_text = new QLineEdit(this);
    layout->addWidget(m_text);
    QDialogButtonBox *buttons = controls::OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CueGotoDlg::accept()
{
    const std::optional<int> number = model::ParseTenths(m_text->text());
    QString error;
    if (!number || *number < model::kMinCueNumber || *number > model::kMaxCueNumber)
        error = model::texts::kCueNumberRange.toString();
    else if (!m_cues.Find(*number))
        error = model::texts::kCueMissing.toString().arg(model::CueNumberText(*number));
    if (!error.isEmpty()) {
        controls::Questions().Warn(this, error, kCueGotoTitle);
        m_text->selectAll();
        m_text->setFocus();
        return;
    }
    m_number = *number;
    QDialog::accept();
}

} // namespace orinsub::app
