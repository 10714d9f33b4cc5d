#pragma once

#include "RemoteMessage.h"
#include "WebSocketFrame.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTcpSocket;

namespace orinsub::surfaces::web {

/// A page's WebSocket, the console's end (RFC 6455), over the TCP connection whose upgrade was
/// answered. Its work is bounded by what it costs, not by how it arrives: each turn of the event
/// loop reads frames worth at most kTurnBudget (a frame's bytes, at least kFrameCost for any
/// frame, an empty one too) and goes on in the next turn; every frame a page sends (messages,
/// their fragments, pings, pongs) counts toward kMaxFramesPerSecond, past which the page is read
/// no further until its second is over, and a page that uses up kMaxFullSeconds seconds back to
/// back is dropped (1008). Fails the connection on what no client may send:
/// unmasked or reserved-bit frames, unknown opcodes, fragments out of order (1002), text that is
/// not UTF-8 (1007), messages over kMaxRemoteMessage (1009); closes it on binary data (1003).
/// Pings are answered once a turn, for the last of them. Owns the socket. UI thread only.
class WebSocketConnection : public QObject
{
    Q_OBJECT
public:
    /// socket: connected, its upgrade answered.
    explicit WebSocketConnection(QTcpSocket *socket, QObject *parent = nullptr);

    /// One text message; a page that leaves more than kMaxBacklog unread is cut off instead.
    void SendText(const QByteArray &text);
    void Ping();
    /// Sends a close with code, reads nothing more but the page's close, and cuts the
    /// connection off when that has not come within kCloseGraceMs.
    void Close(CloseCode code);
    /// Cuts the connection off at once.
    void Abort();
    /// How long since the page was last heard (a page waiting out its rate is not silent); how
    /// much it has not read yet.
    qint64 SilentMs() const { return m_resume.isActive() ? 0 : m_lastHeard.elapsed(); }
    qint64 Backlog() const;

    static constexpr qsizetype kTurnBudget = 2 * kMaxRemoteMessage;
    static constexpr qsizetype kFrameCost = 64;
    /// Far above what any number of fingers sends.
    static constexpr int kMaxFramesPerSecond = 2000;
    static constexpr int kMaxFullSeconds = 3;
    static constexpr qint64 kMaxBacklog = 256 * 1024;
    static constexpr int kCloseGraceMs = 1000;

signals:
    /// A whole text message: UTF-8, at most kMaxRemoteMessage bytes.
    void TextReceived(const QByteArray &text);
    /// The connection is gone; what the page sent before is told first.
    void Disconnected();

private:
    void OnReadyRead();
    void OnDisconnected();
    void ReadTurn(bool draining = false);
    FrameReadResult NextFrame();
    bool IsOverRate();
    void Take(const WebSocketFrame &frame);
    void TakeData(const WebSocketFrame &frame);
    void TakeClose(const QByteArray &payload);
    void Fail(CloseCode code);
    void Write(const QByteArray &frame);

    QTcpSocket *m_socket;
    QByteArray m_inbox; // bytes taken from the socket; frames from m_inboxAt on are unread
    qsizetype m_inboxAt = 0;
    QByteArray m_message; // a fragmented message so far
    bool m_fragmented = false;
    std::optional<QByteArray> m_pong; // the answer to the last ping of this turn
    bool m_closing = false;
    bool m_readDone = false; // failed or closed by the page: nothing more is read
    bool m_gone = false;
    bool m_turnScheduled = false;
    QTimer m_resume; // at the end of a second the page had used up
    QElapsedTimer m_lastHeard;
    QElapsedTimer m_rateSecond;
    int m_framesThisSecond = 0;
    int m_fullSeconds = 0; // seconds back to back in which the page sent all it may
};

} // namespace orinsub::surfaces::web
