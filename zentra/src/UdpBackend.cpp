#include "UdpBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zentra::detail {
namespace {

using Clock = std::chrono::steady_clock;

// Packets drained by one read at most: several senders at 44 frames a second leave far fewer
// in one tick, and a flood must not hold the tick.
constexpr int kPacketsPerRead = 64;
// Larger than any packet of the protocols; what does not fit is not theirs.
constexpr std::size_t kPacketBuffer = 1472;
constexpr int kFarewells = 3;

struct UdpDevice
{
    int socket = -1;
    // The network interface the frames leave by; empty when it could not be told.
    std::array<char, IFNAMSIZ> interface {
    };
    std::unique_ptr<UdpProtocol> protocol;
    std::array<uint8_t, 513> scratch{};
    std::array<uint8_t, 513> input{};
    std::optional<Clock::time_point> inputTime;
    std::array<uint8_t, kPacketBuffer> packet{};
};

class UdpBackend final : public Backend
{
public:
    explicit UdpBackend(UdpSettings settings) : m_settings(std::move(settings)) {}

    std::vector<std::u16string> EnumerateIds() override { return {m_settings.id}; }

    Handle Open(std::u16string_view id) override
    {
        if (id != m_settings.id)
            return nullptr;
        auto device = std::make_unique<UdpDevice>();
        device->socket = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (device->socket < 0)
            return nullptr;
        if (!Configure(device->socket)) {
            close(device->socket);
            return nullptr;
        }
        device->protocol = m_settings.makeProtocol();
        device->interface = OutgoingInterface();
        return device.release();
    }

    bool Write(Handle handle, std::span<const uint8_t> frame, std::chrono::milliseconds) override
    {
        auto &device = *static_cast<UdpDevice *>(handle);
        // A send through an interface that is down, or has lost its link, succeeds and the
        // packet is dropped: only the interface can tell that the frame did not get out.
        if (!IsUp(device))
            return false;
        return Send(device, device.protocol->Encode(frame));
    }

    bool Read(Handle handle, std::span<uint8_t> frame, std::chrono::milliseconds) override
    {
        auto &device = *static_cast<UdpDevice *>(handle);
        if (!m_settings.receives)
            return false;
        for (int i = 0; i < kPacketsPerRead; ++i) {
            const ssize_t size = recv(device.socket, device.packet.data(), device.packet.size(),
                                      MSG_DONTWAIT | MSG_TRUNC);
            if (size < 0)
                break;
            if (static_cast<std::size_t>(size) > device.packet.size())
                continue;
            if (device.protocol->Decode({device.packet.data(), static_cast<std::size_t>(size)},
                                        device.scratch)) {
                device.input = device.scratch;
                device.inputTime = Clock::now();
            }
        }
        if (!device.inputTime || Clock::now() - *device.inputTime > m_settings.inputHold)
            return false;
        std::copy_n(device.input.begin(), std::min(frame.size(), device.input.size()),
                    frame.begin());
        return true;
    }

    void Close(Handle handle) override
    {
        std::unique_ptr<UdpDevice> device(static_cast<UdpDevice *>(handle));
        for (int i = 0; i < kFarewells; ++i) {
            const auto farewell = device->protocol->Farewell();
            if (!farewell.empty())
                Send(*device, farewell);
        }
        close(device->socket);
    }

private:
    bool Configure(int fd) const
    {
        const int on = 1;
        if (m_settings.broadcast && setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
            return false;
        if (!m_settings.receives)
            return true; // sends from an ephemeral port
        if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
            return false;
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(m_settings.ports.local);
        if (bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
            return false;
        if (m_settings.group) {
            ip_mreq membership{};
            membership.imr_multiaddr.s_addr = *m_settings.group;
            membership.imr_interface.s_addr = htonl(INADDR_ANY);
            if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
                return false;
        }
        return true;
    }

    // The interface that the route to the destination leaves by, as the kernel chooses it for a
    // socket connected there: the one that holds the source address it picks.
    std::array<char, IFNAMSIZ> OutgoingInterface() const
    {
        std::array<char, IFNAMSIZ> name{};
        const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (probe < 0)
            return name;
        const int on = 1;
        sockaddr_in to = Destination();
        sockaddr_in source{};
        socklen_t size = sizeof source;
        const bool routed =
            (!m_settings.broadcast ||
             setsockopt(probe, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0) &&
            connect(probe, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0 &&
            getsockname(probe, reinterpret_cast<sockaddr *>(&source), &size) == 0;
        close(probe);
        ifaddrs *interfaces = nullptr;
        if (!routed || getifaddrs(&interfaces) != 0)
            return name;
        for (const ifaddrs *i = interfaces; i; i = i->ifa_next) {
            if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
                reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr.s_addr ==
                    source.sin_addr.s_addr) {
                std::strncpy(name.data(), i->ifa_name, name.size() - 1);
                break;
            }
        }
        freeifaddrs(interfaces);
        return name;
    }

    // Whether the device's interface is up with its link; true when it is not known.
    static bool IsUp(const UdpDevice &device)
    {
        if (device.interface[0] == 0)
            return true;
        ifreq request{};
        std::memcpy(request.ifr_name, device.interface.data(), device.interface.size());
        if (ioctl(device.socket, SIOCGIFFLAGS, &request) != 0)
            return false; // gone, as a USB network adapter pulled out
        return (request.ifr_flags & IFF_UP) && (request.ifr_flags & IFF_RUNNING);
    }

    sockaddr_in Destination() const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = m_settings.destination;
        to.sin_port = htons(m_settings.ports.remote);
        return to;
    }

    bool Send(UdpDevice &device, std::span<const uint8_t> packet) const
    {
        const sockaddr_in to = Destination();
        const ssize_t sent =
            sendto(device.socket, packet.data(), packet.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr *>(&to), sizeof to);
        return sent == static_cast<ssize_t>(packet.size());
    }

    const UdpSettings m_settings;
};

} // namespace

std::shared_ptr<Backend> MakeUdpBackend(UdpSettings settings)
{
    return std::make_shared<UdpBackend>(std::move(settings));
}

} // namespace zentra::detail
