#include "Backends.h"
#include "DeviceArgument.h"
#include "UdpBackend.h"

#include <algorithm>
#include <cstring>

// Art-Net: each frame goes out as one ArtDmx packet with all 512 slots and a sequence number;
// ArtDmx packets of the input universe from any node are the input.
namespace zentra::detail {
namespace {

constexpr uint8_t kId[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};
constexpr uint16_t kOpDmx = 0x5000; // sent low byte first
constexpr uint16_t kProtocolVersion = 14;
constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kSlots = 512;
constexpr uint32_t kHighestUniverse = 0x7FFF; // 15-bit port-address: net, sub-net, universe
// Nodes repeat an unchanged frame at least every 4 s; a little more keeps a slow one.
constexpr std::chrono::milliseconds kInputHold{5000};

class ArtNetProtocol final : public UdpProtocol
{
public:
    ArtNetProtocol(uint16_t output, uint16_t input) : m_input(input)
    {
        std::copy(std::begin(kId), std::end(kId), m_packet.begin());
        m_packet[8] = kOpDmx & 0xFF;
        m_packet[9] = kOpDmx >> 8;
        m_packet[10] = kProtocolVersion >> 8;
        m_packet[11] = kProtocolVersion & 0xFF;
        m_packet[13] = 0;             // physical input port: none
        m_packet[14] = output & 0xFF; // SubUni
        m_packet[15] = output >> 8;   // Net
        m_packet[16] = kSlots >> 8;
        m_packet[17] = kSlots & 0xFF;
    }

    std::span<const uint8_t> Encode(std::span<const uint8_t> frame) override
    {
        // 0 would tell the node to ignore the order of packets: run 1 to 255.
        m_sequence = m_sequence == 255 ? 1 : m_sequence + 1;
        m_packet[12] = m_sequence;
        const std::size_t slots = std::min(frame.size() > 0 ? frame.size() - 1 : 0, kSlots);
        std::copy_n(frame.begin() + (frame.empty() ? 0 : 1), slots, m_packet.begin() + kHeaderSize);
        std::fill(m_packet.begin() + kHeaderSize + slots, m_packet.end(), 0);
        return m_packet;
    }

    bool Decode(std::span<const uint8_t> packet, std::span<uint8_t, 513> frame) override
    {
        if (packet.size() < kHeaderSize ||
            !std::equal(std::begin(kId), std::end(kId), packet.begin()))
            return false;
        const unsigned opcode = packet[8] | packet[9] << 8;
        const unsigned version = packet[10] << 8 | packet[11];
        const unsigned universe = packet[14] | packet[15] << 8;
        const std::size_t length = packet[16] << 8 | packet[17];
        if (opcode != kOpDmx || version < kProtocolVersion || universe != m_input || length < 2 ||
            length > kSlots || packet.size() < kHeaderSize + length)
            return false;
        frame[0] = 0;
        std::copy_n(packet.begin() + kHeaderSize, length, frame.begin() + 1);
        std::fill(frame.begin() + 1 + length, frame.end(), 0);
        return true;
    }

private:
    uint16_t m_input;
    uint8_t m_sequence = 0;
    std::array<uint8_t, kHeaderSize + kSlots> m_packet{};
};

} // namespace

std::shared_ptr<Backend> MakeArtNetOn(std::string_view argument, bool hasArgument, UdpPorts ports,
                                      std::string &error)
{
    const std::size_t colon = argument.find(':');
    const auto host = ParseIpv4(argument.substr(0, colon));
    if (!hasArgument || !host) {
        error = "ノードの IPv4 アドレスを artnet:HOST[:UNIVERSE[/IN]] の形で指定してください";
        return nullptr;
    }
    UniversePair universes{0, std::nullopt};
    if (colon != std::string_view::npos) {
        const auto parsed = ParseUniverses(argument.substr(colon + 1), 0, kHighestUniverse);
        if (!parsed) {
            error = "ユニバースは 0〜32767 の数で指定してください";
            return nullptr;
        }
        universes = *parsed;
    }
    UdpSettings settings;
    settings.id = UniverseDeviceId("Art-Net", universes);
    settings.destination = *host;
    settings.ports = ports;
    settings.receives = universes.input.has_value();
    settings.broadcast = IsBroadcastAddress(*host);
    settings.inputHold = kInputHold;
    const auto output = static_cast<uint16_t>(universes.output);
    const auto input = static_cast<uint16_t>(universes.input.value_or(0));
    settings.makeProtocol = [output, input] {
        return std::make_unique<ArtNetProtocol>(output, input);
    };
    return MakeUdpBackend(std::move(settings));
}

std::shared_ptr<Backend> MakeArtNet(std::string_view argument, bool hasArgument, std::string &error)
{
    return MakeArtNetOn(argument, hasArgument, kArtNetPorts, error);
}

} // namespace zentra::detail
