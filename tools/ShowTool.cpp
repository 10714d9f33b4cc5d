#include "ShowTool.h"

#include "ShowJson.h"
#include "ToolTexts.h"
#include "model/OrinSUBDoc.h"
#include "model/RegularFile.h"
#include "model/ShowCsv.h"
#include "model/ShowFile.h"
#include "model/UsittAscii.h"

#include <QFileInfo>

namespace orinsub::tools {

namespace {

// Far above the dump of any show the console writes, which is under a megabyte.
constexpr qint64 kMaxJsonSize = 256LL * 1024 * 1024;

} // namespace

int ShowTool::Run(const QStringList &args)
{
    const QString command = args.value(0);
    const qsizetype operands = args.size() - 1;
    if (command == u"new" && operands == 1)
        return New(args[1]);
    if (command == u"dump" && operands == 1)
        return Dump(args[1]);
    if (command == u"build" && operands == 2)
        return Build(args[1], args[2]);
    if (command == u"check" && operands == 1)
        return Check(args[1]);
    if (command == u"export-csv" && (operands == 1 || operands == 2))
        return ExportCsv(args[1], args.value(2, QStringLiteral("cues")));
    if (command == u"export-ascii" && operands == 1)
        return ExportAscii(args[1]);
    if ((command == u"import-csv" || command == u"import-ascii") && operands == 2)
        return Import(command, args[1], args[2]);
    if ((command == u"--help" || command == u"-h") && operands == 0)
        return Print(texts::kHelp.toString());
    if (command == u"--version" && operands == 0)
        return Print(QStringLiteral("orinsub-show %1\n").arg(QStringLiteral(ORINSUB_VERSION)));
    static const QStringList kCommands{"new",        "dump",         "build",      "check",
                                       "export-csv", "export-ascii", "import-csv", "import-ascii",
                                       "--help",     "-h",           "--version"};
    if (!command.isEmpty() && !kCommands.contains(command))
        return Fail(texts::kUnknownCommand.toString().arg(command) + texts::kUsage.toString());
    return Fail(texts::kUsage.toString());
}

int ShowTool::New(const QString &showPath)
{
    const model::COrinSUBDoc doc;
    const model::ShowFileResult saved = model::SaveShowFile(doc, showPath);
    return saved.IsOk() ? 0 : Fail(saved.message);
}

bool ShowTool::Load(const QString &path, model::COrinSUBDoc &doc)
{
    model::ShowFileRead read = model::ReadShowFile(path);
    if (!read.result.IsOk()) {
        Fail(read.result.message);
        return false;
    }
    std::move(read.content).ApplyTo(doc);
    return true;
}

int ShowTool::Write(const QByteArray &bytes)
{
    m_out.write(bytes.constData(), bytes.size());
    m_out.flush();
    return m_out ? 0 : Fail(texts::kStdoutFailed.toString());
}

int ShowTool::Dump(const QString &showPath)
{
    model::COrinSUBDoc doc;
    return Load(showPath, doc) ? Write(ShowToJson(doc)) : 1;
}

int ShowTool::ExportCsv(const QString &showPath, const QString &sheet)
{
    using Sheet = QByteArray (*)(const model::COrinSUBDoc &);
    const std::pair<QStringView, Sheet> kSheets[] = {
        {u"cues",
         [](const model::COrinSUBDoc &doc) { return model::ShowCsv::Cues(doc.m_extension.cues); }},
        {u"patch", model::ShowCsv::Patch},
        {u"submasters", model::ShowCsv::SubMasters},
    };
    for (const auto &[name, write] : kSheets) {
        if (sheet == name) {
            model::COrinSUBDoc doc;
            return Load(showPath, doc) ? Write(write(doc)) : 1;
        }
    }
    return Fail(texts::kUnknownSheet.toString().arg(sheet));
}

int ShowTool::ExportAscii(const QString &showPath)
{
    model::COrinSUBDoc doc;
    return Load(showPath, doc) ? Write(model::UsittAscii::Write(model::ExchangedShowOf(doc))) : 1;
}

int ShowTool::Import(const QString &format, const QString &path, const QString &showPath)
{
    const bool ascii = format == u"import-ascii";
    const model::RegularFileRead file = model::ReadRegularFile(
        path, ascii ? model::UsittAscii::kMaxFileSize : model::ShowCsv::kMaxFileSize);
    if (!file.IsOk())
        return Fail(texts::kImportFile.toString().arg(path, file.Reason()));
    model::ExchangeRead read;
    if (ascii) {
        read = model::UsittAscii::Read(file.bytes);
    } else {
        model::CsvCueRead csv = model::ShowCsv::ReadCues(file.bytes);
        read.error = csv.error;
        read.show.cues = std::move(csv.cues);
    }
    if (!read.IsOk())
        return Fail(texts::kImportFile.toString().arg(path, read.error));

    model::COrinSUBDoc doc;
    if (QFileInfo::exists(showPath) && !Load(showPath, doc))
        return 1;
    if (ascii)
        read.leftOut += model::ApplyExchangedShow(doc, read.show);
    else
        doc.m_extension.cues = read.show.cues;
    const model::ShowFileResult saved = model::SaveShowFile(doc, showPath);
    if (!saved.IsOk())
        return Fail(saved.message);
    QString report = texts::kImported.toString().arg(read.show.cues.Count());
    for (const QString &line : read.leftOut)
        report += texts::kLeftOutLine.toString().arg(line);
    return Print(report);
}

int ShowTool::Print(const QString &text)
{
    m_out << text.toStdString();
    m_out.flush();
    return m_out ? 0 : Fail(texts::kStdoutFailed.toString());
}

int ShowTool::Build(const QString &jsonPath, const QString &showPath)
{
    const auto jsonFailure = [&](const QString &what) {
        return Fail(texts::kJsonFile.toString().arg(jsonPath, what));
    };
    const model::RegularFileRead file = model::ReadRegularFile(jsonPath, kMaxJsonSize);
    if (file.problem == model::FileReadProblem::TooLarge)
        return jsonFailure(texts::kJsonTooLarge.toString());
    if (!file.IsOk())
        return jsonFailure(texts::kJsonUnreadable.toString().arg(file.Reason()));
    const QByteArray &bytes = file.bytes;

    ShowFromJsonResult parsed = ShowFromJson(bytes);
    if (!parsed.error.isEmpty())
        return jsonFailure(parsed.error);
    model::COrinSUBDoc doc;
    std::move(parsed.content).ApplyTo(doc);
    const model::ShowFileResult saved = model::SaveShowFile(doc, showPath);
    return saved.IsOk() ? 0 : Fail(saved.message);
}

int ShowTool::Check(const QString &showPath)
{
    const model::ShowFileRead read = model::ReadShowFile(showPath);
    return read.result.IsOk() ? 0 : Fail(read.result.message);
}

int ShowTool::Fail(const QString &message)
{
    m_err << "orinsub-show: " << message.toStdString() << '\n';
    return 1;
}

} // namespace orinsub::tools
