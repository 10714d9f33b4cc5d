#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace orinsub::app {

/// Shows opened from the desktop while the console runs go to that console, not to a second
/// program driving the same interface: the first console listens on a local socket of the user
/// (and of the settings folder in use), later starts with a show hand it over and end.
class CShellOpen : public QObject
{
public:
    explicit CShellOpen(QObject *parent = nullptr);

    /// Hands path to a console already running; true when one took it (it opens the show and
    /// comes to the front). False when none runs or it did not answer within a second.
    static bool HandToRunningConsole(const QString &path);

    /// From now on calls open with every show handed over (on the UI thread). False when the
    /// socket could not be made: the console runs on, only without hand-overs.
    bool Listen(std::function<void(const QString &)> open);

private:
    static QString SocketName();
    void Receive();

    QLocalServer *m_server;
    std::function<void(const QString &)> m_open;
};

} // namespace orinsub::app
