#include "Backends.h"
#include "DeviceArgument.h"
#include "SacnCid.h"
#include "UdpBackend.h"
#include "zentra/DeviceSelection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstring>

// sACN (E1.31): each frame goes out as one data packet (root, framing and DMP layers) to the
// node's address, or to the universe's multicast group when the operator asks for multicast;
// data packets of the input universe are the input.
namespace zentra::detail {
namespace {

constexpr uint8_t kPacketId[12] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};
constexpr uint32_t kRootVectorData = 0x00000004;
constexpr uint32_t kFramingVectorData = 0x00000002;
constexpr uint8_t kDmpVectorSetProperty = 0x02;
constexpr uint8_t kDmpAddressAndDataType = 0xA1;
constexpr uint8_t kDefaultPriority = 100;
constexpr uint8_t kOptionPreview = 0x80;
constexpr uint8_t kOptionTerminated = 0x40;
constexpr char kSourceName[] = "OrinSUB";
constexpr std::size_t kSlotsOffset = 126; // start code at 125
constexpr std::size_t kMaxPacket = kSlotsOffset + 512;
constexpr uint32_t kLowestUniverse = 1;
constexpr uint32_t kHighestUniverse = 63999;
constexpr std::string_view kMulticast = "multicast";
// E1.31's network data loss time.
constexpr std::chrono::milliseconds kInputHold{2500};

void Put16(uint8_t *at, unsigned value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}
void Put32(uint8_t *at, uint32_t value)
{
    Put16(at, value >> 16);
    Put16(at + 2, value & 0xFFFF);
}
unsigned Get16(const uint8_t *at)
{
    return static_cast<unsigned>(at[0] << 8 | at[1]);
}
uint32_t Get32(const uint8_t *at)
{
    return static_cast<uint32_t>(Get16(at)) << 16 | Get16(at + 2);
}
// A PDU's flags (always 0x7) and length, from its own first byte to the packet's end.
void PutFlagsAndLength(uint8_t *packet, std::size_t offset, std::size_t packetSize)
{
    Put16(packet + offset, 0x7000 | static_cast<unsigned>(packetSize - offset));
}

class SacnProtocol final : public UdpProtocol
{
public:
    SacnProtocol(const Cid &cid, uint16_t output, uint16_t input) : m_cid(cid), m_input(input)
    {
        uint8_t *p = m_packet.data();
        Put16(p + 0, 0x0010); // preamble size
        Put16(p + 2, 0x0000); // postamble size
        std::copy(std::begin(kPacketId), std::end(kPacketId), p + 4);
        Put32(p + 18, kRootVectorData);
        std::copy(cid.begin(), cid.end(), p + 22);
        Put32(p + 40, kFramingVectorData);
        std::copy_n(kSourceName, sizeof kSourceName, p + 44); // zero-padded to 64 bytes
        Put16(p + 109, 0);                                    // no synchronisation
        Put16(p + 113, output);
        p[117] = kDmpVectorSetProperty;
        p[118] = kDmpAddressAndDataType;
        Put16(p + 119, 0); // first property address
        Put16(p + 121, 1); // address increment
    }

    std::span<const uint8_t> Encode(std::span<const uint8_t> frame) override
    {
        const std::size_t values = std::clamp<std::size_t>(frame.size(), 1, 513);
        const std::size_t size = kSlotsOffset - 1 + values;
        uint8_t *p = m_packet.data();
        PutFlagsAndLength(p, 16, size);
        PutFlagsAndLength(p, 38, size);
        p[108] = SacnPriority();
        p[111] = m_sequence++;
        p[112] = 0;
        PutFlagsAndLength(p, 115, size);
        Put16(p + 123, static_cast<unsigned>(values));
        std::fill_n(p + kSlotsOffset - 1, values, 0);
        std::copy_n(frame.begin(), std::min(frame.size(), values), p + kSlotsOffset - 1);
        m_size = size;
        return {m_packet.data(), size};
    }

    std::span<const uint8_t> Farewell() override
    {
        if (m_size == 0)
            return {};
        m_packet[111] = m_sequence++;
        m_packet[112] = kOptionTerminated;
        return {m_packet.data(), m_size};
    }

