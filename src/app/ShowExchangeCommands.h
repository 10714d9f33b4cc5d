#pragma once

#include "ExchangeChooser.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>
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
/// work on a locked desk too; a file is written whole or not at all. Imports are refused on a
/// locked desk and on a backup that follows its main, as opening a show is; a file they cannot
/// read whole is refused with one line naming it and why, changing nothing. Otherwise, after the
/// operator agreed (keeping the show is the default answer), the cue list (and with ASCII the
/// patch) is replaced, the show marked modified, the output follows the new patch at once, and
/// the operator reads what came in and what was left out. UI thread only.
class ShowExchangeCommands : public QObject
{
public:
    /// Connects the frame's commands; frame, doc and show must outlive the object.
    ShowExchangeCommands(CMainFrame &frame, model::COrinSUBDoc &doc, const CShowDocument &show);

    void Print();
    void ExportPdf();
    /// A file of filter's kind, suggested as nameFormat with the show's name, holding bytes.
    void Export(const QString &nameFormat, const QString &filter,
                const std::function<QByteArray()> &bytes);
    void ImportCuesCsv();
    void ImportAscii();

private:
    print::PaperJob JobOf(const PaperChoice &choice) const;
    /// Where an export is suggested: beside the show's file (the home folder for a new show).
    QString SuggestedPath(const QString &nameFormat) const;
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
};

} // namespace orinsub::app
