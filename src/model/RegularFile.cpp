#include "RegularFile.h"

#include "ShowFileTexts.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orinsub::model {

namespace {

RegularFileRead Failed(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return {{}, FileReadProblem::NotFound, {}};
    case EACCES:
    case EPERM:
        return {{}, FileReadProblem::NoPermission, {}};
    default:
        return {{}, FileReadProblem::IoError, QString::fromLocal8Bit(std::strerror(error))};
    }
}

/// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QString RegularFileRead::Reason() const
{
    switch (problem) {
    case FileReadProblem::NotFound:
        return texts::kNotFound.toString();
    case FileReadProblem::NotAFile:
        return texts::kNotAFile.toString();
    case FileReadProblem::NoPermission:
        return texts::kNoPermission.toString();
    case FileReadProblem::IoError:
        return texts::kIoError.toString().arg(systemError);
    case FileReadProblem::None:
    case FileReadProblem::TooLarge:
        break;
    }
    return {};
}

RegularFileRead ReadRegularFile(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    // Looked at before it is opened: opening a FIFO waits for a writer, a device may act on it.
    if (::stat(name.constData(), &info) != 0)
        return Failed(errno);
    if (!S_ISREG(info.st_mode))
        return {{}, FileReadProblem::NotAFile, {}};
    if (info.st_size > maxBytes)
        return {{}, FileReadProblem::TooLarge, {}};
    // Non-blocking, and looked at again: the name may have been given to something else since.
    const Descriptor file(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0)
        return Failed(errno);
    if (::fstat(file.Get(), &info) != 0)
        return Failed(errno);
    if (!S_ISREG(info.st_mode))
        return {{}, FileReadProblem::NotAFile, {}};

    RegularFileRead read;
    read.bytes.resize(static_cast<qsizetype>(std::min<qint64>(info.st_size, maxBytes) + 1));
    qsizetype filled = 0;
    while (true) {
        if (filled == read.bytes.size()) {
            if (filled > maxBytes)
                return {{}, FileReadProblem::TooLarge, {}};
            read.bytes.resize(std::min<qint64>(maxBytes + 1, 2 * filled));
        }
        const ssize_t got = ::read(file.Get(), read.bytes.data() + filled,
                                   static_cast<size_t>(read.bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failed(errno);
        if (got == 0)
            break;
        filled += got;
    }
    read.bytes.truncate(filled);
    return read;
}

} // namespace orinsub::model
