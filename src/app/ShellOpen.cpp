#include "ShellOpen.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace orinsub::app {

namespace {
constexpr int kAnswerWaitMs = 1000;
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

bool CShellOpen::HandToRunningConsole(const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(kAnswerWaitMs))
        return false;
    socket.write(QFileInfo(path).absoluteFilePath().toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kAnswerWaitMs) || !socket.waitForReadyRead(kAnswerWaitMs))
        return false;
    return socket.read(1) == QByteArray(1, kTaken);
}

bool CShellOpen::Listen(std::function<void(const QString &)> open)
{
    m_open = std::move(open);
    connect(m_server, &QLocalServer::newConnection, this, &CShellOpen::Receive);
    if (m_server->listen(SocketName()))
        return true;
    // Left behind by a console that ended without closing it: nobody answers there any more.
    QLocalServer::removeServer(SocketName());
    return m_server->listen(SocketName());
}

void CShellOpen::Receive()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QString path = QString::fromUtf8(socket->readLine()).trimmed();
            socket->write(QByteArray(1, kTaken));
            socket->flush();
            if (m_open && !path.isEmpty())
                m_open(path);
        });
    }
}

} // namespace orinsub::app
