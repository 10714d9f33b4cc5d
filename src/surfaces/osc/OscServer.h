#pragma once

#include "OscEndpoint.h"
#include "OscPacket.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
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
    uint64_t packets = 0;     // datagrams read
    uint64_t messages = 0;    // messages in the well-formed ones
    OscTally ignored;         // malformed packets, unknown addresses, wrong argument types
    uint64_t coalesced = 0;   // moves overtaken by a later move of their target before they played
    uint64_t overflowed = 0;  // datagrams the system dropped while the console was behind
    uint64_t sent = 0;        // feedback datagrams sent
    uint64_t sendsFailed = 0; // feedback datagrams that could not be sent
};

/// The OSC socket: a UDP socket read on the UI thread in bounded turns, so that a flood neither
/// stalls the console nor piles up. A turn reads datagrams until it has spent kTurnSlice (at
/// least one datagram: a 64 KB bundle holds thousands of messages), a button press waits or the
/// socket is empty, and plays at most kActionsPerTurn actions; the rest waits in order for the next
/// turn, and while a turn's worth waits no more is read: the system's receive buffer bounds what
/// waits beyond (what it drops is counted). Moves of one target that have not played yet are
/// coalesced to the last one (a button between them keeps their order); a button press is never
/// dropped. Remembers who sent well-formed OSC: feedback goes to every client heard within the last
/// minute and to the configured reply addresses, from the listening port. At most kMaxClients are
/// remembered: a new one pushes out the one heard longest ago, so that strangers cannot grow the
/// list.
class OscServer : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    /// A few milliseconds: the UI thread turns well within a frame, and reads a flood's backlog
    /// faster than a client sends it.
    static constexpr std::chrono::milliseconds kTurnSlice{8};
    static constexpr int kActionsPerTurn = 256;
    static constexpr int kMaxClients = 32;
    static constexpr std::chrono::seconds kClientLifetime{60};

    /// Binds the listening socket (port 0: any free port); null with the system's reason.
    static std::unique_ptr<OscServer> Open(const OscEndpoint &listen, QString &error);
    ~OscServer() override;
    OscServer(const OscServer &) = delete;
    OscServer &operator=(const OscServer &) = delete;

    /// Called once per turn that has something to play, with at most kActionsPerTurn actions in
    /// the order the datagrams asked for them.
    void OnActions(std::function<void(const std::vector<ReceivedAction> &)> handler);
    /// Called when a client is heard that is not (or no longer) among the recipients, once the
    /// turn's actions have played: it learns the desk as its own messages left it.
    void OnNewClient(std::function<void(const OscEndpoint &)> handler);
    /// The strips and banks the clients may name; others are unknown addresses.
    void SetShape(const SurfaceShape &shape) { m_shape = shape; }
    void SetReplyAddresses(std::vector<OscEndpoint> addresses);
    /// The clock of the clients' minute and of each turn's slice.
    void SetClock(Clock clock);

    /// The clients heard within the last minute and the reply addresses, each once.
    std::vector<OscEndpoint> Recipients();
    void Send(const OscEndpoint &to, const QByteArray &packet);

    OscEndpoint LocalEndpoint() const;
    const OscCounters &Counters() const { return m_counters; }

private:
    using Time = std::chrono::steady_clock::time_point;

    explicit OscServer(int socket);
    void ReadTurn();
    /// Reads one datagram into the waiting actions; false when none was there. Adds its sender
    /// to newClients when it is new.
    bool ReadDatagram(Time now, std::vector<OscEndpoint> &newClients);
    /// Queues an action behind the waiting ones, or lets it overtake its target's waiting move.
    void Add(const ReceivedAction &received);
    /// Remembers the sender; true when it is new among the recipients.
    bool Heard(const OscEndpoint &client, Time now);
    void ForgetSilentClients(Time now);

    int m_socket;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_nextTurn; // a turn for what waits when the socket has nothing new
    std::vector<uint8_t> m_buffer;
    std::vector<OscAction> m_decoded; // one datagram's actions, kept for its capacity
    std::deque<ReceivedAction> m_waiting;
    uint64_t m_played = 0; // how many actions have left m_waiting: the front's place in the queue
    size_t m_pressesWaiting = 0; // buttons among m_waiting
    // A target's move not yet played -> its place.
    std::unordered_map<ControlTarget, uint64_t> m_waitingMoves;
    std::map<OscEndpoint, std::chrono::steady_clock::time_point> m_clients;
    std::vector<OscEndpoint> m_replyAddresses;
    Clock m_clock = [] { return std::chrono::steady_clock::now(); };
    SurfaceShape m_shape;
    std::function<void(const std::vector<ReceivedAction> &)> m_onActions;
    std::function<void(const OscEndpoint &)> m_onNewClient;
    OscCounters m_counters;
};

} // namespace orinsub::surfaces::osc
