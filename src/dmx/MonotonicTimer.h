#pragma once

#include "PeriodicTimer.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace orinsub::dmx {

/// The deadline after previous on the grid previous + k * period that is not in the past at now
/// (all in nanoseconds). Deadlines missed while a tick overran are skipped, not made up for in a
/// burst, and the grid never shifts, so the rate does not drift.
int64_t NextDeadline(int64_t previous, int64_t now, int64_t period);

/// The program's periodic timer: a thread that sleeps to absolute deadlines on the monotonic
/// clock, with real-time priority where the system grants it. Stop waits for a running tick and,
/// at worst, for the rest of the current period.
class MonotonicTimer final : public PeriodicTimer
{
public:
    MonotonicTimer() = default;
    ~MonotonicTimer() override;

    bool Start(std::chrono::nanoseconds period, Tick tick) override;
    void Stop() override;
    bool IsRunning() const override { return m_thread.joinable(); }
    /// Whether the thread got real-time priority (root or an rtprio limit); known once it ticked.
    bool IsRealTime() const { return m_realTime.load(); }

private:
    void Run(int64_t period);

    Tick m_tick;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_realTime{false};
    std::thread m_thread;
};

} // namespace orinsub::dmx
