#pragma once

#include "HttpRequest.h"

#include <QByteArray>

namespace orinsub::surfaces::web {

class PairingStore;

/// What the remote answers to one request.
struct RouteResult
{
    enum class Kind { Reply, Upgrade };
    Kind kind = Kind::Reply;
    QByteArray reply;     // Reply: the whole response
    QByteArray tokenHash; // Upgrade: the paired device's, empty when pairing is not asked
};

/// The remote's HTTP side: the page and its two files, the pairing form's answer and the
/// WebSocket's door. Every request must name the console by an IP address or "localhost" with the
/// port it listens on (a DNS-rebinding name is refused); whatever acts (pairing, WebSocket) must
/// also come from the page's own origin, and the WebSocket from a paired device when pairing is
/// asked.
class RemoteRoutes
{
public:
    RemoteRoutes(PairingStore &pairing, quint16 port, bool pairingRequired);

    /// from: the address the request came from, as the pairing store keeps it apart.
    RouteResult Route(const HttpRequest &request, const QString &from) const;
    /// The answer to a request that could not be read (status from ReadHttpRequest).
    static QByteArray RefusalReply(int status);
    /// The answer when the WebSocket connections are all taken.
    static QByteArray BusyReply();

    static constexpr char kTokenCookie[] = "orinsub_token";

private:
    bool IsOwnHost(const QByteArray &host) const;
    bool IsOwnOrigin(const HttpRequest &request) const;
    bool IsPairedRequest(const HttpRequest &request) const;
    QByteArray SessionReply(const HttpRequest &request, const QString &from) const;
    QByteArray PairReply(const HttpRequest &request, const QString &from) const;
    RouteResult WebSocketDoor(const HttpRequest &request) const;

    PairingStore &m_pairing;
    quint16 m_port;
    bool m_pairingRequired;
};

/// A short name for a device from its browser's User-Agent ("iPhone Safari", "Android Chrome").
QString DeviceNameFromAgent(const QByteArray &userAgent);

} // namespace orinsub::surfaces::web
