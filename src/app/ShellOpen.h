#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace orinsub::app {

struct StartOptions;

/// Where a start goes: on as this console, or to the console already running.
struct StartRoute
{
    bool runHere = true; // otherwise the program ends with status after printing message
    bool listen = true;  // this console takes the shows of later starts
    int status = 0;      // 0: message goes to standard output, else to standard error
    QString message;
};

/// Shows opened from the desktop while the console runs go to that console, not to a second
/// program driving the same interface: the first console listens on a local socket of the user
/// (and of the settings folder in use), later starts hand their show over (or bring it to the
/// front) and end. A request is one line, a show's absolute path or nothing; the answer is '1'
/// and the console's process id.
class CShellOpen : public QObject
{
public:
    explicit CShellOpen(QObject *parent = nullptr);

    /// The one place that decides whether a start runs a console of its own. A screenshot runs
    /// on its own without listening. While a console of the same settings folder runs, a start
    /// that names only a show hands it over, one without anything brings the console to the
    /// front, and one with options of its own is refused (status 2): they would not reach that
    /// console. The running console's socket is never taken.
    static StartRoute RouteStart(const StartOptions &options);

    /// From now on calls arrived with each request (a show's path, or empty for "come to the
    /// front") from the event loop, never inside the socket's handler: what it opens may ask
    /// the operator. False when the socket could not be made or belongs to a console that runs:
    /// this console runs on, only without hand-overs.
    bool Listen(std::function<void(const QString &)> arrived);

private:
    static QString SocketName();
    void Receive();
    void Answer(QLocalSocket *socket);

    QLocalServer *m_server;
    std::function<void(const QString &)> m_arrived;
};

} // namespace orinsub::app
