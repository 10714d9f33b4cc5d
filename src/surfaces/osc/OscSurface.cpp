#include "OscSurface.h"

#include "surfaces/ControlLayer.h"

namespace orinsub::surfaces::osc {

namespace {

/// Each client keeps its own pick-up: its address and port name its controls.
ControlId ClientControl(const OscEndpoint &client)
{
    return (ControlId{client.address} << 16) | client.port;
}

} // namespace

OscSurface::OscSurface(ControlLayer &layer, std::unique_ptr<OscServer> server, bool pickUp)
    : m_layer(layer), m_server(std::move(server)), m_pickUp(pickUp)
{
    std::vector<Bank> banks = DefaultBanks();
    const SurfaceShape shape = ShapeOf(banks);
    m_targets = ListTargets(TargetList::Shown, shape);
    m_server->SetShape(shape);
    m_sendTimer.setSingleShot(true);
    m_sendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sendTimer, &QTimer::timeout, this, &OscSurface::SendPending);
    m_server->OnActions([this](const std::vector<ReceivedAction> &turn) { Play(turn); });
    m_server->OnNewClient([this](const OscEndpoint &client) { ShowDesk(client); });
    m_layer.Attach(this, std::move(banks));
}

OscSurface::~OscSurface()
{
    m_layer.Detach(this);
}

void OscSurface::OnFeedback(const ControlTarget &target, int value, bool)
{
    Show(target, value, std::nullopt);
}

void OscSurface::Play(const std::vector<ReceivedAction> &turn)
{
    for (const ReceivedAction &received : turn) {
        const OscAction &action = received.action;
        if (action.isMove)
            m_layer.Move(this, action.target, action.level, 1, ClientControl(received.from));
        else
            m_layer.Press(this, action.target, action.down);
    }
    // The layer shows no surface its own move, but the other clients must still see it, and
    // every client the other names of what it played (sub/1 and the strip showing it); what a
    // button changes, the layer shows everyone.
    for (const ReceivedAction &received : turn) {
        if (!received.action.isMove)
            continue;
        const ControlTarget &moved = received.action.target;
        const ControlTarget played = m_layer.Resolve(this, moved);
        const int value = m_layer.Value(played);
        for (const ControlTarget &shown : m_targets) {
            if (shown == moved)
                Show(shown, value, received.from);
            else if (shown == played || (shown.kind == ControlTarget::Kind::Strip &&
                                         m_layer.Resolve(this, shown) == played))
                Show(shown, value, std::nullopt);
        }
    }
}

void OscSurface::Show(const ControlTarget &target, int value, std::optional<OscEndpoint> except)
{
    const Shown shown{target, value, except};
    m_shown[target] = shown;
    m_pending[target] = shown;
    if (m_sendTimer.isActive())
        return;
    const qint64 since = m_sinceSend.isValid() ? m_sinceSend.elapsed() : kFeedbackGapMs;
    m_sendTimer.start(static_cast<int>(std::max<qint64>(0, kFeedbackGapMs - since)));
}

void OscSurface::SendPending()
{
    m_sinceSend.restart();
    std::vector<std::pair<const Shown *, QByteArray>> messages;
    for (const auto &[target, shown] : m_pending)
        messages.emplace_back(&shown,
                              EncodeOscFeedback(shown.target, OscValue(shown.target, shown.value)));
    for (const OscEndpoint &recipient : m_server->Recipients()) {
        std::vector<QByteArray> forRecipient;
        for (const auto &[shown, message] : messages) {
            if (shown->except != recipient)
                forRecipient.push_back(message);
        }
        for (const QByteArray &datagram : PackOscMessages(forRecipient))
            m_server->Send(recipient, datagram);
    }
    m_pending.clear();
}

void OscSurface::ShowDesk(const OscEndpoint &client)
{
    std::vector<QByteArray> messages;
    for (const auto &[target, shown] : m_shown)
        messages.push_back(EncodeOscFeedback(shown.target, OscValue(shown.target, shown.value)));
    for (const QByteArray &datagram : PackOscMessages(messages))
        m_server->Send(client, datagram);
}

} // namespace orinsub::surfaces::osc
