#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QHostAddress>

namespace orinsub::surfaces::web {

class PairingStore;

/// What the remote answers to one request.
struct RouteResult
{
    enum class Kind { Reply, Upgrade };
    Kind kind = Kind::Reply;
    QByteArray reply;     // the whole response (Upgrade: the handshake's answer)
    QByteArray tokenHash; // Upgrade: the paired device's, empty when pairing is not asked
};

/// The remote's HTTP side: the page and the files it loads, the pairing form's answer and the
/// WebSocket's door. Every request must name the console by the address it came to ("localhost"
/// when that is a loopback one) with the port it listens on: a DNS-rebinding name or another
/// address is refused. Whatever acts (pairing, WebSocket) must also come from the page's own
/// origin, and the WebSocket from a paired device when pairing is asked, with a handshake as
/// RFC 6455 has it (version 13, a key of 16 bytes).
class RemoteRoutes
{
public:
    RemoteRoutes(PairingStore &pairing, quint16 port, bool pairingRequired);

    /// Where a request travelled: from the address the pairing store keeps apart, to the
    /// console's address it reached.
    struct Path
    {
        QString from;
        QHostAddress to;
    };
    RouteResult Route(const HttpRequest &request, const Path &path) const;
    /// The paths that serve the page's files: "/" the page, then what it loads.
    static QByteArrayList PagePaths();
    /// The answer to a request that could not be read (status from ReadHttpRequest).
    static QByteArray RefusalReply(int status);
    /// The answer when the WebSocket connections are all taken.
    static QByteArray BusyReply();

    static constexpr char kTokenCookie[] = "orinsub_token";

private:
    bool IsOwnHost(const QByteArray &host, const QHostAddress &to) const;
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
