#include "OscSurface.h"

#include "surfaces/ControlLayer.h"

namespace orinsub::surfaces::osc {

namespace {

using Kind = ControlTarget::Kind;

constexpr int kStrips = 8; // the default banks' width

/// Every fader, handle, lamp and strip a client may show.
std::vector<ControlTarget> AllShownTargets()
{
    std::vector<ControlTarget> targets;
    for (int row = 0; row < 2; ++row) {
        for (int channel = 0; channel < ControlTarget::kChannels; ++channel)
            targets.push_back({Kind::RowFader, row, channel});
    }
    for (int sub = 0; sub < ControlTarget::kSubFaders; ++sub)
        targets.push_back({Kind::SubFader, 0, sub});
    targets.push_back({Kind::CrossfadeHandle, 0, 0});
    targets.push_back({Kind::CrossfadeHandle, 0, 1});
    for (int input = 0; input < 3; ++input)
        targets.push_back({Kind::Input, 0, input});
    for (Kind lit : {Kind::PageUp, Kind::PageDown, Kind::BankNext, Kind::BankPrevious})
        targets.push_back({lit});
    targets.push_back({Kind::Link});
    targets.push_back({Kind::Go});
    targets.push_back({Kind::GoTime});
    for (int strip = 0; strip < kStrips; ++strip)
        targets.push_back({Kind::Strip, 0, strip});
    return targets;
}

} // namespace

OscSurface::OscSurface(ControlLayer &layer, std::unique_ptr<OscServer> server, bool pickUp)
    : m_layer(layer), m_server(std::move(server)), m_pickUp(pickUp), m_targets(AllShownTargets())
{
    m_sendTimer.setSingleShot(true);
    m_sendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sendTimer, &QTimer::timeout, this, &OscSurface::SendPending);
    m_server->OnActions([this](const std::vector<ReceivedAction> &turn) { Play(turn); });
    m_server->OnNewClient([this](const OscEndpoint &client) { ShowDesk(client); });
    m_layer.Attach(this, DefaultBanks(kStrips));
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
            m_layer.Move(this, action.target, action.level);
        else
            m_layer.Press(this, action.target, action.down);
    }
    // The layer shows no surface its own move, but the other clients must still see it; what a
    // button changes, the layer shows everyone.
    for (const ReceivedAction &received : turn) {
        if (!received.action.isMove)
            continue;
        const ControlTarget &target = received.action.target;
        const ControlTarget played = m_layer.Resolve(this, target);
        const int value = m_layer.Value(played);
        Show(target, value, received.from);
        if (!(played == target))
            Show(played, value, received.from);
    }
}

void OscSurface::Show(const ControlTarget &target, int value, std::optional<OscEndpoint> except)
{
    const Shown shown{target, value, except};
    const Key key{static_cast<int>(target.kind), target.row, target.index};
    m_shown[key] = shown;
    m_pending[key] = shown;
    if (m_sendTimer.isActive())
        return;
    const qint64 since = m_sinceSend.isValid() ? m_sinceSend.elapsed() : kFeedbackGapMs;
    m_sendTimer.start(static_cast<int>(std::max<qint64>(0, kFeedbackGapMs - since)));
}

void OscSurface::SendPending()
{
    m_sinceSend.restart();
    std::vector<std::pair<const Shown *, QByteArray>> messages;
    for (const auto &[key, shown] : m_pending)
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
    for (const auto &[key, shown] : m_shown)
        messages.push_back(EncodeOscFeedback(shown.target, OscValue(shown.target, shown.value)));
    for (const QByteArray &datagram : PackOscMessages(messages))
        m_server->Send(client, datagram);
}

} // namespace orinsub::surfaces::osc
