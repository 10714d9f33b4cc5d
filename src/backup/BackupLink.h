#pragma once

#include "BackupWire.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <optional>

namespace orinsub::backup {

/// One end of a connection as the link sees it; the network (or a test) makes them.
class BackupPeer
{
public:
    virtual ~BackupPeer() = default;
    virtual void Send(const QByteArray &bytes) = 0;
    /// Ends the connection; the owner reports it closed later, never from inside this call.
    virtual void Close() = 0;
};

/// What the link needs of the console it runs in.
struct BackupDesk
{
    std::function<QByteArray()> showBytes; // the show as its file would hold it now
    std::function<QString()> showPath;     // where the show on the desk came from
    std::function<QByteArray()> liveState; // the desk's live state as its file holds it
    /// A tracked console's show and live state (the path as the sender named it).
    std::function<void(const QString &path, const QByteArray &show)> takeShow;
    std::function<void(const QByteArray &liveState)> takeLiveState;
};

/// How long the link waits for what.
struct BackupTiming
{
    std::chrono::milliseconds silence{1000};   // a live peer unheard this long is gone
    std::chrono::milliseconds beat{200};       // a live console speaks at least this often
    std::chrono::milliseconds startWait{1000}; // a main looks this long for a live peer
};

/// The tracking backup: a live console streams its show and its live state to every console that
/// tracks it; a tracking console plays what it is sent and takes the stage when the live one falls
/// silent, or when its operator takes it. Exactly one console of a pair is live once they have
/// met; a console coming back to a live peer tracks it. The link works on bytes through
/// BackupPeer and on time through Tick, so the network, the frame timer and the clock are
/// the caller's. What it hands the desk is queued to the event loop: nothing the desk does with
/// a received show (a box included) runs inside a connection's handler. UI thread only.
class BackupLink : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Timing = BackupTiming;

    /// main: this console is the main (it goes live on its own once the start wait has passed
    /// without a live peer); otherwise it is a backup and only ever goes live after it tracked.
    /// priority: the sACN priority this console sends with when live, told to its peers.
    BackupLink(QByteArray key, BackupDesk desk, bool main, uint8_t priority, Timing timing = {},
               Clock clock = &std::chrono::steady_clock::now);
    ~BackupLink() override;

    Role GetRole() const { return m_role; }
    /// The sACN priority the last live peer sends with (0 before one greeted this console).
    uint8_t GetLivePeerPriority() const { return m_livePeerPriority; }
    /// Whether a live peer is tracked now.
    bool IsTracking() const;
    /// The show's path the live peer last named ("" for untitled, or none yet).
    const QString &GetTrackedShow() const { return m_trackedShow; }
    int GetRefusals() const { return m_refusals; }
    const QString &GetLastRefusal() const { return m_lastRefusal; }

    // The network's reports.
    void Opened(BackupPeer *peer, bool server);
    void Received(BackupPeer *peer, const QByteArray &bytes);
    void Closed(BackupPeer *peer);

    /// The show changed (opened, edited, saved): trackers get it again.
    void ShowChanged();
    /// The desk changed: trackers get its live state at the next tick.
    void DeskChanged() { m_deskChanged = true; }
    /// Once a frame: sends what waits, keeps the peers awake, notices a silent live peer.
    void Tick();
    /// 「本番を引き継ぐ」: this console plays from now on and tells its peers so.
    void TakeStage();
    /// 「本番を渡す」: a live console hands the stage to a console that tracks it, which takes
    /// it over as with TakeStage. False when none tracks it.
    bool GiveStage();

signals:
    void RoleChanged(orinsub::backup::Role role);
    /// A message was refused (the count and the last reason changed).
    void Refused();

private:
    struct Peer
    {
        BackupWire wire;
        bool server; // this end listened
        std::optional<Role> role;
        uint8_t priority = 0;
        bool proven = false; // a sealed message of its own showed it holds the key
        bool joined = false; // it tracks this console
        std::chrono::steady_clock::time_point heard;
        std::chrono::steady_clock::time_point spoken;
    };

    void SetRole(Role role);
    void GoLive();
    void Send(BackupPeer *peer, Peer &state, MessageType type, const QByteArray &payload);
    void Track(BackupPeer *peer, Peer &state);
    void Take(BackupPeer *peer, Peer &state, const Message &message);
    /// Hands what was received to the desk from the event loop: the latest live state only.
    void HandToDesk();
    void Refuse(BackupPeer *peer, const QString &why);
    QByteArray ShowPayload() const;

    QByteArray m_key;
    BackupDesk m_desk;
    bool m_main;
    uint8_t m_priority;
    uint8_t m_livePeerPriority = 0;
    Timing m_timing;
    Clock m_clock;
    // The first tick: the start wait counts from there, as a console may be slow to start; and
    // lasts this many ticks at least, each a pass of the event loop that reads the peers.
    static constexpr int kStartTicks = 10;
    std::optional<std::chrono::steady_clock::time_point> m_started;
    int m_ticks = 0;
    Role m_role;
    BackupPeer *m_tracked = nullptr; // the live peer this console follows
    // When the live peer followed last spoke; none before one was followed.
    std::optional<std::chrono::steady_clock::time_point> m_liveHeard;
    bool m_deskChanged = false;
    std::map<BackupPeer *, Peer> m_peers;
    QString m_trackedShow;
    int m_refusals = 0;
    QString m_lastRefusal;
    std::optional<QByteArray> m_pendingLive; // received, not yet handed to the desk
    bool m_handing = false;                  // a hand-over to the desk is queued
};

} // namespace orinsub::backup
