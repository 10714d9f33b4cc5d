#include "RemoteServer.h"

#include "HttpRequest.h"
#include "PairingStore.h"
#include "RemoteRoutes.h"
#include "WebSurface.h"
#include "WebTexts.h"
#include "surfaces/ControlLayer.h"

#include <QTcpSocket>
#include <QWebSocket>

#include <algorithm>

namespace orinsub::surfaces::web {

bool RemoteEndpoint::Parse(const QString &text, RemoteEndpoint &endpoint, QString &error)
{
    QString address;
    QString port = text;
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0) {
        address = text.left(colon);
        port = text.mid(colon + 1);
    }
    bool ok = false;
    const uint number = port.toUInt(&ok);
    RemoteEndpoint parsed;
    if (!ok || number > 65535 || port.startsWith(u'+')) {
        error = RemoteAddressInvalid(text);
        return false;
    }
    parsed.port = static_cast<quint16>(number);
    if (colon >= 0) {
        if (address.startsWith(u'[') && address.endsWith(u']'))
            address = address.mid(1, address.size() - 2);
        else if (address.contains(u':'))
            address.clear(); // an IPv6 address must come in brackets
        if (!parsed.address.setAddress(address)) {
            error = RemoteAddressInvalid(text);
            return false;
        }
    }
    endpoint = parsed;
    return true;
}

QString RemoteEndpoint::ToString() const
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

namespace {

// Where a peer is counted from: its IPv4 address, or the /64 network of an IPv6 one (a single
// device may take any address of its network).
QString AddressKey(const QHostAddress &address)
{
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    if (isIpv4)
        return QHostAddress(ipv4).toString();
    Q_IPV6ADDR bytes = address.toIPv6Address();
    std::fill(std::begin(bytes.c) + 8, std::end(bytes.c), 0);
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

} // namespace

RemoteServer::RemoteServer(ControlLayer &layer, PairingStore &pairing, QObject *parent)
    : QObject(parent), m_layer(layer), m_pairing(pairing),
      m_webSockets(QStringLiteral("OrinSUB"), QWebSocketServer::NonSecureMode),
      m_deskFeed(layer.GetDesk())
{
    m_webSockets.setMaxPendingConnections(kMaxConnections);
    connect(&m_tcp, &QTcpServer::newConnection, this, &RemoteServer::OnTcpConnection);
    connect(&m_webSockets, &QWebSocketServer::newConnection, this, &RemoteServer::OnWebSocket);
    connect(&m_pairing, &PairingStore::Forgotten, this, &RemoteServer::CloseDevice);
    connect(&m_housekeeping, &QTimer::timeout, this, &RemoteServer::Housekeep);
}

RemoteServer::~RemoteServer()
{
    Stop();
}

bool RemoteServer::Listen(const RemoteEndpoint &endpoint, bool pairingAlways, QString &error)
{
    Stop();
    if (!m_tcp.listen(endpoint.address, endpoint.port)) {
        error = RemoteListenFailed(endpoint.ToString(), m_tcp.errorString());
        return false;
    }
    m_pairingRequired = pairingAlways || !endpoint.address.isLoopback();
    m_routes = std::make_unique<RemoteRoutes>(m_pairing, m_tcp.serverPort(), m_pairingRequired);
    m_webSockets.setHandshakeTimeout(m_patience.answerMs);
    m_housekeeping.start(m_patience.pingMs);
    return true;
}

void RemoteServer::Stop()
{
    m_tcp.close();
    for (QTcpSocket *socket : m_openRequests.keys()) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_openRequests.clear();
    m_handshakes.clear();
    const std::vector<WebSurface *> surfaces = std::move(m_surfaces);
    m_surfaces.clear();
    for (WebSurface *surface : surfaces) {
        surface->disconnect(this);
        surface->Close();
        surface->deleteLater();
    }
    m_housekeeping.stop();
    if (!surfaces.empty())
        emit ConnectionCountChanged(0);
}

void RemoteServer::OnTcpConnection()
{
    while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
        const QString from = AddressKey(socket->peerAddress());
        if (m_openRequests.size() >= kMaxOpenRequests ||
            std::count(m_openRequests.cbegin(), m_openRequests.cend(), from) >=
                kMaxOpenRequestsPerAddress) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_openRequests.insert(socket, from);
        // Room for the largest request and one byte to tell it is too large: what a peer sends
        // waits in the system, not in the console's memory.
        socket->setReadBufferSize(kMaxRequest + 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequestData(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { DropRequest(socket); });
        QTimer::singleShot(m_patience.requestMs, socket, [this, socket] { DropRequest(socket); });
    }
}

void RemoteServer::DropRequest(QTcpSocket *socket)
{
    if (m_openRequests.remove(socket)) {
        socket->abort();
        socket->deleteLater();
    }
}

void RemoteServer::OnRequestData(QTcpSocket *socket)
{
    if (!m_openRequests.contains(socket))
        return;
    // Peeked, not read: an upgrade hands the untouched request on to the WebSocket server.
    const QByteArray received = socket->peek(kMaxRequest + 1);
    const HttpReadResult read = ReadHttpRequest(received);
    if (read.state == HttpReadResult::State::Incomplete)
        return;
    if (read.state == HttpReadResult::State::Refused) {
        Answer(socket, RemoteRoutes::RefusalReply(read.status));
        return;
    }
    const RouteResult route = m_routes->Route(read.request, m_openRequests.value(socket));
    if (route.kind == RouteResult::Kind::Reply) {
        Answer(socket, route.reply);
        return;
    }
    if (static_cast<int>(m_surfaces.size() + m_handshakes.size()) >= kMaxConnections) {
        Answer(socket, RemoteRoutes::BusyReply());
        return;
    }
    m_openRequests.remove(socket);
    socket->disconnect(this);
    const Peer peer{socket->peerAddress().toString(), socket->peerPort()};
    m_handshakes[peer] = {route.tokenHash, socket, QDeadlineTimer(m_patience.answerMs)};
    // A handshake the WebSocket server refuses closes its socket: the slot is free at once.
    connect(socket, &QAbstractSocket::stateChanged, this,
            [this, peer, socket](QAbstractSocket::SocketState state) {
                if (state != QAbstractSocket::ConnectedState)
                    EndHandshake(peer, socket);
            });
    m_webSockets.handleConnection(socket);
}

void RemoteServer::EndHandshake(const Peer &peer, const QTcpSocket *socket)
{
    const auto handshake = m_handshakes.find(peer);
    if (handshake != m_handshakes.end() && handshake->second.socket == socket)
        m_handshakes.erase(handshake);
}

void RemoteServer::Answer(QTcpSocket *socket, const QByteArray &reply)
{
    m_openRequests.remove(socket);
    socket->disconnect(this);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->deleteLater();
        return;
    }
    socket->readAll();
    socket->write(reply);
    socket->disconnectFromHost();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // A peer that never reads its answer is cut off all the same.
    QTimer::singleShot(m_patience.answerMs, socket, [socket] { socket->abort(); });
}

