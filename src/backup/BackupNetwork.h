#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <memory>
#include <vector>

namespace orinsub::backup {

class BackupLink;

/// The backup link's connections over TCP: a main listens for its backups, a backup follows
/// its main and connects again whenever the connection is gone. Each connection's bytes go to
/// the link; a connection that has not greeted within a few seconds, and any beyond the few a
/// console needs, are closed (and counted as refused), so that no stranger holds the port.
/// UI thread only.
class BackupNetwork : public QObject
{
public:
    /// At most this many connections at once: a console has a backup or two.
    static constexpr int kMaxConnections = 4;
    static constexpr int kGreetingMs = 5000;
    static constexpr int kRetryMs = 200;

    explicit BackupNetwork(BackupLink &link, QObject *parent = nullptr);
    ~BackupNetwork() override;

    /// Listens for backups; false with the system's reason.
    bool Listen(const QHostAddress &address, quint16 port, QString &error);
    quint16 Port() const { return m_server.serverPort(); }
    /// Connects to the main at host:port, and again whenever the connection is gone.
    void Follow(const QString &host, quint16 port);
    /// Connections closed unheard or beyond the limit.
    int GetTurnedAway() const { return m_turnedAway; }

private:
    class Connection;
    void Adopt(QTcpSocket *socket, bool server);
    void Drop(Connection *connection);
    void ConnectToMain();

    BackupLink &m_link;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QString m_mainHost;
    quint16 m_mainPort = 0;
    Connection *m_toMain = nullptr;
    QTcpSocket *m_connecting = nullptr; // on its way to the main
    QTimer m_retry;
    int m_turnedAway = 0;
};

} // namespace orinsub::backup
