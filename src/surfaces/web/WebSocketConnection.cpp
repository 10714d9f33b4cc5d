#include "WebSocketConnection.h"

#include <QStringDecoder>
#include <QTcpSocket>

#include <algorithm>

namespace orinsub::surfaces::web {

namespace {

// Room for the largest frame a page may send, header included: what it sends beyond that
// waits in the system.
constexpr qsizetype kMaxFrameHeader = 14;
constexpr qsizetype kInboxSize = kMaxRemoteMessage + kMaxFrameHeader;

bool IsUtf8(const QByteArray &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(text);
    return !decoder.hasError();
}

} // namespace

WebSocketConnection::WebSocketConnection(QTcpSocket *socket, QObject *parent)
    : QObject(parent), m_socket(socket)
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kTurnBudget);
    m_lastHeard.start();
    m_rateSecond.start();
    m_resume.setSingleShot(true);
    connect(&m_resume, &QTimer::timeout, this, [this] { ReadTurn(); });
    connect(m_socket, &QIODevice::readyRead, this, &WebSocketConnection::OnReadyRead);
    connect(m_socket, &QAbstractSocket::disconnected, this, &WebSocketConnection::OnDisconnected);
}

qint64 WebSocketConnection::Backlog() const
{
    return m_socket->bytesToWrite();
}

void WebSocketConnection::Write(const QByteArray &frame)
{
    if (m_gone || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_socket->bytesToWrite() > kMaxBacklog) {
        Abort(); // it cannot keep up, or does not read at all
        return;
    }
    m_socket->write(frame);
}

void WebSocketConnection::SendText(const QByteArray &text)
{
    if (!m_closing)
        Write(ServerFrame(WebSocketOpcode::Text, text));
}

void WebSocketConnection::Ping()
{
    if (!m_closing)
        Write(ServerFrame(WebSocketOpcode::Ping, {}));
}

void WebSocketConnection::Close(CloseCode code)
{
    if (m_closing)
        return;
    m_closing = true;
    m_fragmented = false;
    m_message.clear();
    Write(CloseFrame(code));
    QTimer::singleShot(kCloseGraceMs, this, &WebSocketConnection::Abort);
}

void WebSocketConnection::Fail(CloseCode code)
{
    Close(code);
    m_readDone = true; // nothing after a broken frame can be read
    if (!m_gone)
        m_socket->disconnectFromHost();
}

void WebSocketConnection::Abort()
{
    if (!m_gone)
        m_socket->abort();
}

void WebSocketConnection::OnReadyRead()
{
    // A turn already due, or a second used up, reads on by itself.
    if (!m_turnScheduled && !m_resume.isActive())
        ReadTurn();
}

void WebSocketConnection::OnDisconnected()
{
    if (m_gone)
        return;
    ReadTurn(true); // what the page sent before it went
    m_gone = true;
    m_resume.stop();
    emit Disconnected();
}

bool WebSocketConnection::IsOverRate()
{
    const qint64 elapsed = m_rateSecond.elapsed();
    if (elapsed >= 1000) {
        // Full seconds count only back to back: a quiet second in between starts afresh.
        const bool full = m_framesThisSecond >= kMaxFramesPerSecond && elapsed < 2000;
        m_fullSeconds = full ? m_fullSeconds + 1 : 0;
        m_rateSecond.restart();
        m_framesThisSecond = 0;
        if (m_fullSeconds >= kMaxFullSeconds) {
            Fail(CloseCode::Policy);
            return true;
        }
    }
    return m_framesThisSecond >= kMaxFramesPerSecond;
}

void WebSocketConnection::ReadTurn(bool draining)
{
    m_turnScheduled = false;
    qsizetype spent = 0;
    while (!m_readDone && !m_gone) {
        if (!draining && IsOverRate()) {
            if (!m_readDone)
                m_resume.start(static_cast<int>(1000 - m_rateSecond.elapsed()) + 1);
            break;
        }
        if (!draining && spent >= kTurnBudget) {
            m_turnScheduled = true;
            QTimer::singleShot(0, this, [this] { ReadTurn(); });
            break;
        }
        const FrameReadResult read = NextFrame();
        if (read.state == FrameReadResult::State::Incomplete)
            break;
        if (read.state == FrameReadResult::State::Refused) {
            Fail(read.refusal);
            break;
        }
        spent += std::max(read.size, kFrameCost);
        ++m_framesThisSecond;
        m_lastHeard.restart();
        Take(read.frame);
    }
    if (m_pong && !m_closing)
        Write(ServerFrame(WebSocketOpcode::Pong, *m_pong));
    m_pong.reset();
}

FrameReadResult WebSocketConnection::NextFrame()
{
    for (;;) {
        FrameReadResult read =
            ReadClientFrame(QByteArrayView(m_inbox).sliced(m_inboxAt), kMaxRemoteMessage);
        if (read.state == FrameReadResult::State::Complete)
            m_inboxAt += read.size;
        if (read.state != FrameReadResult::State::Incomplete)
            return read;
        if (m_socket->bytesAvailable() <= 0)
            return read;
        m_inbox.remove(0, m_inboxAt);
        m_inboxAt = 0;
        m_inbox += m_socket->read(kInboxSize - m_inbox.size());
    }
}

void WebSocketConnection::Take(const WebSocketFrame &frame)
{
    switch (frame.opcode) {
    case WebSocketOpcode::Ping:
        m_pong = frame.payload;
        return;
    case WebSocketOpcode::Pong:
        return;
    case WebSocketOpcode::Close:
        TakeClose(frame.payload);
        return;
    case WebSocketOpcode::Binary:
        Close(CloseCode::Unsupported);
        return;
    case WebSocketOpcode::Text:
    case WebSocketOpcode::Continuation:
        TakeData(frame);
        return;
    }
}

void WebSocketConnection::TakeData(const WebSocketFrame &frame)
{
    if (m_closing)
        return; // what was on its way before the close
    const bool continuation = frame.opcode == WebSocketOpcode::Continuation;
    if (continuation != m_fragmented) {
        Fail(CloseCode::ProtocolError); // a fragment out of its message
        return;
    }
    if (!continuation)
        m_message.clear();
    if (m_message.size() + frame.payload.size() > kMaxRemoteMessage) {
        Fail(CloseCode::TooBig);
        return;
    }
    m_message += frame.payload;
    m_fragmented = !frame.final;
    if (m_fragmented)
        return;
    if (!IsUtf8(m_message)) {
        Fail(CloseCode::InvalidText);
        return;
    }
    emit TextReceived(std::exchange(m_message, {}));
}

void WebSocketConnection::TakeClose(const QByteArray &payload)
{
    if (payload.size() == 1) {
        Fail(CloseCode::ProtocolError); // a code is two bytes
        return;
    }
    // The page's close answers ours, or is answered with its own code; then the console, as the
    // server, ends the connection.
    if (!m_closing) {
        m_closing = true;
        Write(ServerFrame(WebSocketOpcode::Close, payload.left(2)));
    }
    m_readDone = true;
    m_socket->disconnectFromHost();
}

} // namespace orinsub::surfaces::web
