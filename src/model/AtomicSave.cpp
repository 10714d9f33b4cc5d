#include "AtomicSave.h"

#include "ShowFileTexts.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orinsub::model {

namespace {

// The kernel gives up on a path after as many links.
constexpr int kMaxLinkHops = 40;

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

/// The file that path finally names: symbolic links are followed even when the last one
/// points to nothing yet, so that saving creates its target instead of replacing the link.
/// Empty, with errno set, for a loop of links.
QByteArray FinalTarget(QByteArray path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), target, sizeof target);
        if (length < 0)
            return path; // not a link, or not there yet; the save itself reports real errors
        if (length == sizeof target) {
            errno = ENAMETOOLONG;
            return {};
        }
        const QByteArray link(target, length);
        const qsizetype slash = path.lastIndexOf('/');
        path = link.startsWith('/') || slash < 0 ? link : path.left(slash + 1) + link;
    }
    errno = ELOOP;
    return {};
}

/// One save of bytes over a file, all steps relative to its folder, so that the temporary
/// file lands beside the target and the folder can be flushed after the rename. Every step
/// returns false with errno set; whatever is left unfinished is undone on destruction.
class AtomicReplacement
{
public:
    AtomicReplacement() = default;
    ~AtomicReplacement()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temporaryName.isEmpty())
            ::unlinkat(m_folderFd, m_temporaryName.constData(), 0);
        if (m_folderFd >= 0)
            ::close(m_folderFd);
    }
    AtomicReplacement(const AtomicReplacement &) = delete;
    AtomicReplacement &operator=(const AtomicReplacement &) = delete;

    bool HadFile() const { return m_hadFile; }

    /// Opens the target's folder and checks that the target may be replaced: a folder may not,
    /// nor a file the user could not open for writing, since a rename would ignore its
    /// permissions.
    bool OpenTarget(const QByteArray &target)
    {
        const qsizetype slash = target.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax(slash, 1));
        m_name = target.mid(slash + 1);
        if (m_name.isEmpty()) {
            errno = EISDIR;
            return false;
        }
        m_folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folderFd < 0 && errno == EACCES) // a folder we may write but not list
            m_folderFd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_folderFd < 0)
            return false;

        if (::fstatat(m_folderFd, m_name.constData(), &m_existing, 0) != 0)
            return errno == ENOENT;
        m_hadFile = true;
        if (S_ISDIR(m_existing.st_mode)) {
            errno = EISDIR;
            return false;
        }
        // Asked, not opened for writing, so that nothing watching the file sees a write.
        return ::faccessat(m_folderFd, m_name.constData(), W_OK, AT_EACCESS) == 0;
    }

    /// Creates the temporary file with the target's permissions (or the umask's for a new
    /// file). Its name is short and fixed in length, so that it fits in any folder whatever
    /// the target's name: 14 bytes, the shortest name limit POSIX allows a file system.
    bool CreateTemporary()
    {
        constexpr quint64 kNames = 101'559'956'668'416; // 36^9: nine base-36 digits
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            const QByteArray name =
                ".orin" + QByteArray::number(QRandomGenerator::global()->generate64() % kNames, 36)
                              .rightJustified(9, '0');
            m_fd = ::openat(m_folderFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            0666);
            if (m_fd >= 0)
                m_temporaryName = name;
            else if (errno != EEXIST)
                return false;
        }
        if (m_fd < 0)
            return false;
        return !m_hadFile || ::fchmod(m_fd, m_existing.st_mode & 07777) == 0;
    }

    /// Writes everything and flushes it to disk.
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

    /// Renames the temporary file over the target, then flushes the folder so that the rename
    /// itself is on disk.
    bool ReplaceTarget()
    {
        if (::renameat(m_folderFd, m_temporaryName.constData(), m_folderFd, m_name.constData()) !=
            0)
            return false;
        m_temporaryName.clear();
        ::fsync(m_folderFd); // the file is saved either way; some file systems refuse this
        return true;
    }

private:
    QByteArray m_name;
    QByteArray m_temporaryName;
    int m_folderFd = -1;
    int m_fd = -1;
    bool m_hadFile = false;
    struct stat m_existing
    {
    };
};

} // namespace

ShowFileResult SaveBytesAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicReplacement replacement;
    const QByteArray target = FinalTarget(QFile::encodeName(path));
    if (!target.isEmpty() && replacement.OpenTarget(target) && replacement.CreateTemporary() &&
        replacement.WriteAndSync(bytes) && replacement.ReplaceTarget())
        return {};

    const int error = errno;
    // Both at once, so that a '%' in the file name is never taken for a placeholder.
    ShowFileResult result{ShowFileStatus::Unwritable,
                          texts::kUnwritable.toString().arg(path, ReasonOfErrno(error))};
    if (replacement.HadFile())
        result.message += texts::kOldFileKept.toString();
    return result;
}

} // namespace orinsub::model
