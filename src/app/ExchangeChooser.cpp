#include "ExchangeChooser.h"

#include "PaperDlg.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace orinsub::app {

namespace {

class Dialogs : public ExchangeChooser
{
public:
    std::optional<PaperChoice> ChooseSheets(QWidget *parent, const QString &title) override
    {
        PaperDlg dialog(title, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.GetChoice();
    }
    bool ChoosePrinter(QWidget *parent, QPrinter &printer) override
    {
        return QPrintDialog(&printer, parent).exec() == QDialog::Accepted;
    }
    QString ChooseExportPath(QWidget *parent, const QString &suggested,
                             const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, {}, suggested, filter);
    }
    QString ChooseImportPath(QWidget *parent, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, {}, {}, filter);
    }
};

Dialogs g_dialogs;
ExchangeChooser *g_chooser = &g_dialogs;

} // namespace

ExchangeChooser &Exchanges()
{
    return *g_chooser;
}

void SetExchangeChooser(ExchangeChooser *chooser)
{
    g_chooser = chooser ? chooser : &g_dialogs;
}

} // namespace orinsub::app
