#include "RecoverySlot.h"

#include "AppResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

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
    struct Candidate
    {
        std::unique_ptr<QLockFile> lock;
        int number = 0;
        QDateTime written;
    };
    Candidate newest; // the free slot with the newest left copy
    Candidate empty;  // else the first free slot without one
    for (int number = 1; number <= kSlotCount; ++number) {
        const QFileInfo copy(SlotPath(folder, number, "orin"));
        if (!copy.exists() && empty.lock)
            continue;
        auto lock = std::make_unique<QLockFile>(SlotPath(folder, number, "lock"));
        lock->setStaleLockTime(0); // only a lock whose console is gone is stale
        if (!lock->tryLock(0))
            continue;
        if (!copy.exists())
            empty = {std::move(lock), number, {}};
        else if (!newest.lock || copy.lastModified() > newest.written)
            newest = {std::move(lock), number, copy.lastModified()};
    }
    Candidate &chosen = newest.lock ? newest : empty;
    if (!chosen.lock) {
        error = kRecoverySlotsBusy.arg(QDir::toNativeSeparators(folder));
        return nullptr;
    }
    return std::unique_ptr<CRecoverySlot>(
        new CRecoverySlot(folder, chosen.number, std::move(chosen.lock)));
}

CRecoverySlot::CRecoverySlot(QString folder, int number, std::unique_ptr<QLockFile> lock)
    : m_folder(std::move(folder)), m_number(number), m_lock(std::move(lock))
{
}

CRecoverySlot::~CRecoverySlot() = default;

QString CRecoverySlot::CopyPath() const
{
    return SlotPath(m_folder, m_number, "orin");
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
    QFile side(OriginalPathFile());
    QString original;
    if (side.open(QIODevice::ReadOnly))
        original = QString::fromUtf8(side.readAll());
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
