#include "ChaseFollower.h"

#include "ConsoleOperations.h"
#include "model/ChasePlayer.h"
#include "model/Mix.h"

namespace orinsub::views {

ChaseFollower::ChaseFollower(std::function<void()> showSpeeds)
    : m_player(std::make_unique<model::ChasePlayer>()), m_showSpeeds(std::move(showSpeeds))
{
    m_tick.setInterval(kFollowMs);
    QObject::connect(&m_tick, &QTimer::timeout, [this] { Follow(); });
    m_player->SetChangeListener([this] { OnChanged(); });
}

ChaseFollower::~ChaseFollower() = default;

void ChaseFollower::OnChanged()
{
    // The player may be telling from inside the mix: nothing here recomputes the output.
    if (m_player->IsAnyRunning() && !m_tick.isActive())
        m_tick.start();
    else if (!m_player->IsAnyRunning())
        m_tick.stop();
    m_showSpeeds();
}

void ChaseFollower::Follow()
{
    model::RecomputeAllChannels();
    UpdateOutputDisplays();
    m_showSpeeds();
}

} // namespace orinsub::views
