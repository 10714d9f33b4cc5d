#pragma once

#include "RemoteMessage.h"
#include "surfaces/Surface.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>

#include <map>
#include <vector>

class QWebSocket;

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::web {

/// One connected page: a surface of its own on the control layer (its own pick-up, no echo of
/// its own moves). Reads the page's messages strictly, a slice of at most kReadSlice bytes per
/// event-loop turn, and plays each slice at once with the moves of one fader gathered (the first
/// and the last value, so that pick-up still sees where the finger landed). Closes its
/// connection on the first bad message or past kMaxMessagesPerSecond. Sends the feedback and the
/// desk's changes gathered into one message per event-loop turn. Owns its socket. UI thread
/// only.
class WebSurface : public QObject, public Surface
{
    Q_OBJECT
public:
    /// tokenHash: the paired device it belongs to (empty without pairing).
    WebSurface(ControlLayer &layer, QWebSocket *socket, QByteArray tokenHash,
               QObject *parent = nullptr);
    ~WebSurface() override;

    bool IsMotorised() const override { return false; }
    const std::vector<ControlTarget> &ShownTargets() const override;
    void OnFeedback(const ControlTarget &target, int value, bool caught) override;

    /// Desk changes (DeskState::ChangesSince) to send with the next message.
    void QueueDesk(const QJsonObject &changes);
    /// Closes a connection that has not been heard of for too long or cannot keep up.
    void DropIfStale(qint64 silentLimitMs);
    void Ping();
    /// Closes the connection (the device was forgotten, the server stops).
    void Close();
    const QByteArray &TokenHash() const { return m_tokenHash; }

    /// More unsent bytes than this and the page is dropped: it cannot keep up.
    static constexpr qint64 kMaxBacklog = 256 * 1024;
    /// Room for two of the largest messages with their frame headers, and no more: the rest of
    /// a flood waits in the system while the desk takes its turns.
    static constexpr qint64 kReadSlice = 2 * kMaxRemoteMessage;
    /// Far above what any number of fingers sends; a page past it is dropped.
    static constexpr int kMaxMessagesPerSecond = 2000;
    /// How long a closed page has to answer the close before it is cut off.
    static constexpr int kCloseGraceMs = 1000;

signals:
    /// The connection is gone; the server deletes the surface.
    void Closed(orinsub::surfaces::web::WebSurface *surface);

private:
    void OnText(const QString &text);
    void Take(const RemoteMessage &message);
    void PlaySlice();
    void ScheduleSend();
    void Send();
    void NoteCaught(const ControlTarget &target);

    ControlLayer &m_layer;
    QWebSocket *m_socket;
    QByteArray m_tokenHash;
    bool m_attached = false;
    bool m_sendScheduled = false;
    bool m_closed = false;
    struct Shown
    {
        int value = 0;
        bool caught = false;
    };
    std::map<QString, Shown> m_pending; // feedback not yet sent, by target name
    std::map<QString, bool> m_caught;   // the page's pick-up state as last sent
    QJsonObject m_pendingDesk;
    QElapsedTimer m_lastHeard;
    // The slice read but not yet played; a move marked last follows the first move of its run.
    struct Taken
    {
        RemoteMessage message;
        bool lastOfRun = false;
    };
    std::vector<Taken> m_slice;
    bool m_playScheduled = false;
    QElapsedTimer m_rateSecond;
    int m_messagesThisSecond = 0;
};

} // namespace orinsub::surfaces::web
