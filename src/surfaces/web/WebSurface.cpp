#include "WebSurface.h"

#include "RemoteMessage.h"
#include "surfaces/ControlLayer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebSocket>

namespace orinsub::surfaces::web {

WebSurface::WebSurface(ControlLayer &layer, QWebSocket *socket, QByteArray tokenHash,
                       QObject *parent)
    : QObject(parent), m_layer(layer), m_socket(socket), m_tokenHash(std::move(tokenHash))
{
    m_socket->setParent(this);
    m_socket->setMaxAllowedIncomingMessageSize(kMaxRemoteMessage);
    m_socket->setMaxAllowedIncomingFrameSize(kMaxRemoteMessage);
    m_lastHeard.start();
    connect(m_socket, &QWebSocket::textMessageReceived, this, &WebSurface::OnText);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, [this] { Close(); });
    connect(m_socket, &QWebSocket::pong, this, [this] { m_lastHeard.restart(); });
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        Close();
        emit Closed(this);
    });
    m_layer.Attach(this);
    m_attached = true;
}

WebSurface::~WebSurface()
{
    if (m_attached)
        m_layer.Detach(this);
}

std::vector<ControlTarget> WebSurface::ShownTargets() const
{
    static const std::vector<ControlTarget> targets = ListTargets(TargetList::DeskControls);
    return targets;
}

void WebSurface::OnFeedback(const ControlTarget &target, int value, bool caught)
{
    const QString name = target.Name();
    m_pending[name] = {value, caught};
    m_caught[name] = caught;
    ScheduleSend();
}

void WebSurface::QueueDesk(const QJsonObject &changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it)
        m_pendingDesk.insert(it.key(), it.value());
    ScheduleSend();
}

void WebSurface::OnText(const QString &text)
{
    m_lastHeard.restart();
    const std::optional<RemoteMessage> message = ReadRemoteMessage(text.toUtf8());
    if (!message) {
        Close();
        return;
    }
    switch (message->kind) {
    case RemoteMessage::Kind::Move:
        m_layer.Move(this, message->target, message->value);
        NoteCaught(message->target);
        break;
    case RemoteMessage::Kind::Touch:
        m_layer.Touch(this, message->target, message->down);
        break;
    case RemoteMessage::Kind::Press:
        m_layer.Press(this, message->target, message->down);
        break;
    }
}

void WebSurface::NoteCaught(const ControlTarget &target)
{
    // The layer never echoes the page's own moves: the page learns here when its finger
    // catches the console fader.
    const QString name = target.Name();
    const bool caught = m_layer.IsCaught(this, target);
    const auto known = m_caught.find(name);
    if (known != m_caught.end() && known->second == caught)
        return;
    m_caught[name] = caught;
    m_pending[name] = {m_layer.Value(target), caught};
    ScheduleSend();
}

void WebSurface::ScheduleSend()
{
    if (m_sendScheduled || m_closed)
        return;
    m_sendScheduled = true;
    QTimer::singleShot(0, this, &WebSurface::Send);
}

void WebSurface::Send()
{
    m_sendScheduled = false;
    if (m_closed || (m_pending.empty() && m_pendingDesk.isEmpty()))
        return;
    if (m_socket->bytesToWrite() > kMaxBacklog) {
        m_socket->abort();
        return;
    }
    QJsonObject message;
    if (!m_pending.empty()) {
        QJsonArray values;
        for (const auto &[name, shown] : m_pending)
            values.append(QJsonArray{name, shown.value, shown.caught ? 1 : 0});
        message.insert(QStringLiteral("f"), values);
        m_pending.clear();
    }
    if (!m_pendingDesk.isEmpty()) {
        message.insert(QStringLiteral("d"), m_pendingDesk);
        m_pendingDesk = {};
    }
    m_socket->sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void WebSurface::Ping()
{
    if (!m_closed)
        m_socket->ping();
}

void WebSurface::DropIfStale(qint64 silentLimitMs)
{
    if (!m_closed &&
        (m_lastHeard.elapsed() > silentLimitMs || m_socket->bytesToWrite() > kMaxBacklog))
        m_socket->abort();
}

void WebSurface::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_attached) {
        m_layer.Detach(this);
        m_attached = false;
    }
    m_socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
}

} // namespace orinsub::surfaces::web
