#include "ShowExchangeCommands.h"

#include "AppResources.h"
#include "DeskLockGuard.h"
#include "MainFrame.h"
#include "ShowDocument.h"
#include "controls/QuestionBox.h"
#include "model/AtomicSave.h"
#include "model/ExchangeTexts.h"
#include "model/OrinSUBDoc.h"
#include "model/RegularFile.h"
#include "model/ShowCsv.h"
#include "model/ShowFileReader.h"
#include "model/ShowFileWriter.h"
#include "model/UsittAscii.h"
#include "print/ShowPrinter.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

namespace orinsub::app {

ShowExchangeCommands::ShowExchangeCommands(CMainFrame &frame, model::COrinSUBDoc &doc,
                                           const CShowDocument &show)
    : m_frame(frame), m_doc(doc), m_show(show)
{
    const auto on = [this](int id, auto handler) {
        connect(m_frame.Command(id), &QAction::triggered, this, handler);
    };
    on(kIdPrint, [this] { Print(); });
    on(kIdExportPdf, [this] { ExportPdf(); });
    on(kIdExportCuesCsv, [this] {
        Export(kCuesCsvName, kCsvFilter,
               [this] { return model::ShowCsv::Cues(m_doc.m_extension.cues); });
    });
    on(kIdExportPatchCsv, [this] {
        Export(kPatchCsvName, kCsvFilter, [this] { return model::ShowCsv::Patch(m_doc); });
    });
    on(kIdExportSubMastersCsv, [this] {
        Export(kSubMastersCsvName, kCsvFilter,
               [this] { return model::ShowCsv::SubMasters(m_doc); });
    });
    on(kIdExportAscii, [this] {
        Export(kAsciiName, kAsciiFilter,
               [this] { return model::UsittAscii::Write(model::ExchangedShowOf(m_doc)); });
    });
    on(kIdImportCuesCsv, [this] { ImportCuesCsv(); });
    on(kIdImportAscii, [this] { ImportAscii(); });
    for (int id : {kIdImportCuesCsv, kIdImportAscii})
        m_frame.GetLockGuard().Guard(m_frame.Command(id));
    m_paper.setMaxThreadCount(1);
}

ShowExchangeCommands::~ShowExchangeCommands()
{
    m_paper.waitForDone();
}

bool ShowExchangeCommands::WaitForPaper(int msecs)
{
    return m_paper.waitForDone(msecs);
}

void ShowExchangeCommands::OnPaper(std::function<QString(const model::COrinSUBDoc &)> paint,
                                   const QString &caption)
{
    // The show file's own bytes carry the show to the other thread: the desk edits on meanwhile.
    m_paper.start(
        [this, show = model::ShowFileWriter::Encode(m_doc), paint = std::move(paint), caption] {
            model::COrinSUBDoc copy;
            model::ShowFileReader::Parse({reinterpret_cast<const uint8_t *>(show.constData()),
                                          static_cast<size_t>(show.size())})
                .content.ApplyTo(copy);
            const QString failure = paint(copy);
            if (!failure.isEmpty()) {
                // The destructor waits for this thread, so the object is still there to ask.
                QMetaObject::invokeMethod(this, [this, failure, caption] {
                    controls::Questions().Warn(Owner(), failure, caption);
                });
            }
        });
}

QWidget *ShowExchangeCommands::Owner() const
{
    return &m_frame;
}

print::PaperJob ShowExchangeCommands::JobOf(const PaperChoice &choice) const
{
    return {choice.sheets, m_show.GetTitle(), QDateTime::currentDateTime()};
}

QString ShowExchangeCommands::SuggestedPath(const QString &nameFormat) const
{
    const QString path = m_show.GetPathName();
    const QDir folder = path.isEmpty() ? QDir::home() : QFileInfo(path).dir();
    return folder.filePath(nameFormat.arg(m_show.GetTitle()));
}

void ShowExchangeCommands::Print()
{
    const std::optional<PaperChoice> choice = Exchanges().ChooseSheets(Owner(), kPrintTitle);
    if (!choice)
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    print::ShowPrinter::SetUpA4(*printer, choice->orientation);
    printer->setDocName(m_show.GetTitle());
    if (!Exchanges().ChoosePrinter(Owner(), *printer))
        return;
    OnPaper(
        [printer, job = JobOf(*choice)](const model::COrinSUBDoc &show) {
            return print::ShowPrinter::Print(show, job, *printer) > 0 ? QString() : kPrintFailed;
        },
        kPrintTitle);
}

void ShowExchangeCommands::ExportPdf()
{
    const std::optional<PaperChoice> choice = Exchanges().ChooseSheets(Owner(), kExportPdfTitle);
    if (!choice)
        return;
    const std::optional<QString> path = ChooseExportPath(kPdfName, kPdfFilter);
    if (!path)
        return;
    OnPaper(
        [path = *path, job = JobOf(*choice),
         orientation = choice->orientation](const model::COrinSUBDoc &show) {
            const QByteArray pdf = print::ShowPrinter::Pdf(show, job, orientation);
            if (pdf.isEmpty())
                return kPdfNotMade;
            const model::ShowFileResult saved = model::SaveBytesAtomically(path, pdf);
            return saved.IsOk() ? QString() : saved.message;
        },
        kExportPdfTitle);
}

std::optional<QString> ShowExchangeCommands::ChooseExportPath(const QString &nameFormat,
                                                              const QString &filter) const
{
    const QString suggested = SuggestedPath(nameFormat);
    QString path = Exchanges().ChooseExportPath(Owner(), suggested, filter);
    if (path.isEmpty())
        return std::nullopt;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + QFileInfo(suggested).suffix();
    return path;
}

void ShowExchangeCommands::Export(const QString &nameFormat, const QString &filter,
                                  const std::function<QByteArray()> &bytes)
{
    const std::optional<QString> path = ChooseExportPath(nameFormat, filter);
    if (!path)
        return;
    const model::ShowFileResult saved = model::SaveBytesAtomically(*path, bytes());
    if (!saved.IsOk())
        controls::Questions().Warn(Owner(), saved.message, kAppTitle);
}

std::optional<QByteArray> ShowExchangeCommands::ReadImport(const QString &filter, qint64 maxBytes,
                                                           QString &path)
{
    if (m_show.RefusedWhileLocked(kLockedImportRefused))
        return std::nullopt;
    path = Exchanges().ChooseImportPath(Owner(), filter);
    if (path.isEmpty())
        return std::nullopt;
    const model::RegularFileRead file = model::ReadRegularFile(path, maxBytes);
    if (file.IsOk())
        return file.bytes;
    Refuse(path, file.problem == model::FileReadProblem::TooLarge
                     ? model::texts::kExchangeTooLarge.toString()
                     : file.Reason());
    return std::nullopt;
}

void ShowExchangeCommands::Refuse(const QString &path, const QString &why) const
{
    controls::Questions().Warn(Owner(), kImportRefused.arg(QFileInfo(path).fileName(), why),
                               kImportCaption);
}

bool ShowExchangeCommands::AgreesToReplace(const std::optional<QString> &question) const
{
    if (question && controls::Questions().AskSafeChoice(Owner(), *question, kImportCaption,
                                                        kKeepShow, kReplaceShow))
        return false;
    // The lock may have come on from a surface while a dialog was open.
    return !m_show.RefusedWhileLocked(kLockedImportRefused);
}

void ShowExchangeCommands::Report(const QString &what, const QStringList &leftOut) const
{
    QString report = what;
    if (!leftOut.isEmpty()) {
        report += kLeftOutHead;
        for (const QString &line : leftOut)
            report += kLeftOutItem.arg(line);
    }
    controls::Questions().Warn(Owner(), report, kImportCaption);
}

void ShowExchangeCommands::ImportCuesCsv()
{
    QString path;
    const std::optional<QByteArray> bytes =
        ReadImport(kCsvFilter, model::ShowCsv::kMaxFileSize, path);
    if (!bytes)
        return;
    model::CsvCueRead read = model::ShowCsv::ReadCues(*bytes);
    if (!read.IsOk())
        return Refuse(path, read.error);
    // An empty cue list has nothing to lose.
    const model::CueList &cues = m_doc.m_extension.cues;
    std::optional<QString> question;
    if (!cues.IsEmpty()) {
        question =
            kAskReplaceCues.arg(QFileInfo(path).fileName(), QString::number(read.cues.Count()),
                                QString::number(cues.Count()));
    }
    if (!AgreesToReplace(question))
        return;
    m_doc.m_extension.cues = std::move(read.cues);
    m_doc.SetModifiedFlag(true);
    m_frame.OnCuesAndPatchReplaced();
    Report(kImportedCues.arg(m_doc.m_extension.cues.Count()), {});
}

void ShowExchangeCommands::ImportAscii()
{
    QString path;
    const std::optional<QByteArray> bytes =
        ReadImport(kAsciiFilter, model::UsittAscii::kMaxFileSize, path);
    if (!bytes)
        return;
    model::ExchangeRead read = model::UsittAscii::Read(*bytes);
    if (!read.IsOk())
        return Refuse(path, read.error);
    const QString question = kAskReplaceCuesAndPatch.arg(
        QFileInfo(path).fileName(), QString::number(read.show.cues.Count()),
        QString::number(m_doc.m_extension.cues.Count()), QString::number(read.show.patch.size()));
    if (!AgreesToReplace(question))
        return;
    read.leftOut += model::ApplyExchangedShow(m_doc, read.show);
    m_frame.OnCuesAndPatchReplaced();
    Report(kImportedCuesAndPatch.arg(read.show.cues.Count()).arg(read.show.patch.size()),
           read.leftOut);
}

} // namespace orinsub::app
