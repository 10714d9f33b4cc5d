#pragma once

#include "surfaces/Surface.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>

#include <map>

class QWebSocket;

namespace orinsub::surfaces {
class ControlLayer;
}

namespace orinsub::surfaces::web {

/// One connected page: a surface of its own on the control layer (its own pick-up, no echo of
/// its own moves). Reads the page's messages strictly and closes its connection on the first
/// bad one; sends the feedback and the desk's changes gathered into one message per event-loop
/// turn. Owns its socket. UI thread only.
class WebSurface : public QObject, public Surface
{
    Q_OBJECT
public:
    /// tokenHash: the paired device it belongs to (empty without pairing).
    WebSurface(ControlLayer &layer, QWebSocket *socket, QByteArray tokenHash,
               QObject *parent = nullptr);
    ~WebSurface() override;

    bool IsMotorised() const override { return false; }
    std::vector<ControlTarget> ShownTargets() const override;
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

signals:
    /// The connection is gone; the server deletes the surface.
    void Closed(orinsub::surfaces::web::WebSurface *surface);

private:
    void OnText(const QString &text);
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
};

} // namespace orinsub::surfaces::web
