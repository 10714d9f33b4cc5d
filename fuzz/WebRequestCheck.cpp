#include "WebRequestCheck.h"

#include "surfaces/web/HttpRequest.h"
#include "surfaces/web/PairingStore.h"
#include "surfaces/web/RemoteMessage.h"
#include "surfaces/web/RemoteRoutes.h"
#include "surfaces/web/WebSocketFrame.h"

namespace orinsub::fuzz {

namespace {

using namespace surfaces::web;

std::string CheckReply(const QByteArray &reply)
{
    const qsizetype headEnd = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/1.1 ") || headEnd < 0)
        return "malformed response";
    const qsizetype lengthAt = reply.indexOf("Content-Length: ");
    if (lengthAt < 0 || lengthAt > headEnd)
        return "response without length";
    const qsizetype lengthEnd = reply.indexOf("\r\n", lengthAt);
    const int length = reply.mid(lengthAt + 16, lengthEnd - lengthAt - 16).toInt();
    if (reply.size() - headEnd - 4 != length)
        return "response length differs from its body";
    return {};
}

std::string CheckRoute(const HttpRequest &request, bool pairingRequired)
{
    // The store lives with the check: whatever one input pairs or locks is gone for the next.
    PairingStore pairing;
    const RemoteRoutes routes(pairing, 8080, pairingRequired);
    const RouteResult result =
        routes.Route(request, {QStringLiteral("192.0.2.1"), QHostAddress(QHostAddress::LocalHost)});
    if (pairing.IsOpen() || !pairing.Devices().empty())
        return "a request opened pairing or paired a device";
    if (result.kind == RouteResult::Kind::Reply)
        return CheckReply(result.reply);
    if (request.path != "/ws" || request.Header("upgrade").toLower() != "websocket")
        return "upgrade of something that is not a WebSocket request";
    if (request.Header("origin") != "http://" + request.Header("host"))
        return "upgrade from a foreign origin";
    if (pairingRequired)
        return "upgrade without a paired device";
    if (!WebSocketAccept(request.Header("sec-websocket-key")) ||
        request.Header("sec-websocket-version") != "13")
        return "upgrade without a proper handshake";
    if (!result.reply.startsWith("HTTP/1.1 101 ") || !result.reply.endsWith("\r\n\r\n"))
        return "malformed handshake answer";
    return {};
}

std::string CheckRequest(QByteArrayView bytes)
{
    const HttpReadResult read = ReadHttpRequest(bytes);
    switch (read.state) {
    case HttpReadResult::State::Incomplete:
        if (bytes.size() > kMaxRequest)
            return "oversized request left waiting";
        return {};
    case HttpReadResult::State::Refused:
        if (read.status < 400 || read.status > 505)
            return "refusal without an error status";
        return CheckReply(RemoteRoutes::RefusalReply(read.status));
    case HttpReadResult::State::Complete:
        break;
    }
    const HttpRequest &request = read.request;
    if (!request.path.startsWith('/') || request.body.size() > kMaxRequestBody ||
        (request.method != "GET" && request.method != "POST"))
        return "request read beyond its limits";
    for (const bool pairingRequired : {false, true})
        if (std::string broken = CheckRoute(request, pairingRequired); !broken.empty())
            return broken;
    return {};
}

std::string CheckMessage(QByteArrayView bytes)
{
    const std::optional<RemoteMessage> message = ReadRemoteMessage(bytes);
    if (!message)
        return {};
    if (bytes.size() > kMaxRemoteMessage)
        return "oversized message accepted";
    if (message->value < 0 || message->value > 255)
        return "level out of range";
    if (message->target.kind == surfaces::ControlTarget::Kind::Strip)
        return "strip target accepted";
    if ((message->kind == RemoteMessage::Kind::Press) == message->target.IsContinuous())
        return "press of a fader or move of a button";
    return {};
}

std::string CheckFrame(QByteArrayView bytes)
{
    const FrameReadResult read = ReadClientFrame(bytes, kMaxRemoteMessage);
    if (read.state != FrameReadResult::State::Complete)
        return {};
    if (read.size > bytes.size() || read.frame.payload.size() > kMaxRemoteMessage)
        return "frame read beyond its bytes or its limit";
    if ((static_cast<quint8>(bytes[1]) & 0x80) == 0)
        return "unmasked frame accepted";
    const bool control = (static_cast<quint8>(read.frame.opcode) & 0x08) != 0;
    if (control && (!read.frame.final || read.frame.payload.size() > 125))
        return "control frame fragmented or oversized";
    return {};
}

} // namespace

std::string CheckWebRequest(std::span<const uint8_t> bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (std::string broken = CheckRequest(view); !broken.empty())
        return broken;
    if (std::string broken = CheckFrame(view); !broken.empty())
        return broken;
    return CheckMessage(view);
}

} // namespace orinsub::fuzz
