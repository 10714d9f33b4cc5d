#pragma once

#include "OscEndpoint.h"
#include "OscPacket.h"

#include <QByteArray>
#include <QObject>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace orinsub::surfaces::osc {

/// One action and the client that asked for it.
struct ReceivedAction
{
    OscAction action;
    OscEndpoint from;
};

struct OscCounters
{
    uint64_t packets = 0;        // datagrams read
    OscTally ignored;            // malformed packets, unknown addresses, wrong argument types
    uint64_t coalesced = 0;      // moves overtaken by a later move of their target in one turn
    uint64_t pressesDropped = 0; // presses beyond one turn's share
    uint64_t overflowed = 0;     // datagrams the system dropped while the console was behind
    uint64_t sent = 0;           // feedback datagrams sent
    uint64_t sendsFailed = 0;    // feedback datagrams that could not be sent
};

/// The OSC socket: a UDP socket read on the UI thread, a bounded share of datagrams per turn of
/// the event loop, so that a flood neither stalls the console nor piles up (the system's receive
/// buffer bounds what waits; what it drops is counted). Moves of one target within a turn are
/// coalesced to the last one (a button between them keeps their order). Remembers who sent
/// well-formed OSC: feedback goes to every client heard within the last minute and to the
/// configured reply addresses, from the listening port. At most kMaxClients are remembered: a new
/// one pushes out the one heard longest ago, so that strangers cannot grow the list.
class OscServer : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int kDatagramsPerTurn = 64;
    static constexpr int kPressesPerTurn = 64;
    static constexpr int kMaxClients = 32;
    static constexpr std::chrono::seconds kClientLifetime{60};

    /// Binds the listening socket (port 0: any free port); null with the system's reason.
    static std::unique_ptr<OscServer> Open(const OscEndpoint &listen, QString &error);
    ~OscServer() override;
    OscServer(const OscServer &) = delete;
    OscServer &operator=(const OscServer &) = delete;

    /// Called once per turn with what that turn's datagrams ask, in order.
    void OnActions(std::function<void(const std::vector<ReceivedAction> &)> handler);
    /// Called when a client is heard that is not (or no longer) among the recipients, once the
    /// turn's actions have played: it learns the desk as its own messages left it.
    void OnNewClient(std::function<void(const OscEndpoint &)> handler);
    /// The strips and banks the clients may name; others are unknown addresses.
    void SetShape(const SurfaceShape &shape) { m_shape = shape; }
    void SetReplyAddresses(std::vector<OscEndpoint> addresses);
    void SetClock(Clock clock);

    /// The clients heard within the last minute and the reply addresses, each once.
    std::vector<OscEndpoint> Recipients();
    void Send(const OscEndpoint &to, const QByteArray &packet);

    OscEndpoint LocalEndpoint() const;
    const OscCounters &Counters() const { return m_counters; }

private:
    explicit OscServer(int socket);
    void ReadTurn();
    /// Remembers the sender; true when it is new among the recipients.
    bool Heard(const OscEndpoint &client);
    void ForgetSilentClients();
    struct Turn;
    void Add(const ReceivedAction &received, Turn &turn);

    int m_socket;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<uint8_t> m_buffer;
    std::map<OscEndpoint, std::chrono::steady_clock::time_point> m_clients;
    std::vector<OscEndpoint> m_replyAddresses;
    Clock m_clock = [] { return std::chrono::steady_clock::now(); };
    SurfaceShape m_shape;
    std::function<void(const std::vector<ReceivedAction> &)> m_onActions;
    std::function<void(const OscEndpoint &)> m_onNewClient;
    OscCounters m_counters;
};

} // namespace orinsub::surfaces::osc
