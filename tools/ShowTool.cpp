#include "ShowTool.h"

#include "ShowJson.h"
#include "ToolTexts.h"
#include "model/OrinSUBDoc.h"
#include "model/RegularFile.h"
#include "model/ShowFile.h"

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
    if ((command == u"--help" || command == u"-h") && operands == 0)
        return Print(texts::kHelp.toString());
    if (command == u"--version" && operands == 0)
        return Print(QStringLiteral("orinsub-show %1\n").arg(QStringLiteral(ORINSUB_VERSION)));
    static const QStringList kCommands{"new",    "dump", "build",    "check",
                                       "--help", "-h",   "--version"};
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

int ShowTool::Dump(const QString &showPath)
{
    model::ShowFileRead read = model::ReadShowFile(showPath);
    if (!read.result.IsOk())
        return Fail(read.result.message);
    model::COrinSUBDoc doc;
    std::move(read.content).ApplyTo(doc);
    const QByteArray json = ShowToJson(doc);
    m_out.write(json.constData(), json.size());
    m_out.flush();
    return m_out ? 0 : Fail(texts::kStdoutFailed.toString());
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
