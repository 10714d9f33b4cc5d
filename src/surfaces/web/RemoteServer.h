#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include "DeskState.h"
#include "RequestSlots.h"

#include <memory>
#include <vector>

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::web {

class PairingStore;
class RemoteRoutes;
struct RouteResult;
class WebSurface;

/// Where the remote listens: "[ADDRESS:]PORT" (127.0.0.1 when no address is given; an IPv6
/// address in brackets; port 0: any free port).
struct RemoteEndpoint
{
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0;

    /// Reads "[ADDRESS:]PORT"; false with a message in the operator's language.
    static bool Parse(const QString &text, RemoteEndpoint &endpoint, QString &error);
    QString ToString() const;
};

/// The web remote: serves the page and the WebSocket on one port. Each WebSocket connection is
/// a surface of its own on the control layer. Pairing is asked beyond the loopback address, or
/// everywhere when forced. At most kMaxConnections pages. Requests still arriving take at most
/// kMaxOpenRequests connections, at most kMaxOpenRequestsPerAddress from one address, and make
/// room for newcomers as RequestSlots has it (a paired device's own have places of their own);
/// they are dropped when they have not arrived whole within Patience::requestMs. Pages that fall
/// silent or cannot keep up are dropped too. UI thread only.
class RemoteServer : public QObject
{
    Q_OBJECT
public:
    RemoteServer(ControlLayer &layer, PairingStore &pairing, QObject *parent = nullptr);
    ~RemoteServer() override;

    /// Starts serving (stops first when already serving); false with the reason.
    bool Listen(const RemoteEndpoint &endpoint, bool pairingAlways, QString &error);
    void Stop();
    bool IsListening() const { return m_tcp.isListening(); }
    /// The port served (the one chosen by the system when 0 was asked).
    quint16 Port() const { return m_tcp.serverPort(); }
    QHostAddress Address() const { return m_tcp.serverAddress(); }
    bool IsPairingRequired() const { return m_pairingRequired; }
    int ConnectionCount() const { return static_cast<int>(m_surfaces.size()); }

    static constexpr int kMaxConnections = 16;
    static constexpr int kMaxOpenRequests = 32;
    static constexpr int kMaxOpenRequestsPerAddress = 8; // a browser opens six at most
    static constexpr int kListenBacklog = 1024;

    /// How long a request (head and body) may take to arrive from its connection's start, an
    /// answer to be taken, how often pages are pinged and how long one may stay silent before it
    /// is dropped.
    struct Patience
    {
        int requestMs = 2000;
        int answerMs = 5000;
        int pingMs = 5000;
        int silentMs = 20000;
    };
    /// Tests shorten them; takes effect with the next Listen.
    void SetPatience(const Patience &patience) { m_patience = patience; }

signals:
    void ConnectionCountChanged(int count);

private:
    void OnTcpConnection();
    void OnRequestData(QTcpSocket *socket);
    void DropRequest(QTcpSocket *socket);
    void Drop(QTcpSocket *socket);
    void Answer(QTcpSocket *socket, const QByteArray &reply);
    void OpenPage(QTcpSocket *socket, qsizetype requestSize, const RouteResult &upgrade);
    void OnSurfaceClosed(WebSurface *surface);
    void Housekeep();
    void CloseDevice(const QByteArray &tokenHash);

    ControlLayer &m_layer;
    PairingStore &m_pairing;
    QTcpServer m_tcp;
    std::unique_ptr<RemoteRoutes> m_routes;
    bool m_pairingRequired = true;
    Patience m_patience;
    RequestSlots<QTcpSocket *> m_openRequests;
    std::vector<WebSurface *> m_surfaces;
    DeskFeed m_deskFeed;
    QTimer m_housekeeping;
};

} // namespace orinsub::surfaces::web
