#include "OscServer.h"

#include "OscTexts.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orinsub::surfaces::osc {

namespace {

constexpr int kReceiveBuffer = 1 << 20;
constexpr size_t kLargestDatagram = 65536;

} // namespace

std::unique_ptr<OscServer> OscServer::Open(const OscEndpoint &listen, QString &error)
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        error = SocketErrorText(errno, std::strerror(errno));
        return nullptr;
    }
    // A bigger buffer rides out short bursts; the count of what still overflows is read along.
    const int bufferSize = kReceiveBuffer;
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bufferSize, sizeof bufferSize);
    setsockopt(socket, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
    const sockaddr_in address = listen.ToSocketAddress();
    if (bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        error = SocketErrorText(errno, std::strerror(errno));
        close(socket);
        return nullptr;
    }
    return std::unique_ptr<OscServer>(new OscServer(socket));
}

OscServer::OscServer(int socket)
    : m_socket(socket),
      m_notifier(std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read)),
      m_buffer(kLargestDatagram)
{
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &OscServer::ReadTurn);
    m_nextTurn.setSingleShot(true);
    connect(&m_nextTurn, &QTimer::timeout, this, &OscServer::ReadTurn);
}

OscServer::~OscServer()
{
    m_notifier.reset();
    close(m_socket);
}

void OscServer::OnActions(std::function<void(const std::vector<ReceivedAction> &)> handler)
{
    m_onActions = std::move(handler);
}

void OscServer::OnNewClient(std::function<void(const OscEndpoint &)> handler)
{
    m_onNewClient = std::move(handler);
}

void OscServer::SetReplyAddresses(std::vector<OscEndpoint> addresses)
{
    m_replyAddresses = std::move(addresses);
}

void OscServer::SetClock(Clock clock)
{
    m_clock = std::move(clock);
}

void OscServer::ReadTurn()
{
    const auto start = m_clock();
    std::vector<OscEndpoint> newClients;
    // What does not fit this turn stays in the socket: the notifier fires again after other
    // events. Moves coalesce per target, so reading on costs little but the decoding: a turn
    // reads until its slice is spent, so that a press behind a backlog plays soon; a press read
    // plays at once. Nothing more is read while a turn's worth of actions waits.
    while (m_waiting.size() < size_t{kActionsPerTurn} && m_pressesWaiting == 0 &&
           ReadDatagram(start, newClients) && m_clock() - start < kTurnSlice) {
    }
    if (!m_waiting.empty() && m_onActions) {
        const size_t count = std::min(m_waiting.size(), size_t{kActionsPerTurn});
        const std::vector<ReceivedAction> turn(m_waiting.begin(), m_waiting.begin() + count);
        m_waiting.erase(m_waiting.begin(), m_waiting.begin() + count);
        m_played += count;
        m_pressesWaiting -= static_cast<size_t>(std::count_if(
            turn.begin(), turn.end(), [](const ReceivedAction &r) { return !r.action.isMove; }));
        m_onActions(turn);
    }
    if (!m_waiting.empty())
        m_nextTurn.start(0);
    for (const OscEndpoint &client : newClients) {
        if (m_onNewClient)
            m_onNewClient(client);
    }
}

bool OscServer::ReadDatagram(Time now, std::vector<OscEndpoint> &newClients)
{
    sockaddr_in from{};
    iovec data{m_buffer.data(), m_buffer.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(uint32_t))];
    msghdr header{};
    header.msg_name = &from;
    header.msg_namelen = sizeof from;
    header.msg_iov = &data;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    ssize_t size = -1;
    do
        size = recvmsg(m_socket, &header, MSG_DONTWAIT);
    while (size < 0 && errno == EINTR);
    if (size < 0)
        return false;
    for (cmsghdr *message = CMSG_FIRSTHDR(&header); message;
         message = CMSG_NXTHDR(&header, message)) {
        if (message->cmsg_level == SOL_SOCKET && message->cmsg_type == SO_RXQ_OVFL) {
            uint32_t dropped = 0;
            std::memcpy(&dropped, CMSG_DATA(message), sizeof dropped);
            m_counters.overflowed = dropped; // the system counts since the socket opened
        }
    }
    ++m_counters.packets;
    m_decoded.clear();
    const OscTally before = m_counters.ignored;
    if (from.sin_family != AF_INET || !DecodeOscPacket({m_buffer.data(), static_cast<size_t>(size)},
                                                       m_decoded, m_counters.ignored, m_shape))
        return true;
    m_counters.messages += m_decoded.size() +
                           (m_counters.ignored.unknownAddress - before.unknownAddress) +
                           (m_counters.ignored.wrongType - before.wrongType);
    const OscEndpoint sender = OscEndpoint::From(from);
    if (Heard(sender, now))
        newClients.push_back(sender);
    for (const OscAction &action : m_decoded)
        Add({action, sender});
    return true;
}

void OscServer::Add(const ReceivedAction &received)
{
    const uint64_t place = m_played + m_waiting.size();
    if (!received.action.isMove) {
        // A move after a button (a page change, a bank step) may play another fader.
        m_waitingMoves.clear();
        m_waiting.push_back(received);
        ++m_pressesWaiting;
        return;
    }
    const ControlTarget &target = received.action.target;
    const auto [waiting, isFirst] = m_waitingMoves.try_emplace(target, place);
    if (!isFirst && waiting->second >= m_played) {
        m_waiting[waiting->second - m_played] = received;
        ++m_counters.coalesced;
        return;
    }
    waiting->second = place;
    m_waiting.push_back(received);
}

bool OscServer::Heard(const OscEndpoint &client, Time now)
{
    ForgetSilentClients(now);
    if (const auto known = m_clients.find(client); known != m_clients.end()) {
        known->second = now;
        return false;
    }
    if (m_clients.size() >= static_cast<size_t>(kMaxClients)) {
        m_clients.erase(
            std::min_element(m_clients.begin(), m_clients.end(),
                             [](const auto &a, const auto &b) { return a.second < b.second; }));
    }
    m_clients.emplace(client, now);
    return std::find(m_replyAddresses.begin(), m_replyAddresses.end(), client) ==
           m_replyAddresses.end();
}

void OscServer::ForgetSilentClients(Time now)
{
    std::erase_if(m_clients,
                  [&](const auto &client) { return now - client.second > kClientLifetime; });
}

std::vector<OscEndpoint> OscServer::Recipients()
{
    ForgetSilentClients(m_clock());
    std::vector<OscEndpoint> recipients = m_replyAddresses;
    for (const auto &client : m_clients) {
        if (std::find(recipients.begin(), recipients.end(), client.first) == recipients.end())
            recipients.push_back(client.first);
    }
    return recipients;
}

void OscServer::Send(const OscEndpoint &to, const QByteArray &packet)
{
    const sockaddr_in address = to.ToSocketAddress();
    if (sendto(m_socket, packet.constData(), static_cast<size_t>(packet.size()), MSG_DONTWAIT,
               reinterpret_cast<const sockaddr *>(&address), sizeof address) < 0)
        ++m_counters.sendsFailed;
    else
        ++m_counters.sent;
}

OscEndpoint OscServer::LocalEndpoint() const
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
    return OscEndpoint::From(address);
}

} // namespace orinsub::surfaces::osc
