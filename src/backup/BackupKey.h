#pragma once

#include <QByteArray>
#include <QString>

namespace orinsub::backup {

/// The shared key of a main console and its backups, as read from its file; error says in the
/// operator's words why there is none.
struct BackupKeyRead
{
    QByteArray key;
    QString error;
};

/// The shortest key taken: 32 random bytes.
inline constexpr qsizetype kMinKeyBytes = 32;

/// Reads a key file: hexadecimal digits of at least kMinKeyBytes bytes (white space between them
/// is fine), in a regular file that only its owner may read or write. Any other file is refused,
/// so that a key nobody else can read stays so.
BackupKeyRead ReadBackupKey(const QString &path);

} // namespace orinsub::backup
