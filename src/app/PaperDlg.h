#pragma once

#include "ExchangeChooser.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QRadioButton;

namespace orinsub::app {

/// Before a print or a PDF: which sheets (all three at first) and which way up the A4 paper
/// goes, with OK and キャンセル; OK is greyed while no sheet is chosen.
class PaperDlg : public QDialog
{
public:
    PaperDlg(const QString &title, QWidget *parent);

    PaperChoice GetChoice() const;

private:
    std::array<QCheckBox *, print::kAllSheets.size()> m_sheets{};
    QRadioButton *m_landscape = nullptr;
};

} // namespace orinsub::app
