#pragma once

#include "surfaces/osc/OscEndpoint.h"

#include <lo/lo.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace orinsub::surfaces::osc::testing {

/// An immediate bundle of OSC messages (whole packets as liblo makes them).
inline QByteArray Bundle(const std::vector<QByteArray> &messages)
{
    QByteArray bundle("#bundle\0\0\0\0\0\0\0\0\1", 16);
    for (const QByteArray &message : messages) {
        const auto size = static_cast<uint32_t>(message.size());
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        bundle.append(length, 4).append(message);
    }
    return bundle;
}

inline QByteArray IntMessage(const std::string &path, int value)
{
    lo_message message = lo_message_new();
    lo_message_add_int32(message, value);
    size_t size = 0;
    void *bytes = lo_message_serialise(message, path.c_str(), nullptr, &size);
    QByteArray packet(static_cast<const char *>(bytes), static_cast<qsizetype>(size));
    free(bytes);
    lo_message_free(message);
    return packet;
}

/// A flood bundle: as many moves of row A's channels 2..80 as a UDP datagram holds (with room
/// for one more short message), extra messages put at their place.
inline constexpr int kFloodMoves = 2338;
inline int FloodLevel(int bundle, int move)
{
    return (bundle + move) & 255;
}
inline QByteArray FloodBundle(int bundle, const std::map<int, QByteArray> &extra = {})
{
    std::vector<QByteArray> messages;
    for (int i = 0; i < kFloodMoves; ++i) {
        if (const auto found = extra.find(i); found != extra.end())
            messages.push_back(found->second);
        messages.push_back(
            IntMessage("/orinsub/A/" + std::to_string(2 + i % 79), FloodLevel(bundle, i)));
    }
    return Bundle(messages);
}

/// One message as a client received it: the address and its first float argument.
struct Received
{
    std::string path;
    float value = 0;
};

/// An OSC client on 127.0.0.1 made with liblo: sends to the console's port from its own port,
/// where it also hears the console's feedback.
class OscTestClient
{
public:
    explicit OscTestClient(uint16_t consolePort)
        : m_server(lo_server_new_with_proto(nullptr, LO_UDP, nullptr)),
          m_console(lo_address_new("127.0.0.1", std::to_string(consolePort).c_str()))
    {
        lo_server_add_method(m_server, nullptr, nullptr, &OscTestClient::Collect, this);
    }
    ~OscTestClient()
    {
        lo_address_free(m_console);
        lo_server_free(m_server);
    }
    OscTestClient(const OscTestClient &) = delete;
    OscTestClient &operator=(const OscTestClient &) = delete;

    uint16_t Port() const { return static_cast<uint16_t>(lo_server_get_port(m_server)); }
    OscEndpoint Endpoint() const { return {0x7f000001, Port()}; }

    void SendFloat(const char *path, float value)
    {
        lo_message message = lo_message_new();
        lo_message_add_float(message, value);
        Send(path, message);
    }
    void SendInt(const char *path, int value)
    {
        lo_message message = lo_message_new();
        lo_message_add_int32(message, value);
        Send(path, message);
    }
    void SendEmpty(const char *path) { Send(path, lo_message_new()); }
    /// Takes the bundle.
    void SendBundle(lo_bundle bundle)
    {
        ASSERT_GE(lo_send_bundle_from(m_console, m_server, bundle), 0);
        lo_bundle_free_recursive(bundle);
    }
    /// Any bytes, from the client's port.
    void SendRaw(const QByteArray &bytes)
    {
        const sockaddr_in to = OscEndpoint{0x7f000001, Target()}.ToSocketAddress();
        ASSERT_GE(sendto(lo_server_get_socket_fd(m_server), bytes.constData(),
                         static_cast<size_t>(bytes.size()), 0,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to),
                  0);
    }

    /// Runs the event loop until the client has heard at least count messages (or 5 s).
    std::vector<Received> &Hear(size_t count)
    {
        const QDeadlineTimer deadline(5000);
        while (m_heard.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (lo_server_recv_noblock(m_server, 0) > 0) {
            }
        }
        return m_heard;
    }
    /// What arrived so far, after a moment of event loop.
    std::vector<Received> &HeardSoFar()
    {
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (lo_server_recv_noblock(m_server, 0) > 0) {
            }
        }
        return m_heard;
    }

private:
    uint16_t Target() const
    {
        return static_cast<uint16_t>(std::stoi(lo_address_get_port(m_console)));
    }
    void Send(const char *path, lo_message message)
    {
        ASSERT_GE(lo_send_message_from(m_console, m_server, path, message), 0);
        lo_message_free(message);
    }
    static int Collect(const char *path, const char *types, lo_arg **argv, int, lo_message,
                       void *self)
    {
        Received received{path, 0};
        if (types[0] == LO_FLOAT)
            received.value = argv[0]->f;
        static_cast<OscTestClient *>(self)->m_heard.push_back(received);
        return 0;
    }

    lo_server m_server;
    lo_address m_console;
    std::vector<Received> m_heard;
};

} // namespace orinsub::surfaces::osc::testing
