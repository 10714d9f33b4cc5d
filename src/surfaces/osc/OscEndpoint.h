#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct sockaddr_in;

namespace orinsub::surfaces::osc {

/// An IPv4 address and UDP port.
struct OscEndpoint
{
    uint32_t address = 0x7f000001; // host order; 127.0.0.1
    uint16_t port = 0;

    /// "[ADDRESS:]PORT" as the operator types it after --osc: ADDRESS an IPv4 address (127.0.0.1
    /// when not given), PORT 1..65535. Nothing, with a one-line message, for anything else.
    static std::optional<OscEndpoint> ParseListen(const QString &text, QString &error);
    /// "ADDRESS:PORT" of a reply address: both required.
    static std::optional<OscEndpoint> ParseReply(const QString &text, QString &error);

    static OscEndpoint From(const sockaddr_in &socketAddress);
    sockaddr_in ToSocketAddress() const;
    QString ToString() const;

    auto operator<=>(const OscEndpoint &other) const = default;
};

} // namespace orinsub::surfaces::osc
