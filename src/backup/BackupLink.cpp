#include "BackupLink.h"

#include <utility>

#include "BackupTexts.h"

#include <QMetaObject>
#include <QtEndian>

namespace orinsub::backup {

using std::chrono::steady_clock;

BackupLink::BackupLink(QByteArray key, BackupDesk desk, bool main, uint8_t priority, Timing timing,
                       Clock clock)
    : m_key(std::move(key)), m_desk(std::move(desk)), m_main(main), m_priority(priority),
      m_timing(timing), m_clock(std::move(clock)), m_role(main ? Role::Starting : Role::Tracking)
{
}

BackupLink::~BackupLink() = default;

bool BackupLink::IsTracking() const
{
    return m_role != Role::Live && m_tracked != nullptr;
}

void BackupLink::SetRole(Role role)
{
    if (role == m_role)
        return;
    m_role = role;
    emit RoleChanged(role);
}

void BackupLink::Opened(BackupPeer *peer, bool server)
{
    Peer &state =
        m_peers
            .try_emplace(peer, Peer{BackupWire(m_key, server), server, {}, 0, false, false, {}, {}})
            .first->second;
    state.heard = state.spoken = m_clock();
    peer->Send(state.wire.Greeting(m_role, m_priority));
}

void BackupLink::Received(BackupPeer *peer, const QByteArray &bytes)
{
    const auto found = m_peers.find(peer);
    if (found == m_peers.end())
        return;
    Peer &state = found->second;
    BackupWire::Read read = state.wire.Feed(bytes);
    if (read.peerRole) {
        state.role = read.peerRole;
        state.priority = read.peerPriority;
        state.heard = m_clock();
        // Anyone can greet: the role it claims counts once a sealed message proves the key.
        Send(peer, state, MessageType::Beat, {});
    }
    for (const Message &message : read.messages)
        Take(peer, state, message);
    if (!read.refusal.isEmpty())
        Refuse(peer, read.refusal);
}

void BackupLink::Closed(BackupPeer *peer)
{
    m_peers.erase(peer);
    if (m_tracked == peer)
        m_tracked = nullptr; // its silence still counts from when it last spoke
}

void BackupLink::Track(BackupPeer *peer, Peer &state)
{
    m_tracked = peer;
    m_livePeerPriority = state.priority;
    m_liveHeard = m_clock();
    Send(peer, state, MessageType::Join, {});
}

void BackupLink::Send(BackupPeer *peer, Peer &state, MessageType type, const QByteArray &payload)
{
    peer->Send(state.wire.Seal(type, payload));
    state.spoken = m_clock();
}

void BackupLink::Take(BackupPeer *peer, Peer &state, const Message &message)
{
    state.heard = m_clock();
    // Of two live consoles meeting again, the one that listens (the main) gives way.
    if (!std::exchange(state.proven, true) && state.role == Role::Live &&
        (m_role != Role::Live || state.server)) {
        Track(peer, state); // first: the role's listeners read the peer's priority
        SetRole(Role::Tracking);
    }
    if (peer == m_tracked)
        m_liveHeard = state.heard;
    switch (message.type) {
    case MessageType::Join:
        if (m_role != Role::Live)
            return; // a peer that met this console just before it gave the stage away
        state.joined = true;
        Send(peer, state, MessageType::Show, ShowPayload());
        Send(peer, state, MessageType::Live, m_desk.liveState());
        return;
    case MessageType::Show: {
        if (peer != m_tracked)
            return;
        const QByteArray &payload = message.payload;
        const uint32_t pathBytes =
            payload.size() >= 4 ? qFromLittleEndian<uint32_t>(payload.data()) : UINT32_MAX;
        if (pathBytes > payload.size() - 4) {
            Refuse(peer, kRefusedNotLink);
            return;
        }
        m_trackedShow = QString::fromUtf8(payload.mid(4, pathBytes));
        const QByteArray show = payload.mid(4 + pathBytes);
        // From the event loop: opening a show may ask the operator something.
        QMetaObject::invokeMethod(
            this, [this, path = m_trackedShow, show] { m_desk.takeShow(path, show); },
            Qt::QueuedConnection);
        return;
    }
    case MessageType::Live:
        if (peer != m_tracked)
            return;
        m_pendingLive = message.payload;
        if (!m_handing) {
            m_handing = true;
            QMetaObject::invokeMethod(this, &BackupLink::HandToDesk, Qt::QueuedConnection);
        }
        return;
    case MessageType::Beat:
        return;
    case MessageType::GiveStage:
        if (peer == m_tracked && m_role == Role::Tracking)
            GoLive(); // its TakeOver tells the giver to track this console
        return;
    case MessageType::TakeOver:
        state.role = Role::Live;
        if (m_tracked != peer)
            Track(peer, state);
        if (m_role == Role::Live)
            SetRole(Role::Tracking); // the stage was handed over to the peer
        return;
    }
}

void BackupLink::HandToDesk()
{
    m_handing = false;
    if (m_pendingLive)
        m_desk.takeLiveState(*std::exchange(m_pendingLive, std::nullopt));
}

void BackupLink::Refuse(BackupPeer *peer, const QString &why)
{
    ++m_refusals;
    m_lastRefusal = why;
    if (m_tracked == peer)
        m_tracked = nullptr;
    peer->Close();
    emit Refused();
}

QByteArray BackupLink::ShowPayload() const
{
    const QByteArray path = m_desk.showPath().toUtf8();
    QByteArray payload(4, '\0');
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(path.size()), payload.data());
    return payload + path + m_desk.showBytes();
}

void BackupLink::ShowChanged()
{
    if (m_role != Role::Live)
        return;
    const QByteArray payload = ShowPayload();
    for (auto &[peer, state] : m_peers) {
        if (state.joined)
            Send(peer, state, MessageType::Show, payload);
    }
}

void BackupLink::GoLive()
{
    SetRole(Role::Live);
    m_tracked = nullptr;
    m_liveHeard.reset();
    m_pendingLive.reset();
    for (auto &[peer, state] : m_peers) {
        if (state.wire.IsOpen()) {
            state.joined = false;
            Send(peer, state, MessageType::TakeOver, {});
        }
    }
}

bool BackupLink::GiveStage()
{
    if (m_role != Role::Live)
        return false;
    for (auto &[peer, state] : m_peers) {
        if (state.joined) {
            Send(peer, state, MessageType::GiveStage, {});
            return true;
        }
    }
    return false;
}

void BackupLink::TakeStage()
{
    if (m_role != Role::Live)
        GoLive();
}

void BackupLink::Tick()
{
    const steady_clock::time_point now = m_clock();
    if (!m_started)
        m_started = now;
    ++m_ticks;
    // Ticks as well as time: a loop held up (a slow start) still hears a peer that knocked.
    if (m_role == Role::Starting && m_main && now - *m_started >= m_timing.startWait &&
        m_ticks > kStartTicks)
        GoLive();
    else if (m_role == Role::Tracking && m_liveHeard && now - *m_liveHeard >= m_timing.silence)
        GoLive(); // the live console is gone: this one plays on from its last live state
    if (m_role != Role::Live) {
        m_deskChanged = false;
        return;
    }
    QByteArray live;
    for (auto &[peer, state] : m_peers) {
        if (!state.joined)
            continue;
        if (m_deskChanged) {
            if (live.isEmpty())
                live = m_desk.liveState();
            Send(peer, state, MessageType::Live, live);
        } else if (now - state.spoken >= m_timing.beat) {
            Send(peer, state, MessageType::Beat, {});
        }
    }
    m_deskChanged = false;
}

} // namespace orinsub::backup
