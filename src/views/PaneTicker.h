#pragma once

#include <QBasicTimer>

namespace orinsub::views {

/// The periodic tick of a console pane (status line and DMX input pick-up). It runs every
/// 10 ms while the pick-up has something to act on (an "IN" button on, or a fader hooked) and
/// every 100 ms otherwise, so that an idle console with an open interface wakes up ten times a
/// second instead of a hundred; while resting, the status line and the remembered input levels
/// still follow within one tick. Wake at once when an "IN" button goes on or faders are hooked.
class PaneTicker
{
public:
    static constexpr int kBusyPeriodMs = 10;
    static constexpr int kRestingPeriodMs = 100;

    /// Starts ticking on receiver's timerEvent, or changes the period when busy changed.
    void Schedule(QObject *receiver, bool busy)
    {
        const int period = busy ? kBusyPeriodMs : kRestingPeriodMs;
        if (m_timer.isActive() && period == m_period)
            return;
        m_period = period;
        m_timer.start(period, receiver);
    }
    bool IsRunning() const { return m_timer.isActive(); }
    bool IsTick(int timerId) const { return timerId == m_timer.timerId(); }
    /// The current period in milliseconds (0 before the first Schedule).
    int GetPeriod() const { return m_period; }

private:
    QBasicTimer m_timer;
    int m_period = 0;
};

} // namespace orinsub::views
