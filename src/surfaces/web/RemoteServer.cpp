#include "RemoteServer.h"

#include "HttpRequest.h"
#include "PairingStore.h"
#include "RemoteRoutes.h"
#include "WebSocketConnection.h"
#include "WebSurface.h"
#include "WebTexts.h"
#include "surfaces/ControlLayer.h"

#include <QTcpSocket>

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

// A page load asks for the page, then for everything it loads at once, then for /session and
// the WebSocket; a page loaded twice within a second is no flood.
RequestSlots<QTcpSocket *>::Limits OpenRequestLimits()
{
    const int pageFiles = static_cast<int>(RemoteRoutes::PagePaths().size());
    return {.open = RemoteServer::kMaxOpenRequests,
            .perAddress = RemoteServer::kMaxOpenRequestsPerAddress,
            .paired = RemoteServer::kMaxConnections,
            .connectsPerSecond = 2 * (pageFiles + 2),
            .together = pageFiles - 1};
}

} // namespace

RemoteServer::RemoteServer(ControlLayer &layer, PairingStore &pairing, QObject *parent)
    : QObject(parent), m_layer(layer), m_pairing(pairing), m_openRequests(OpenRequestLimits()),
      m_deskFeed(layer.GetDesk())
{
    // Room for the connections a flood brings while the UI thread takes a turn elsewhere: past
    // it the system drops a newcomer's first packet, and a phone waits a second to try again.
    m_tcp.setListenBacklogSize(kListenBacklog);
    connect(&m_tcp, &QTcpServer::newConnection, this, &RemoteServer::OnTcpConnection);
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
    m_housekeeping.start(m_patience.pingMs);
    return true;
}

void RemoteServer::Stop()
{
    m_tcp.close();
    for (QTcpSocket *socket : m_openRequests.TakeAll())
        Drop(socket);
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
        const auto admission = m_openRequests.Admit(socket, AddressKey(socket->peerAddress()),
                                                    std::chrono::steady_clock::now());
        if (admission.evicted)
            Drop(*admission.evicted);
        if (!admission.admitted) {
            Drop(socket);
            continue;
        }
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
    if (m_openRequests.Remove(socket))
        Drop(socket);
}

void RemoteServer::Drop(QTcpSocket *socket)
{
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void RemoteServer::OnRequestData(QTcpSocket *socket)
{
    if (!m_openRequests.Contains(socket))
        return;
    // Peeked, not read: the whole request is taken at once when it has arrived.
    const QByteArray received = socket->peek(kMaxRequest + 1);
    const HttpReadResult read = ReadHttpRequest(received);
    if (read.state == HttpReadResult::State::Incomplete) {
        if (m_pairingRequired && !m_openRequests.IsPaired(socket) &&
            m_pairing.IsPaired(
                CookieValue(ArrivedHeader(received, "cookie"), RemoteRoutes::kTokenCookie)))
            m_openRequests.MarkPaired(socket);
        return;
    }
    if (read.state == HttpReadResult::State::Refused) {
        Answer(socket, RemoteRoutes::RefusalReply(read.status));
        return;
    }
    const RouteResult route =
        m_routes->Route(read.request, {m_openRequests.AddressOf(socket), socket->localAddress()});
    if (route.kind == RouteResult::Kind::Reply) {
        Answer(socket, route.reply);
        return;
    }
    if (static_cast<int>(m_surfaces.size()) >= kMaxConnections) {
        Answer(socket, RemoteRoutes::BusyReply());
        return;
    }
    OpenPage(socket, received.size(), route);
}

void RemoteServer::OpenPage(QTcpSocket *socket, qsizetype requestSize, const RouteResult &upgrade)
{
    m_openRequests.Remove(socket);
    socket->disconnect(this);
    socket->read(requestSize);
    socket->write(upgrade.reply);
    auto *surface =
        new WebSurface(m_layer, new WebSocketConnection(socket), upgrade.tokenHash, this);
    connect(surface, &WebSurface::Closed, this, &RemoteServer::OnSurfaceClosed);
    m_surfaces.push_back(surface);
    m_deskFeed.Add(surface);
    emit ConnectionCountChanged(ConnectionCount());
}

void RemoteServer::Answer(QTcpSocket *socket, const QByteArray &reply)
{
    m_openRequests.Remove(socket);
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

void RemoteServer::OnSurfaceClosed(WebSurface *surface)
{
    std::erase(m_surfaces, surface);
    surface->deleteLater();
    emit ConnectionCountChanged(ConnectionCount());
}

void RemoteServer::Housekeep()
{
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