    bool Decode(std::span<const uint8_t> packet, std::span<uint8_t, 513> frame) override
    {
        const uint8_t *p = packet.data();
        if (packet.size() < kSlotsOffset || Get16(p) != 0x0010 ||
            !std::equal(std::begin(kPacketId), std::end(kPacketId), p + 4) ||
            Get32(p + 18) != kRootVectorData || Get32(p + 40) != kFramingVectorData ||
            Get16(p + 113) != m_input || p[117] != kDmpVectorSetProperty ||
            p[118] != kDmpAddressAndDataType || Get16(p + 119) != 0 || Get16(p + 121) != 1)
            return false;
        const std::size_t values = Get16(p + 123);
        if (values < 1 || values > 513 || packet.size() < kSlotsOffset - 1 + values)
            return false;
        if (p[112] & (kOptionPreview | kOptionTerminated) || p[kSlotsOffset - 1] != 0)
            return false; // previews, the end of a stream and alternate start codes are no levels
        Cid source;
        std::copy_n(p + 22, source.size(), source.begin());
        if (source == m_cid)
            return false; // our own output, come back over multicast
        if (!InOrder(source, p[111]))
            return false;
        frame[0] = 0;
        std::copy_n(p + kSlotsOffset, values - 1, frame.begin() + 1);
        std::fill(frame.begin() + values, frame.end(), 0);
        return true;
    }

private:
    // E1.31's rule: a packet up to 20 behind the last one of its source is late and dropped.
    bool InOrder(const Cid &source, uint8_t sequence)
    {
        const auto behind = static_cast<int8_t>(sequence - m_lastSequence);
        if (m_lastSource && *m_lastSource == source && behind <= 0 && behind > -20)
            return false;
        m_lastSource = source;
        m_lastSequence = sequence;
        return true;
    }

    const Cid m_cid;
    const uint16_t m_input;
    uint8_t m_sequence = 0;
    std::size_t m_size = 0;
    std::optional<Cid> m_lastSource;
    uint8_t m_lastSequence = 0;
    std::array<uint8_t, kMaxPacket> m_packet{};
};

uint32_t MulticastGroup(uint32_t universe)
{
    return htonl(0xEFFF0000u | universe); // 239.255.hi.lo
}

} // namespace

std::shared_ptr<Backend> MakeSacnOn(std::string_view argument, bool hasArgument, UdpPorts ports,
                                    std::string &error)
{
    const std::size_t colon = argument.find(':');
    const std::string_view hostText = argument.substr(0, colon);
    const bool multicast = hostText == kMulticast;
    const auto host = multicast ? std::optional<uint32_t>(0) : ParseIpv4(hostText);
    if (!hasArgument || !host) {
        error = "送り先の IPv4 アドレスか multicast を sacn:HOST[:UNIVERSE[/IN]] の形で"
                "指定してください";
        return nullptr;
    }
    UniversePair universes{kLowestUniverse, std::nullopt};
    if (colon != std::string_view::npos) {
        const auto parsed =
            ParseUniverses(argument.substr(colon + 1), kLowestUniverse, kHighestUniverse);
        if (!parsed) {
            error = "ユニバースは 1〜63999 の数で指定してください";
            return nullptr;
        }
        universes = *parsed;
    }
    UdpSettings settings;
    settings.id = UniverseDeviceId("sACN", universes);
    settings.destination = multicast ? MulticastGroup(universes.output) : *host;
    settings.ports = ports;
    settings.receives = universes.input.has_value();
    if (multicast && universes.input)
        settings.group = MulticastGroup(*universes.input);
    settings.inputHold = kInputHold;
    const Cid cid = InstallationCid(SacnCidPath());
    const auto output = static_cast<uint16_t>(universes.output);
    const auto input = static_cast<uint16_t>(universes.input.value_or(0));
    settings.makeProtocol = [cid, output, input] {
        return std::make_unique<SacnProtocol>(cid, output, input);
    };
    return MakeUdpBackend(std::move(settings));
}

} // namespace zentra::detail

namespace zentra {

namespace {
// What every sACN device of this console sends with; one console has one priority.
std::atomic<uint8_t> s_priority{detail::kDefaultPriority};
} // namespace

void SetSacnPriority(uint8_t priority)
{
    s_priority.store(std::clamp<uint8_t>(priority, kMinSacnPriority, kMaxSacnPriority),
                     std::memory_order_relaxed);
}

uint8_t SacnPriority()
{
    return s_priority.load(std::memory_order_relaxed);
}

} // namespace zentra

namespace zentra::detail {

std::shared_ptr<Backend> MakeSacn(std::string_view argument, bool hasArgument, std::string &error)
{
    return MakeSacnOn(argument, hasArgument, kSacnPorts, error);
}

} // namespace zentra::detail
