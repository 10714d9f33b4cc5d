#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace orinsub::dmx {

/// Calls a function at a fixed rate on a thread of its own (the link tick's clock). The program
/// uses MonotonicTimer; tests install timers they fire by hand.
class PeriodicTimer
{
public:
    using Tick = std::function<void()>;

    PeriodicTimer() = default;
    virtual ~PeriodicTimer() = default;
    PeriodicTimer(const PeriodicTimer &) = delete;
    PeriodicTimer &operator=(const PeriodicTimer &) = delete;

    /// Calls tick every period, the first time one period from now. False when the timer already
    /// runs or could not start.
    virtual bool Start(std::chrono::nanoseconds period, Tick tick) = 0;
    /// Stops the ticks: when it returns, no tick is running and none will start. A no-op when the
    /// timer does not run. Never call it from inside a tick.
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
};

/// A new timer of the kind in force: a MonotonicTimer unless a test installed a factory.
std::unique_ptr<PeriodicTimer> NewPeriodicTimer();

using PeriodicTimerFactory = std::unique_ptr<PeriodicTimer> (*)();
/// Installs the factory NewPeriodicTimer uses; null restores MonotonicTimer. UI thread.
void SetPeriodicTimerFactory(PeriodicTimerFactory factory);

} // namespace orinsub::dmx
