#pragma once

#include "zentra/Backend.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

// DMX over UDP: one socket per open device that sends each frame as one packet to the node and
// drains the packets that arrived for the input universe when the link reads. Nothing waits:
// sends and receives never block, so a dead node cannot hold up the link.
namespace zentra::detail {

/// The packet format of one protocol, with the state of one open device (its sequence counter,
/// the source it last took input from). Encode and Decode must not allocate.
class UdpProtocol
{
public:
    virtual ~UdpProtocol() = default;
    /// The packet that carries frame (start code and slots); valid until the next call.
    virtual std::span<const uint8_t> Encode(std::span<const uint8_t> frame) = 0;
    /// When packet is a DMX frame of the input universe, stores it (start code and 512 slots,
    /// missing slots 0) in frame and returns true; otherwise leaves frame as it was.
    virtual bool Decode(std::span<const uint8_t> packet, std::span<uint8_t, 513> frame) = 0;
    /// The packet that tells receivers the stream ends, sent at close; empty when the protocol
    /// has none. Follows the last Encode.
    virtual std::span<const uint8_t> Farewell() { return {}; }
};

/// The UDP ports of a protocol: where input arrives and where the nodes listen.
struct UdpPorts
{
    uint16_t local;
    uint16_t remote;
};

struct UdpSettings
{
    std::u16string id;
    uint32_t destination; // IPv4, network byte order
    UdpPorts ports;
    bool receives = false;         // binds ports.local and takes input; else an ephemeral port
    bool broadcast = false;        // the operator named a broadcast address
    std::optional<uint32_t> group; // multicast group joined for input, network byte order
    std::chrono::milliseconds inputHold; // a frame older than this no longer counts as input
    std::function<std::unique_ptr<UdpProtocol>()> makeProtocol;
};

std::shared_ptr<Backend> MakeUdpBackend(UdpSettings settings);

/// The backends with their ports given, for tests that cannot take the protocols' own ports.
std::shared_ptr<Backend> MakeArtNetOn(std::string_view argument, bool hasArgument, UdpPorts ports,
                                      std::string &error);
std::shared_ptr<Backend> MakeSacnOn(std::string_view argument, bool hasArgument, UdpPorts ports,
                                    std::string &error);

inline constexpr UdpPorts kArtNetPorts{6454, 6454};
inline constexpr UdpPorts kSacnPorts{5568, 5568};

} // namespace zentra::detail
