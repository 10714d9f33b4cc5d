#pragma once

#include <QTimer>
#include <functional>
#include <memory>

namespace orinsub::model {
class ChasePlayer;
}

namespace orinsub::views {

/// Owns the master pane's chase player and keeps the desk's displays with it: while any chase
/// runs, every kFollowMs the output is mixed again at the UI's time and the output readouts
/// follow (the wire follows every frame on the link's own); on every change of the player, and
/// with every follow, showSpeeds shows the chases' speeds. UI thread.
class ChaseFollower
{
public:
    static constexpr int kFollowMs = 40;

    explicit ChaseFollower(std::function<void()> showSpeeds);
    ~ChaseFollower();
    ChaseFollower(const ChaseFollower &) = delete;
    ChaseFollower &operator=(const ChaseFollower &) = delete;

    model::ChasePlayer &Player() const { return *m_player; }
    /// Whether the displays are following a running chase.
    bool IsFollowing() const { return m_tick.isActive(); }

private:
    void OnChanged();
    void Follow();

    std::unique_ptr<model::ChasePlayer> m_player;
    QTimer m_tick;
    std::function<void()> m_showSpeeds;
};

} // namespace orinsub::views
