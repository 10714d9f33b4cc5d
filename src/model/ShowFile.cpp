#include "ShowFile.h"

#include "ShowFileReader.h"
#include "ShowFileTexts.h"
#include "ShowFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orinsub::model {

namespace {

ShowFileResult Failure(ShowFileStatus status, QStringView text, const QString &path,
                       const QString &reason = {})
{
    // Both at once, so a '%' in the file name is never taken for a placeholder.
    return {status,
            reason.isEmpty() ? text.toString().arg(path) : text.toString().arg(path, reason)};
}

QString ReasonOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return texts::kNoFolder.toString();
    case EACCES:
    case EPERM:
        return texts::kNoPermission.toString();
    case EROFS:
        return texts::kReadOnly.toString();
    case ENOSPC:
    case EDQUOT:
        return texts::kNoSpace.toString();
    case EISDIR:
        return texts::kIsFolder.toString();
    default:
        return texts::kIoError.toString().arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

/// A temporary file beside the target, removed again unless it was renamed into place.
class TemporaryShowFile
{
public:
    explicit TemporaryShowFile(const QString &target) : m_target(QFile::encodeName(target)) {}
    ~TemporaryShowFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }
    TemporaryShowFile(const TemporaryShowFile &) = delete;
    TemporaryShowFile &operator=(const TemporaryShowFile &) = delete;

    /// Creates it with the target's permissions (or the umask's for a new file). Sets errno.
    bool Create()
    {
        const QFileInfo target(QFile::decodeName(m_target));
        const QByteArray stem = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                                  target.fileName() + QLatin1Char('.'));
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            const QByteArray path =
                stem + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
            m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                m_path = path;
            else if (errno != EEXIST)
                return false;
        }
        if (m_fd < 0)
            return false;
        struct stat existing;
        if (::stat(m_target.constData(), &existing) == 0 &&
            ::fchmod(m_fd, existing.st_mode & 07777) != 0)
            return false;
        return true;
    }

    /// Writes everything and flushes it to disk. Sets errno.
    bool WriteAndSync(const QByteArray &bytes)
    {
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, static_cast<size_t>(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            left -= written;
        }
        if (::fsync(m_fd) != 0)
            return false;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

    /// Renames it over the target, then flushes the folder so the rename itself is on disk.
    bool ReplaceTarget()
    {
        if (::rename(m_path.constData(), m_target.constData()) != 0)
            return false;
        m_path.clear();
        const QByteArray folder =
            QFile::encodeName(QFileInfo(QFile::decodeName(m_target)).absolutePath());
        const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd); // the show is saved either way; some file systems refuse this
            ::close(dirFd);
        }
        return true;
    }

private:
    QByteArray m_target;
    QByteArray m_path;
    int m_fd = -1;
};

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

    const QFileInfo info(path);
    if (!info.exists())
        return unreadable(texts::kNotFound);
    if (!info.isFile())
        return unreadable(texts::kNotAFile);
    if (!info.isReadable())
        return unreadable(texts::kNoPermission);
    if (info.size() > kMaxShowFileSize)
        return corrupt(texts::kTooLarge);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(texts::kIoError.toString().arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(texts::kIoError.toString().arg(file.errorString()));
    if (bytes.size() > kMaxShowFileSize) // it grew after the check above
        return corrupt(texts::kTooLarge);

    ShowFileParse parse = ShowFileReader::Parse(
        {reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size())});
    switch (parse.status) {
    case ShowFileStatus::Ok:
        return {{}, std::move(parse.content)};
    case ShowFileStatus::WrongVersion:
        return {Failure(parse.status, texts::kWrongVersion, path), {}};
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
    // Through a link, replace the show it points to and keep the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const bool hadFile = QFileInfo::exists(target);
    const auto failed = [&](int error) {
        ShowFileResult result =
            Failure(ShowFileStatus::Unwritable, texts::kUnwritable, path, ReasonOfErrno(error));
        if (hadFile)
            result.message += texts::kOldFileKept.toString();
        return result;
    };
    if (QFileInfo(target).isDir())
        return failed(EISDIR);

    const QByteArray bytes = ShowFileWriter::Encode(doc);
    TemporaryShowFile temporary(target);
    if (!temporary.Create() || !temporary.WriteAndSync(bytes) || !temporary.ReplaceTarget())
        return failed(errno);
    return {};
}

} // namespace orinsub::model
