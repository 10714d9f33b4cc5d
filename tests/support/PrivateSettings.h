#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

namespace orinsub::testing {

/// A settings store and a state folder (recovery copies) of its own in a temporary folder, for
/// the life of the object: the operator's own stay untouched.
class PrivateSettings
{
public:
    PrivateSettings() : m_state(qgetenv("XDG_STATE_HOME"))
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
        qputenv("XDG_STATE_HOME", folder.filePath("state").toLocal8Bit());
    }
    ~PrivateSettings()
    {
        if (m_state.isEmpty())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", m_state);
    }
    PrivateSettings(const PrivateSettings &) = delete;
    PrivateSettings &operator=(const PrivateSettings &) = delete;

    /// Where the console keeps its recovery copies.
    QString StateFolder() const { return folder.filePath("state/OrinSUB"); }
    QTemporaryDir folder;

private:
    QByteArray m_state;
};

} // namespace orinsub::testing
