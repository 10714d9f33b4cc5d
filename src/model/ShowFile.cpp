#include "ShowFile.h"

#include "RegularFile.h"
#include "ShowFileReader.h"
#include "ShowFileTexts.h"
#include "ShowFileWriter.h"

#include <QFileInfo>

namespace orinsub::model {

namespace {

ShowFileResult Failure(ShowFileStatus status, QStringView text, const QString &path,
                       const QString &reason = {})
{
    // Both at once, so a '%' in the file name is never taken for a placeholder.
    return {status,
            reason.isEmpty() ? text.toString().arg(path) : text.toString().arg(path, reason)};
}

} // namespace

ShowFileRead ReadShowFile(const QString &path)
{
    const auto unreadable = [&](QStringView reason) {
        return ShowFileRead{
            Failure(ShowFileStatus::Unreadable, texts::kUnreadable, path, reason.toString()), {}};
    };
    const auto corrupt = [&](QStringView reason) {
        return ShowFileRead{
            Failure(ShowFileStatus::Corrupt, texts::kCorrupt, path, reason.toString()), {}};
    };

    const RegularFileRead file = ReadRegularFile(path, kMaxShowFileSize);
    if (file.problem == FileReadProblem::TooLarge)
        return corrupt(texts::kTooLarge);
    if (!file.IsOk())
        return unreadable(file.Reason());
    const QByteArray &bytes = file.bytes;

    ShowFileParse parse = ShowFileReader::Parse(
        {reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size())});
    switch (parse.status) {
    case ShowFileStatus::Ok:
        return {{}, std::move(parse.content)};
    case ShowFileStatus::WrongVersion:
        return {Failure(parse.status, texts::kWrongVersion, path), {}};
    case ShowFileStatus::TooNew:
        return {Failure(parse.status, texts::kTooNew, path), {}};
    default:
        return corrupt(parse.problem);
    }
}

ShowFileResult OpenShowFile(COrinSUBDoc &doc, const QString &path)
{
    ShowFileRead read = ReadShowFile(path);
    if (read.result.IsOk())
        std::move(read.content).ApplyTo(doc);
    return read.result;
}

ShowFileResult SaveShowFile(const COrinSUBDoc &doc, const QString &path)
{
    const QByteArray bytes = ShowFileWriter::Encode(doc);
    if (bytes.size() > kMaxShowFileSize) {
        ShowFileResult result =
            Failure(ShowFileStatus::Unwritable, texts::kUnwritable, path,
                    texts::kTooLargeToOpen.toString().arg(bytes.size()).arg(kMaxShowFileSize));
        if (QFileInfo::exists(path))
            result.message += texts::kOldFileKept.toString();
        return result;
    }
    return SaveBytesAtomically(path, bytes);
}

} // namespace orinsub::model
