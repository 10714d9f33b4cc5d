#include "ShellOpen.h"

#include "AppResources.h"
#include "CommandLine.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <unistd.h>

namespace orinsub::app {

namespace {

// A console answers from its event loop at once, a busy one within a few seconds.
constexpr int kConnectWaitMs = 1000;
constexpr int kAnswerWaitMs = 5000;
// A client that says nothing is let go; a request is one path.
constexpr int kRequestWaitMs = 5000;
constexpr qint64 kMaxRequestBytes = 8192;
constexpr char kTaken = '1';

} // namespace

CShellOpen::CShellOpen(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
}

QString CShellOpen::SocketName()
{
    const QByteArray settings =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toUtf8();
    return QStringLiteral("orinsub-%1-%2")
        .arg(getuid())
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(settings, QCryptographicHash::Sha1).toHex().left(12)));
}

StartRoute CShellOpen::RouteStart(const StartOptions &options)
{
    if (!options.screenshot.isEmpty())
        return {true, false, 0, {}};
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(kConnectWaitMs))
        return {}; // none runs (a socket left by one that ended refuses)
    if (!options.consoleOptions.isEmpty())
        return {false, false, 2, kOptionsForRunningConsole.arg(options.consoleOptions.join(u' '))};

    const QString show =
        options.show.isEmpty() ? QString() : QFileInfo(options.show).absoluteFilePath();
    socket.write(show.toUtf8() + '\n');
    socket.waitForBytesWritten(kAnswerWaitMs);
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxRequestBytes &&
           socket.waitForReadyRead(kAnswerWaitMs)) {
    }
    const QByteArray answer = socket.readLine(kMaxRequestBytes).trimmed();
    if (!answer.startsWith(kTaken))
        return {false, false, 1, kRunningConsoleSilent};
    const QString console = QString::fromLatin1(answer.mid(1).trimmed());
    return {false, false, 0,
            show.isEmpty() ? kConsoleBroughtForward.arg(console)
                           : kShowHandedOver.arg(console, show)};
}

bool CShellOpen::Listen(std::function<void(const QString &)> arrived)
{
    m_arrived = std::move(arrived);
    connect(m_server, &QLocalServer::newConnection, this, &CShellOpen::Receive);
    // Listening takes the name over even from a console that answers there, which would then
    // never hear of a show again; one left by a console that ended answers nobody.
    QLocalSocket probe;
    probe.connectToServer(SocketName());
    return !probe.waitForConnected(kConnectWaitMs) && m_server->listen(SocketName());
}

void CShellOpen::Receive()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // The server owns the socket; it goes once the client has gone, from the event loop.
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kRequestWaitMs, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
    }
}

void CShellOpen::Answer(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const QByteArray line = socket->readLine(kMaxRequestBytes);
    if (!line.endsWith('\n')) { // longer than any path
        socket->abort();
        return;
    }
    const QString request = QString::fromUtf8(line.chopped(1));
    socket->write(kTaken + QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    socket->disconnectFromServer(); // once the answer is out
    // Nothing that may ask the operator runs inside a socket's handler: a modal box would run
    // the event loop, which may delete the socket under the handler.
    QMetaObject::invokeMethod(
        this, [this, request] { m_arrived(request); }, Qt::QueuedConnection);
}

} // namespace orinsub::app
