#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <span>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zentra::testing {

/// A UDP socket on 127.0.0.1 standing in for a node: it captures what the backend sends and
/// sends packets to the backend. Sends go to 127.0.0.1 only.
class LoopbackUdp
{
public:
    explicit LoopbackUdp(uint16_t port = 0)
    {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(port);
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot bind a loopback UDP socket");
        socklen_t size = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackUdp() { close(m_fd); }
    LoopbackUdp(const LoopbackUdp &) = delete;
    LoopbackUdp &operator=(const LoopbackUdp &) = delete;

    uint16_t Port() const { return m_port; }

    /// The next packet, or nothing when none came within timeout.
    std::optional<std::vector<uint8_t>>
    Receive(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        pollfd wait{m_fd, POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(timeout.count())) <= 0)
            return std::nullopt;
        std::vector<uint8_t> packet(65536);
        const ssize_t size = recv(m_fd, packet.data(), packet.size(), 0);
        if (size < 0)
            return std::nullopt;
        packet.resize(static_cast<std::size_t>(size));
        return packet;
    }

    void SendTo(uint16_t port, std::span<const uint8_t> packet)
    {
        const sockaddr_in to = Loopback(port);
        sendto(m_fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr *>(&to),
               sizeof to);
    }

    /// A port that nothing on 127.0.0.1 used a moment ago.
    static uint16_t FreePort() { return LoopbackUdp().Port(); }

private:
    static sockaddr_in Loopback(uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

    int m_fd = -1;
    uint16_t m_port = 0;
};

} // namespace zentra::testing
