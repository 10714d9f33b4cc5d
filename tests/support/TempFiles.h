#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orinsub::testing {

/// Replaces the file at path with bytes; false when they did not all get there.
[[nodiscard]] inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

/// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A folder of the test's own, gone with it.
class TempFolder
{
public:
    QString Path() const { return m_dir.path(); }
    QString PathOf(const QString &name) const { return m_dir.filePath(name); }
    /// Writes the file of that name in the folder; its path. A failed write fails the test.
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = PathOf(name);
        EXPECT_TRUE(WriteFile(path, bytes)) << path.toStdString();
        return path;
    }
    /// Everything in the folder, hidden entries included.
    QStringList Entries() const
    {
        return QDir(Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace orinsub::testing
