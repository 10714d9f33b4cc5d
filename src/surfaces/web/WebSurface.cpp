#include "WebSurface.h"

#include "RemoteMessage.h"
#include "WebSocketConnection.h"
#include "surfaces/ControlLayer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace orinsub::surfaces::web {

WebSurface::WebSurface(ControlLayer &layer, WebSocketConnection *connection, QByteArray tokenHash,
                       QObject *parent)
    : QObject(parent), m_layer(layer), m_connection(connection), m_tokenHash(std::move(tokenHash))
{
    m_connection->setParent(this);
    connect(m_connection, &WebSocketConnection::TextReceived, this, &WebSurface::OnText);
    connect(m_connection, &WebSocketConnection::Disconnected, this, [this] {
        PlaySlice(); // what the page sent before it went
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

const std::vector<ControlTarget> &WebSurface::ShownTargets() const
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

void WebSurface::OnText(const QByteArray &text)
{
    if (m_closed)
        return; // what the connection still held when it was closed
    const std::optional<RemoteMessage> message = ReadRemoteMessage(text);
    if (!message) {
        Close();
        return;
    }
    Take(*message);
}

void WebSurface::Take(const RemoteMessage &message)
{
    // Whatever one slice brings is played in the next turn, once the socket has handed it all
    // over.
    if (!m_playScheduled) {
        m_playScheduled = true;
        QTimer::singleShot(0, this, &WebSurface::PlaySlice);
    }
    if (message.kind == RemoteMessage::Kind::Move) {
        const auto same = std::find_if(m_slice.rbegin(), m_slice.rend(), [&](const Taken &taken) {
            return taken.message.target == message.target;
        });
        if (same != m_slice.rend() && same->message.kind == RemoteMessage::Kind::Move) {
            if (same->lastOfRun) {
                same->message.value = message.value;
                return;
            }
            m_slice.push_back({message, true});
            return;
        }
    }
    m_slice.push_back({message, false});
}

void WebSurface::PlaySlice()
{
    m_playScheduled = false;
    if (m_slice.empty() || !m_attached)
        return;
    const std::vector<Taken> slice = std::exchange(m_slice, {});
    for (const Taken &taken : slice) {
        const RemoteMessage &message = taken.message;
        switch (message.kind) {
        case RemoteMessage::Kind::Move:
            m_layer.Move(this, message.target, message.value);
            NoteCaught(message.target);
            break;
        case RemoteMessage::Kind::Touch:
            m_layer.Touch(this, message.target, message.down);
            break;
        case RemoteMessage::Kind::Press:
            m_layer.Press(this, message.target, message.down);
            break;
        }
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
    m_connection->SendText(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void WebSurface::Ping()
{
    if (!m_closed)
        m_connection->Ping();
}

void WebSurface::DropIfStale(qint64 silentLimitMs)
{
    if (!m_closed && (m_connection->SilentMs() > silentLimitMs ||
                      m_connection->Backlog() > WebSocketConnection::kMaxBacklog))
        m_connection->Abort();
}

void WebSurface::Close()
{
    if (m_closed)
        return;
    m_slice.clear();
    m_closed = true;
    if (m_attached) {
        m_layer.Detach(this);
        m_attached = false;
    }
    m_connection->Close(CloseCode::Policy);
}

} // namespace orinsub::surfaces::web
