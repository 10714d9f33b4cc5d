#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace orinsub::backup {

/// What a console is to the stage, as it tells its peer.
enum class Role : uint8_t {
    Starting = 0, // just started: it plays nothing until it knows whether a peer is live
    Tracking = 1, // follows a live peer and plays nothing of its own
    Live = 2,     // plays the stage
};

/// What travels on the link after the greeting, each sealed with the shared key.
enum class MessageType : uint8_t {
    Join = 1,     // a tracking console asks for the show (it proves the key before it gets any)
    Show = 2,     // the show file's bytes, after the show's path (u32 length, UTF-8)
    Live = 3,     // the desk's live state, as its file holds it
    Beat = 4,     // nothing changed: the sender lives
    TakeOver = 5, // the sender takes the stage now: the receiver tracks it from now on
    GiveStage = 6, // the live sender hands the stage to the receiver, which takes it over
};

struct Message
{
    MessageType type;
    QByteArray payload;
};

/// One connection's end of the backup link: the greeting, then every message sealed with a
/// session key that both ends derive from the shared key and two fresh nonces, so that no
/// secret travels and nothing recorded on one connection plays on another. Each message carries
/// a counter that must rise by exactly one: a replayed, reordered, cut or forged message is
/// refused, and after a refusal the wire takes nothing more. No thread of its own; no socket.
class BackupWire
{
public:
    static constexpr uint16_t kVersion = 1;
    /// The largest message: a show with every cue is about 320 kB.
    static constexpr qsizetype kMaxPayload = 8 * 1024 * 1024;
    static constexpr qsizetype kNonceBytes = 16;
    static constexpr qsizetype kMacBytes = 32;

    /// server: this end listens (the directions are told apart by it). nonce: fresh random
    /// bytes of kNonceBytes; none: made here from the system's source.
    BackupWire(QByteArray key, bool server, std::optional<QByteArray> nonce = std::nullopt);

    /// This end's greeting, to be sent first, once: its role and the sACN priority it sends
    /// with when live.
    QByteArray Greeting(Role role, uint8_t priority = 100) const;

    struct Read
    {
        std::optional<Role> peerRole; // the peer's greeting came in this read
        uint8_t peerPriority = 0;     // with it
        std::vector<Message> messages;
        QString refusal; // why the wire took the last bytes as no message of the link
    };
    /// Bytes as they came from the peer, in any pieces. After a refusal every later call
    /// refuses too.
    Read Feed(const QByteArray &bytes);

    /// A message sealed for the peer; only once the peer's greeting came.
    QByteArray Seal(MessageType type, const QByteArray &payload);
    bool IsOpen() const { return !m_sessionKey.isEmpty(); }
    bool IsRefused() const { return !m_refusal.isEmpty(); }

private:
    QByteArray Mac(char direction, const QByteArray &sealed) const;
    bool TakeGreeting(Read &read);
    bool TakeMessage(Read &read);
    void Refuse(Read &read, const QString &why);

    QByteArray m_key;
    bool m_server;
    QByteArray m_nonce;
    QByteArray m_sessionKey;
    QByteArray m_buffer;
    uint64_t m_sent = 0;
    uint64_t m_received = 0;
    QString m_refusal;
};

} // namespace orinsub::backup
