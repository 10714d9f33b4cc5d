#include "BackupNetwork.h"

#include "BackupLink.h"

#include <QTcpSocket>

namespace orinsub::backup {

/// One TCP connection as the link's peer. The socket is the connection's; it goes with it.
class BackupNetwork::Connection : public BackupPeer
{
public:
    explicit Connection(QTcpSocket *socket) : m_socket(socket) { m_greeting.setSingleShot(true); }
    ~Connection() override { m_socket->deleteLater(); }

    void Send(const QByteArray &bytes) override { m_socket->write(bytes); }
    // Queued: the link may close a connection while it reads from it.
    void Close() override
    {
        QMetaObject::invokeMethod(m_socket, &QTcpSocket::abort, Qt::QueuedConnection);
    }

    QTcpSocket *Socket() const { return m_socket; }
    QTimer &GreetingDeadline() { return m_greeting; }
    bool greeted = false;

private:
    QTcpSocket *m_socket;
    QTimer m_greeting;
};

BackupNetwork::BackupNetwork(BackupLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    m_server.setMaxPendingConnections(kMaxConnections);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            Adopt(socket, true);
    });
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &BackupNetwork::ConnectToMain);
}

BackupNetwork::~BackupNetwork()
{
    m_retry.stop();
    for (const auto &connection : m_connections) {
        connection->Socket()->disconnect(this);
        m_link.Closed(connection.get());
    }
}

bool BackupNetwork::Listen(const QHostAddress &address, quint16 port, QString &error)
{
    if (m_server.listen(address, port))
        return true;
    error = m_server.errorString();
    return false;
}

void BackupNetwork::Follow(const QString &host, quint16 port)
{
    m_mainHost = host;
    m_mainPort = port;
    ConnectToMain();
    m_retry.start();
}

void BackupNetwork::ConnectToMain()
{
    if (m_toMain || m_connecting)
        return;
    QTcpSocket *socket = m_connecting = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        m_connecting = nullptr;
        Adopt(socket, false);
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
        if (m_connecting != socket)
            return; // a connection's end: its disconnection tells
        m_connecting = nullptr;
        socket->deleteLater(); // the retry timer tries again
    });
    socket->connectToHost(m_mainHost, m_mainPort);
}

void BackupNetwork::Adopt(QTcpSocket *socket, bool server)
{
    if (static_cast<int>(m_connections.size()) >= kMaxConnections) {
        ++m_turnedAway;
        socket->abort();
        socket->deleteLater();
        return;
    }
    auto owned = std::make_unique<Connection>(socket);
    Connection *connection = owned.get();
    m_connections.push_back(std::move(owned));
    if (!server)
        m_toMain = connection;
    connect(socket, &QTcpSocket::readyRead, this, [this, connection] {
        connection->greeted = true;
        m_link.Received(connection, connection->Socket()->readAll());
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, connection] { Drop(connection); });
    connect(&connection->GreetingDeadline(), &QTimer::timeout, this, [this, connection] {
        if (!connection->greeted) {
            ++m_turnedAway;
            connection->Close();
        }
    });
    connection->GreetingDeadline().start(kGreetingMs);
    m_link.Opened(connection, server);
}

void BackupNetwork::Drop(Connection *connection)
{
    m_link.Closed(connection);
    if (m_toMain == connection)
        m_toMain = nullptr; // the retry timer connects again
    std::erase_if(m_connections, [connection](const auto &c) { return c.get() == connection; });
}

} // namespace orinsub::backup
