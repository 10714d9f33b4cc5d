#include "RemoteRoutes.h"

#include "PairingStore.h"
#include "WebSocketFrame.h"
#include "WebTexts.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>

// The page lives in a static library: its resources are registered by hand.
static void RegisterPageResources()
{
    Q_INIT_RESOURCE(remote);
}

namespace orinsub::surfaces::web {

namespace {

QByteArray StatusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 413:
        return "Content Too Large";
    case 421:
        return "Misdirected Request";
    case 426:
        return "Upgrade Required";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

QByteArray Reply(int status, const QByteArray &type, const QByteArray &body,
                 const QByteArray &extraHeaders = {})
{
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + ' ' + StatusText(status) + "\r\n";
    if (!type.isEmpty())
        reply += "Content-Type: " + type + "\r\n";
    reply += "Content-Length: " + QByteArray::number(body.size()) +
             "\r\n"
             "Cache-Control: no-store\r\n"
             "X-Content-Type-Options: nosniff\r\n"
             "Referrer-Policy: no-referrer\r\n"
             "Content-Security-Policy: default-src 'self'; frame-ancestors 'none'\r\n"
             "Connection: close\r\n" +
             extraHeaders + "\r\n" + body;
    return reply;
}

QByteArray JsonReply(int status, const QJsonObject &object)
{
    return Reply(status, "application/json", QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QByteArray TextReply(int status, const QString &text)
{
    return Reply(status, "text/plain; charset=utf-8", text.toUtf8());
}

// The page's files are the resources under this folder; what a file is, its ending tells.
constexpr char kPageFolder[] = ":/orinsub/remote/";
constexpr char kPageIndex[] = "index.html";

struct PageType
{
    const char *ending;
    const char *type;
};

constexpr PageType kPageTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
};

/// The page's files by the path that serves each ("/" the page itself), read once from the
/// resources: a request can name nothing else.
const std::map<QByteArray, QByteArray> &PageFiles()
{
    static const std::map<QByteArray, QByteArray> files = [] {
        RegisterPageResources();
        std::map<QByteArray, QByteArray> byPath;
        const QDir folder(QString::fromLatin1(kPageFolder));
        for (const QString &name : folder.entryList(QDir::Files)) {
            const QByteArray file = name.toUtf8();
            byPath[file == kPageIndex ? QByteArray("/") : '/' + file] = file;
        }
        return byPath;
    }();
    return files;
}

QByteArray PageFileReply(const QByteArray &file)
{
    const auto type = std::find_if(std::begin(kPageTypes), std::end(kPageTypes),
                                   [&](const PageType &t) { return file.endsWith(t.ending); });
    QFile resource(QString::fromLatin1(kPageFolder) + QString::fromUtf8(file));
    if (type == std::end(kPageTypes) || !resource.open(QIODevice::ReadOnly))
        return TextReply(404, kNotFoundText);
    return Reply(200, type->type, resource.readAll());
}

// Whether a comma-separated header (Connection: keep-alive, Upgrade) holds token, in any case.
bool HasToken(const QByteArray &header, QByteArrayView token)
{
    for (const QByteArray &item : header.split(','))
        if (item.trimmed().toLower() == token)
            return true;
    return false;
}

QByteArray CodeFromForm(const QByteArray &body)
{
    for (const QByteArray &pair : body.split('&'))
        if (pair.startsWith("code="))
            return pair.mid(5);
    return {};
}

} // namespace

RemoteRoutes::RemoteRoutes(PairingStore &pairing, quint16 port, bool pairingRequired)
    : m_pairing(pairing), m_port(port), m_pairingRequired(pairingRequired)
{
}

bool RemoteRoutes::IsOwnHost(const QByteArray &host, const QHostAddress &to) const
{
    // The address the request reached, or "localhost" on a loopback one, then our port: a name
    // that a foreign DNS answers, or an address the console was not asked at, is refused.
    QByteArray name = host;
    quint16 port = 80;
    const qsizetype colon = host.lastIndexOf(':');
    const qsizetype bracket = host.lastIndexOf(']');
    if (colon > bracket) {
        bool ok = false;
        const QByteArray portText = host.mid(colon + 1);
        port = portText.toUShort(&ok);
        if (!ok || portText.size() > 5 || portText.startsWith('+'))
            return false;
        name = host.left(colon);
    }
    if (port != m_port || name.isEmpty())
        return false;
    if (name == "localhost")
        return to.isLoopback();
    if (name.startsWith('[') != name.endsWith(']'))
        return false;
    const bool bracketed = name.startsWith('[');
    if (bracketed)
        name = name.mid(1, name.size() - 2);
    QHostAddress address;
    if (!address.setAddress(QString::fromLatin1(name)) ||
        !address.isEqual(to, QHostAddress::ConvertV4MappedToIPv4))
        return false;
    // An IPv6 address only in brackets, an IPv4 one only in its dotted form.
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return bracketed;
    return !bracketed && address.toString().toLatin1() == name;
}

bool RemoteRoutes::IsOwnOrigin(const HttpRequest &request) const
{
    return request.Header("origin") == "http://" + request.Header("host");
}

bool RemoteRoutes::IsPairedRequest(const HttpRequest &request) const
{
    return m_pairing.IsPaired(CookieValue(request.Header("cookie"), kTokenCookie));
}

RouteResult RemoteRoutes::Route(const HttpRequest &request, const Path &path) const
{
    const QString &from = path.from;
    if (!IsOwnHost(request.Header("host"), path.to))
        return {RouteResult::Kind::Reply, TextReply(421, kForeignHostText), {}};
    const bool get = request.method == "GET";
    if (get) {
        if (const auto file = PageFiles().find(request.path); file != PageFiles().end())
            return {RouteResult::Kind::Reply, PageFileReply(file->second), {}};
        if (request.path == "/session")
            return {RouteResult::Kind::Reply, SessionReply(request, from), {}};
        if (request.path == "/ws")
            return WebSocketDoor(request);
        return {RouteResult::Kind::Reply, TextReply(404, kNotFoundText), {}};
    }
    if (request.path != "/pair")
        return {RouteResult::Kind::Reply, TextReply(404, kNotFoundText), {}};
    if (!IsOwnOrigin(request))
        return {RouteResult::Kind::Reply, TextReply(403, kForeignOriginText), {}};
    if (!m_pairingRequired)
        return {RouteResult::Kind::Reply, TextReply(404, kNotFoundText), {}};
    return {RouteResult::Kind::Reply, PairReply(request, from), {}};
}

QByteArray RemoteRoutes::SessionReply(const HttpRequest &request, const QString &from) const
{
    return JsonReply(200,
                     {{QStringLiteral("paired"), !m_pairingRequired || IsPairedRequest(request)},
                      {QStringLiteral("open"), m_pairing.IsOpen()},
                      {QStringLiteral("locked"), m_pairing.LockedSeconds(from)}});
}

QByteArray RemoteRoutes::PairReply(const HttpRequest &request, const QString &from) const
{
    QByteArray token;
    const PairingStore::Answer answer = m_pairing.TryCode(
        CodeFromForm(request.body), DeviceNameFromAgent(request.Header("user-agent")), from, token);
    const QJsonObject wait{{QStringLiteral("locked"), m_pairing.LockedSeconds(from)}};
    switch (answer) {
    case PairingStore::Answer::Paired:
        // Ten years: the device stays paired until the operator forgets it.
        return Reply(204, {}, {},
                     QByteArray("Set-Cookie: ") + kTokenCookie + '=' + token +
                         "; Path=/; Max-Age=315360000; HttpOnly; SameSite=Strict\r\n");
    case PairingStore::Answer::Wrong:
        return JsonReply(403, wait);
    case PairingStore::Answer::Locked:
        return JsonReply(429, wait);
    case PairingStore::Answer::Closed:
        break;
    }
    return TextReply(409, kPairingClosedText);
}

RouteResult RemoteRoutes::WebSocketDoor(const HttpRequest &request) const
{
    const bool upgrade = request.Header("upgrade").toLower() == "websocket" &&
                         HasToken(request.Header("connection"), "upgrade");
    if (!upgrade)
        return {RouteResult::Kind::Reply, TextReply(400, kNotWebSocketText), {}};
    if (!IsOwnOrigin(request))
        return {RouteResult::Kind::Reply, TextReply(403, kForeignOriginText), {}};
    QByteArray tokenHash;
    if (m_pairingRequired) {
        const QByteArray token = CookieValue(request.Header("cookie"), kTokenCookie);
        if (!m_pairing.IsPaired(token))
            return {RouteResult::Kind::Reply, TextReply(403, kNotPairedText), {}};
        tokenHash = PairingStore::HashToken(token);
    }
    if (request.Header("sec-websocket-version") != "13")
        return {RouteResult::Kind::Reply,
                Reply(426, "text/plain; charset=utf-8", kNotWebSocketText.toUtf8(),
                      "Sec-WebSocket-Version: 13\r\n"),
                {}};
    const std::optional<QByteArray> accept = WebSocketAccept(request.Header("sec-websocket-key"));
    if (!accept)
        return {RouteResult::Kind::Reply, TextReply(400, kNotWebSocketText), {}};
    return {RouteResult::Kind::Upgrade,
            "HTTP/1.1 101 Switching Protocols\r\n"
            "Upgrade: websocket\r\n"
            "Connection: Upgrade\r\n"
            "Sec-WebSocket-Accept: " +
                *accept + "\r\n\r\n",
            tokenHash};
}

QByteArrayList RemoteRoutes::PagePaths()
{
    QByteArrayList paths;
    for (const auto &[path, file] : PageFiles())
        paths << path;
    return paths;
}

QByteArray RemoteRoutes::RefusalReply(int status)
{
    return TextReply(status, kBadRequestText);
}

QByteArray RemoteRoutes::BusyReply()
{
    return TextReply(503, kBusyText);
}

QString DeviceNameFromAgent(const QByteArray &userAgent)
{
    struct Mark
    {
        const char *needle;
        const char *name;
    };
    static constexpr Mark kDevices[] = {{"iPhone", "iPhone"},   {"iPad", "iPad"},
                                        {"Android", "Android"}, {"Windows", "Windows"},
                                        {"Macintosh", "Mac"},   {"Linux", "Linux"}};
    static constexpr Mark kBrowsers[] = {{"Edg/", "Edge"},
                                         {"Firefox/", "Firefox"},
                                         {"HeadlessChrome/", "Chrome"},
                                         {"Chrome/", "Chrome"},
                                         {"Safari/", "Safari"}};
    QStringList parts;
    for (const Mark &mark : kDevices)
        if (userAgent.contains(mark.needle)) {
            parts << QString::fromLatin1(mark.name);
            break;
        }
    for (const Mark &mark : kBrowsers)
        if (userAgent.contains(mark.needle)) {
            parts << QString::fromLatin1(mark.name);
            break;
        }
    return parts.isEmpty() ? kUnknownDeviceText : parts.join(u' ');
}

} // namespace orinsub::surfaces::web