void RemoteServer::OnWebSocket()
{
    while (QWebSocket *socket = m_webSockets.nextPendingConnection()) {
        const auto handshake =
            m_handshakes.find({socket->peerAddress().toString(), socket->peerPort()});
        if (handshake == m_handshakes.end()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const QByteArray tokenHash = handshake->second.tokenHash;
        const QTcpSocket *transport = handshake->second.socket;
        disconnect(transport, nullptr, this, nullptr);
        m_handshakes.erase(handshake);
        auto *surface = new WebSurface(m_layer, socket, tokenHash, this);
        // The answers to a page's pings pile up when it never reads: looked at with every slice
        // read, not only at the next housekeeping.
        connect(transport, &QIODevice::readyRead, surface,
                [this, surface] { surface->DropIfStale(m_patience.silentMs); });
        connect(surface, &WebSurface::Closed, this, &RemoteServer::OnSurfaceClosed);
        m_surfaces.push_back(surface);
        m_deskFeed.Add(surface);
        emit ConnectionCountChanged(ConnectionCount());
    }
}

void RemoteServer::OnSurfaceClosed(WebSurface *surface)
{
    std::erase(m_surfaces, surface);
    surface->deleteLater();
    emit ConnectionCountChanged(ConnectionCount());
}

void RemoteServer::Housekeep()
{
    // A handshake the WebSocket server gave up on leaves its entry behind until it expires.
    std::erase_if(m_handshakes,
                  [](const auto &entry) { return entry.second.deadline.hasExpired(); });
    for (WebSurface *surface : std::vector<WebSurface *>(m_surfaces)) {
        surface->DropIfStale(m_patience.silentMs);
        surface->Ping();
    }
}

void RemoteServer::CloseDevice(const QByteArray &tokenHash)
{
    for (WebSurface *surface : std::vector<WebSurface *>(m_surfaces))
        if (surface->TokenHash() == tokenHash)
            surface->Close();
}

} // namespace orinsub::surfaces::web
