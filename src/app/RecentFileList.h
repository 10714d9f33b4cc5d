#pragma once

#include <QStringList>

namespace orinsub::app {

/// The recent-file list: the last shows opened or saved, most recent first, at most 4, kept in
/// the settings store (QSettings with the application's names) under "Recent File List" as
/// File1..File4. Every change is written at once, so a crash loses none of it.
class CRecentFileList
{
public:
    /// Reads the list from the settings store; empty and duplicate entries are dropped.
    CRecentFileList();

    /// Puts path (made absolute) at the top, removing an older entry of it and the fifth.
    void Add(const QString &path);
    /// Takes path out of the list (a show that could not be opened).
    void Remove(const QString &path);

    const QStringList &Files() const { return m_files; }
    bool IsEmpty() const { return m_files.isEmpty(); }

private:
    void Write() const;

    QStringList m_files;
};

} // namespace orinsub::app
