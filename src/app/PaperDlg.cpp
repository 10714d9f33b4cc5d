#include "PaperDlg.h"

#include "AppResources.h"
#include "controls/OkCancelButtons.h"
#include "print/PaperTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orinsub::app {

namespace {

QString SheetName(print::Sheet sheet)
{
    switch (sheet) {
    case print::Sheet::Cues:
        return print::texts::kCueSheet.toString();
    case print::Sheet::Patch:
        return print::texts::kPatchSheet.toString();
    case print::Sheet::SubMasters:
        return print::texts::kSubMasterSheet.toString();
    }
    return {};
}

} // namespace

PaperDlg::PaperDlg(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *sheets = new QGroupBox(kSheetsGroup, this);
    auto *sheetRows = new QVBoxLayout(sheets);
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        m_sheets[i] = new QCheckBox(SheetName(print::kAllSheets[i]), sheets);
        m_sheets[i]->setChecked(true);
        sheetRows->addWidget(m_sheets[i]);
    }
    layout->addWidget(sheets);

    auto *orientation = new QGroupBox(kOrientationGroup, this);
    auto *orientationRows = new QVBoxLayout(orientation);
    auto *portrait = new QRadioButton(kPortrait, orientation);
    portrait->setChecked(true);
    m_landscape = new QRadioButton(kLandscape, orientation);
    orientationRows->addWidget(portrait);
    orientationRows->addWidget(m_landscape);
    layout->addWidget(orientation);

    QDialogButtonBox *buttons = controls::OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    for (QCheckBox *sheet : m_sheets) {
        connect(sheet, &QCheckBox::toggled, ok, [this, ok] {
            ok->setEnabled(std::any_of(m_sheets.begin(), m_sheets.end(),
                                       [](const QCheckBox *box) { return box->isChecked(); }));
        });
    }
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PaperChoice PaperDlg::GetChoice() const
{
    PaperChoice choice;
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i]->isChecked())
            choice.sheets.push_back(print::kAllSheets[i]);
    }
    choice.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return choice;
}

} // namespace orinsub::app
