#include "RecoverySlot.h"

#include "AppResources.h"
#include "model/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace orinsub::app {

namespace {

// More consoles than this on one account at once go without recovery copies.
constexpr int kSlotCount = 8;

} // namespace

bool LeftRecoveryCopy::IsNewerThanShow() const
{
    if (original.isEmpty())
        return true;
    const QFileInfo show(original);
    return !show.exists() || show.lastModified() < written;
}

QString CRecoverySlot::StateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative path is invalid there and ignored, as the other XDG folders do.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + u'/' + kSettingsApplication;
}

QString CRecoverySlot::SlotPath(const QString &folder, int number, const char *suffix)
{
    return QStringLiteral("%1/recovery-%2.%3").arg(folder).arg(number).arg(QLatin1String(suffix));
}

std::unique_ptr<CRecoverySlot> CRecoverySlot::Claim(const QString &folder, QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = kRecoveryFolderFailed.arg(QDir::toNativeSeparators(folder));
        return nullptr;
    }
    // Slots with something left first, newest first; then the others in order.
    std::vector<std::pair<QDateTime, int>> order;
    for (int number = 1; number <= kSlotCount; ++number) {
        QDateTime newest;
        for (const char *suffix : {"orin", "live"}) {
            const QFileInfo left(SlotPath(folder, number, suffix));
            if (left.exists() && (newest.isNull() || left.lastModified() > newest))
                newest = left.lastModified();
        }
        order.emplace_back(newest, number);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[written, number] : order) {
        const int lockFd = LockSlot(folder, number);
        if (lockFd >= 0)
            return std::unique_ptr<CRecoverySlot>(new CRecoverySlot(folder, number, lockFd));
    }
    error = kRecoverySlotsBusy.arg(QDir::toNativeSeparators(folder));
    return nullptr;
}

int CRecoverySlot::LockSlot(const QString &folder, int number)
{
    const int fd = ::open(QFile::encodeName(SlotPath(folder, number, "lock")).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

CRecoverySlot::CRecoverySlot(QString folder, int number, int lockFd)
    : m_folder(std::move(folder)), m_number(number), m_lockFd(lockFd)
{
}

CRecoverySlot::~CRecoverySlot()
{
    ::close(m_lockFd);
}

QString CRecoverySlot::CopyPath() const
{
    return SlotPath(m_folder, m_number, "orin");
}

QString CRecoverySlot::LiveStatePath() const
{
    return SlotPath(m_folder, m_number, "live");
}

QString CRecoverySlot::OriginalPathFile() const
{
    return SlotPath(m_folder, m_number, "path");
}

std::optional<LeftRecoveryCopy> CRecoverySlot::Left() const
{
    const QFileInfo copy(CopyPath());
    if (!copy.exists())
        return std::nullopt;
    // A path longer than any file system takes is damage: the copy then counts as untitled.
    constexpr qint64 kMaxPathBytes = 4096;
    const model::RegularFileRead side = model::ReadRegularFile(OriginalPathFile(), kMaxPathBytes);
    const QString original = side.IsOk() ? QString::fromUtf8(side.bytes) : QString();
    return LeftRecoveryCopy{copy.absoluteFilePath(), original, copy.lastModified()};
}

QString CRecoverySlot::AsidePath(const LeftRecoveryCopy &left) const
{
    const QString title =
        left.original.isEmpty() ? kUntitledName : QFileInfo(left.original).completeBaseName();
    const QString stem =
        QStringLiteral("%1/%2 %3")
            .arg(m_folder, title, left.written.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = stem + QStringLiteral(".orin");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QStringLiteral("%1 (%2).orin").arg(stem).arg(n);
    return path;
}

bool CRecoverySlot::SetAside(const LeftRecoveryCopy &left) const
{
    if (!QFile::rename(left.copy, AsidePath(left)))
        return false;
    QFile::remove(OriginalPathFile());
    return true;
}

} // namespace orinsub::app
