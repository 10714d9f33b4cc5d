#pragma once

#include "RemoteMessage.h"
#include "surfaces/Surface.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>

#include <map>
#include <vector>

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::web {

class WebSocketConnection;

/// One connected page: a surface of its own on the control layer (its own pick-up, no echo of
/// its own moves). Reads the page's messages strictly, as its connection hands them over a turn
/// of the event loop at a time, and plays each turn's at once with the moves of one fader
/// gathered (the first and the last value, so that pick-up still sees where the finger landed);
/// a press is never gathered away. Closes its connection on the first bad message. Sends the
/// feedback and the desk's changes gathered into one message per event-loop turn. Owns its
/// connection. UI thread only.
class WebSurface : public QObject, public Surface
{
    Q_OBJECT
public:
    /// tokenHash: the paired device it belongs to (empty without pairing).
    WebSurface(ControlLayer &layer, WebSocketConnection *connection, QByteArray tokenHash,
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

signals:
    /// The connection is gone; the server deletes the surface.
    void Closed(orinsub::surfaces::web::WebSurface *surface);

private:
    void OnText(const QByteArray &text);
    void Take(const RemoteMessage &message);
    void PlaySlice();
    void ScheduleSend();
    void Send();
    void NoteCaught(const ControlTarget &target);

    ControlLayer &m_layer;
    WebSocketConnection *m_connection;
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
    // The slice read but not yet played; a move marked last follows the first move of its run.
    struct Taken
    {
        RemoteMessage message;
        bool lastOfRun = false;
    };
    std::vector<Taken> m_slice;
    bool m_playScheduled = false;
};

} // namespace orinsub::surfaces::web
