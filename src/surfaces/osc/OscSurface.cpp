#include "OscSurface.h"

#include "surfaces/ControlLayer.h"

namespace orinsub::surfaces::osc {

namespace {

using Kind = ControlTarget::Kind;

constexpr int kStrips = 8; // the default banks' width

std::tuple<int, int, int> Key(const ControlTarget &target)
{
    return {static_cast<int>(target.kind), target.row, target.index};
}

} // namespace

OscSurface::OscSurface(ControlLayer &layer, std::unique_ptr<OscServer> server, bool pickUp)
    : m_layer(layer), m_server(std::move(server)), m_pickUp(pickUp)
{
    m_server->OnActions([this](const std::vector<ReceivedAction> &turn) { Play(turn); });
    m_server->OnNewClient([this](const OscEndpoint &client) { ShowDesk(client); });
    m_layer.Attach(this, DefaultBanks(kStrips));
}

OscSurface::~OscSurface()
{
    m_layer.Detach(this);
}

std::vector<ControlTarget> OscSurface::ShownTargets() const
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
    targets.push_back({Kind::Link});
    targets.push_back({Kind::Go});
    targets.push_back({Kind::GoTime});
    for (int strip = 0; strip < kStrips; ++strip)
        targets.push_back({Kind::Strip, 0, strip});
    return targets;
}

void OscSurface::OnFeedback(const ControlTarget &target, int value, bool)
{
    m_shown[Key(target)] = {target, value};
    m_server->SendToAll(EncodeOscFeedback(target, OscValue(target, value)));
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
        Show(target, &received.from);
        const ControlTarget played = m_layer.Resolve(this, target);
        if (!(played == target))
            Show(played, &received.from);
    }
}

void OscSurface::Show(const ControlTarget &target, const OscEndpoint *except)
{
    const int value = m_layer.Value(m_layer.Resolve(this, target));
    m_shown[Key(target)] = {target, value};
    m_server->SendToAll(EncodeOscFeedback(target, OscValue(target, value)), except);
}

void OscSurface::ShowDesk(const OscEndpoint &client)
{
    for (const auto &[key, shown] : m_shown)
        m_server->Send(client, EncodeOscFeedback(shown.first, OscValue(shown.first, shown.second)));
}

} // namespace orinsub::surfaces::osc
