#pragma once

#include "dmx/PeriodicTimer.h"

#include <functional>

namespace orinsub::testing {

/// A periodic timer that ticks only when the test calls Fire, on the test's thread.
class ManualTimer : public dmx::PeriodicTimer
{
public:
    bool Start(std::chrono::nanoseconds period, Tick tick) override
    {
        if (m_tick)
            return false;
        this->period = period;
        m_tick = std::move(tick);
        return true;
    }
    void Stop() override
    {
        if (m_tick && onStop)
            onStop();
        m_tick = nullptr;
    }
    bool IsRunning() const override { return static_cast<bool>(m_tick); }

    /// One tick, as the timer would run it; nothing when stopped.
    void Fire()
    {
        if (m_tick)
            m_tick();
    }

    std::chrono::nanoseconds period{};
    /// Runs when a running timer is stopped, before it stops: to look at the world at that moment.
    std::function<void()> onStop;

private:
    Tick m_tick;
};

} // namespace orinsub::testing
