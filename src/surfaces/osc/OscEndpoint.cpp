#include "OscEndpoint.h"

#include "OscTexts.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace orinsub::surfaces::osc {

namespace {

std::optional<uint16_t> ParsePort(const QString &text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || text.startsWith(u'+'))
        return std::nullopt;
    return static_cast<uint16_t>(port);
}

std::optional<uint32_t> ParseAddress(const QString &text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.toLatin1().constData(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

std::optional<OscEndpoint> Parse(const QString &text, bool addressRequired)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0 && addressRequired)
        return std::nullopt;
    OscEndpoint endpoint;
    const std::optional<uint16_t> port = ParsePort(text.mid(colon + 1));
    if (!port)
        return std::nullopt;
    endpoint.port = *port;
    if (colon >= 0) {
        const std::optional<uint32_t> address = ParseAddress(text.left(colon));
        if (!address)
            return std::nullopt;
        endpoint.address = *address;
    }
    return endpoint;
}

} // namespace

std::optional<OscEndpoint> OscEndpoint::ParseListen(const QString &text, QString &error)
{
    std::optional<OscEndpoint> endpoint = Parse(text.trimmed(), false);
    if (!endpoint)
        error = BadEndpointText(text);
    return endpoint;
}

std::optional<OscEndpoint> OscEndpoint::ParseReply(const QString &text, QString &error)
{
    std::optional<OscEndpoint> endpoint = Parse(text.trimmed(), true);
    if (!endpoint)
        error = BadReplyText(text);
    return endpoint;
}

OscEndpoint OscEndpoint::From(const sockaddr_in &socketAddress)
{
    return {ntohl(socketAddress.sin_addr.s_addr), ntohs(socketAddress.sin_port)};
}

sockaddr_in OscEndpoint::ToSocketAddress() const
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    socketAddress.sin_port = htons(port);
    return socketAddress;
}

QString OscEndpoint::ToString() const
{
    return QStringLiteral("%1.%2.%3.%4:%5")
        .arg(address >> 24)
        .arg(address >> 16 & 0xff)
        .arg(address >> 8 & 0xff)
        .arg(address & 0xff)
        .arg(port);
}

} // namespace orinsub::surfaces::osc
