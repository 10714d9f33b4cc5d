#pragma once

#include "print/PaperJob.h"

#include <QPageLayout>
#include <QString>
#include <optional>
#include <vector>

class QPrinter;
class QWidget;

namespace orinsub::app {

/// What the operator chose to print: which sheets, and which way up the paper goes.
struct PaperChoice
{
    std::vector<print::Sheet> sheets;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

/// Where the operator picks what a print, an export or an import works with. The program shows
/// dialogs; tests script the answers.
class ExchangeChooser
{
public:
    virtual ~ExchangeChooser() = default;
    /// The sheets and the orientation, under the dialog's title; none when cancelled.
    virtual std::optional<PaperChoice> ChooseSheets(QWidget *parent, const QString &title) = 0;
    /// The printer to print on, in the printer dialog over printer as set up; false when
    /// cancelled.
    virtual bool ChoosePrinter(QWidget *parent, QPrinter &printer) = 0;
    /// Where to write a file of filter's kind, starting from suggested; empty when cancelled. The
    /// operator has already agreed to replace an existing file.
    virtual QString ChooseExportPath(QWidget *parent, const QString &suggested,
                                     const QString &filter) = 0;
    /// The file of filter's kind to read; empty when cancelled.
    virtual QString ChooseImportPath(QWidget *parent, const QString &filter) = 0;
};

/// The chooser in force: dialogs unless a test installed another.
ExchangeChooser &Exchanges();
/// Installs a chooser (not owned); null restores the dialogs.
void SetExchangeChooser(ExchangeChooser *chooser);

} // namespace orinsub::app
