#include "RecentFileList.h"

#include "AppResources.h"
#include "model/SettingsReader.h"

#include <QFileInfo>
#include <QSettings>

namespace orinsub::app {

namespace {

constexpr qsizetype kMaxPathLength = 4096; // the system's own limit

} // namespace

CRecentFileList::CRecentFileList()
{
    QSettings settings;
    settings.beginGroup(kRecentFileGroup);
    const model::SettingsReader read(settings);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = read.String(kRecentFileKey.arg(i), kMaxPathLength);
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
}

void CRecentFileList::Add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > kRecentFileCount)
        m_files.removeLast();
    Write();
}

void CRecentFileList::Remove(const QString &path)
{
    if (m_files.removeAll(path) + m_files.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        Write();
}

void CRecentFileList::Write() const
{
    QSettings settings;
    settings.beginGroup(kRecentFileGroup);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        if (i <= m_files.size())
            settings.setValue(kRecentFileKey.arg(i), m_files[i - 1]);
        else
            settings.remove(kRecentFileKey.arg(i));
    }
}

} // namespace orinsub::app
