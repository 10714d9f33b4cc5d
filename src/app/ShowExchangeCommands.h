#pragma once

#include "ExchangeChooser.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace orinsub::model {
class COrinSUBDoc;
}

namespace orinsub::app {

class CMainFrame;
class CShowDocument;

/// The File menu's commands that take the show out of the console or bring part of it in:
/// printing, PDF, the CSV sheets and USITT ASCII. Prints and exports only read the show, so they
/// work on a locked desk too; a file is written whole or not at all. A print or a PDF is painted
/// on a thread of its own from a copy of the show as it stood when chosen, one after the other,
/// so that the desk goes on playing meanwhile; the operator hears of it only when it failed.
/// Imports are refused on a locked desk and on a backup that follows its main, as opening a show
/// is; a file they cannot read whole is refused with one line naming it and why, changing nothing.
/// Otherwise, after the operator agreed (keeping the show is the default answer), the cue list (and
/// with ASCII the patch) is replaced, the show marked modified, the output follows the new patch at
/// once, and the operator reads what came in and what was left out. UI thread only.
class ShowExchangeCommands : public QObject
{
public:
    /// Connects the frame's commands; frame, doc and show must outlive the object.
    ShowExchangeCommands(CMainFrame &frame, model::COrinSUBDoc &doc, const CShowDocument &show);
    /// Waits for a print or a PDF still being made.
    ~ShowExchangeCommands() override;

    /// Waits until every print and PDF chosen so far is done (its failure, if any, is told on
    /// the UI thread's next turn); false when msecs ran out first.
    bool WaitForPaper(int msecs);

    void Print();
    void ExportPdf();
    /// A file of filter's kind, suggested as nameFormat with the show's name, holding bytes.
    void Export(const QString &nameFormat, const QString &filter,
                const std::function<QByteArray()> &bytes);
    void ImportCuesCsv();
    void ImportAscii();

private:
    print::PaperJob JobOf(const PaperChoice &choice) const;
    /// Paints on a thread of the pool: paint gets a copy of the show and returns what went
    /// wrong, empty when nothing did; the operator reads that under caption.
    void OnPaper(std::function<QString(const model::COrinSUBDoc &)> paint, const QString &caption);
    /// Where an export is suggested: beside the show's file (the home folder for a new show).
    QString SuggestedPath(const QString &nameFormat) const;
    /// The file the operator picks for an export, with the suggested name's suffix when it has
    /// none; none when cancelled.
    std::optional<QString> ChooseExportPath(const QString &nameFormat, const QString &filter) const;
    /// The bytes of the file the operator picks, none when cancelled or refused (after the word).
    std::optional<QByteArray> ReadImport(const QString &filter, qint64 maxBytes, QString &path);
    /// Whether an import may replace what the show holds: the operator's word on question, when
    /// there is one, and a desk still open to imports.
    bool AgreesToReplace(const std::optional<QString> &question) const;
    void Refuse(const QString &path, const QString &why) const;
    void Report(const QString &what, const QStringList &leftOut) const;
    QWidget *Owner() const;

    CMainFrame &m_frame;
    model::COrinSUBDoc &m_doc;
    const CShowDocument &m_show;
    QThreadPool m_paper; // one print or PDF at a time, beside the UI thread
};

} // namespace orinsub::app
