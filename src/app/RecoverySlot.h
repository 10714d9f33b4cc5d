#pragma once

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

namespace orinsub::app {

/// A recovery copy that a console left behind when it ended without a normal close.
struct LeftRecoveryCopy
{
    QString copy;     // the copy's file
    QString original; // the show's path it was made from; empty for an untitled show
    QDateTime written;

    /// True when the copy holds work the show on disk does not: the show is untitled, gone or
    /// older than the copy.
    bool IsNewerThanShow() const;
};

/// Where one console keeps its recovery copy: a numbered copy with a side file naming the
/// show's path, and the desk's live state beside them, in the user's state folder, held by a
/// lock for as long as the console runs, so that two consoles never write over each other's
/// files. The lock goes with the process, however it ends.
class CRecoverySlot
{
public:
    /// $XDG_STATE_HOME/OrinSUB, or ~/.local/state/OrinSUB without it.
    static QString StateFolder();

    /// Claims a free slot in folder, preferring the one whose left copy or live state is newest.
    /// Null when the folder cannot be made or every slot is held; error then says why.
    static std::unique_ptr<CRecoverySlot> Claim(const QString &folder, QString &error);
    ~CRecoverySlot();
    CRecoverySlot(const CRecoverySlot &) = delete;
    CRecoverySlot &operator=(const CRecoverySlot &) = delete;

    QString CopyPath() const;
    /// The file of the desk's live state.
    QString LiveStatePath() const;
    /// The side file that holds the show's path (UTF-8, empty for an untitled show).
    QString OriginalPathFile() const;
    /// The copy a console left in this slot, if any.
    std::optional<LeftRecoveryCopy> Left() const;
    /// Where SetAside puts the left copy: beside the slots, named after the show and the time
    /// the copy was written.
    QString AsidePath(const LeftRecoveryCopy &left) const;
    /// Renames the left copy to AsidePath (the side file goes); false when that failed.
    bool SetAside(const LeftRecoveryCopy &left) const;

private:
    CRecoverySlot(QString folder, int number, int lockFd);
    static QString SlotPath(const QString &folder, int number, const char *suffix);
    /// The open lock file of a slot no running console holds, locked; -1 when one holds it.
    static int LockSlot(const QString &folder, int number);

    QString m_folder;
    int m_number;
    int m_lockFd; // held open (and locked) for the console's life; the lock ends with the process
};

} // namespace orinsub::app
