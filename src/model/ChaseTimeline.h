#pragma once

#include "Chase.h"
#include "dmx/ChasePlayhead.h"

#include <chrono>
#include <cstdint>

namespace orinsub::model {

/// One chase's time: whether it runs, where it stands and how fast it goes. Every answer is a
/// function of the time it is given (dmx/ChasePlayhead.h), the one the link tick plays by, so the
/// desk and the wire agree; it holds no clock of its own.
class ChaseTimeline
{
public:
    using TimePoint = dmx::ChaseClock::time_point;
    using Duration = std::chrono::nanoseconds;

    ChaseTimeline() : ChaseTimeline(std::chrono::milliseconds(kDefaultChaseStepMs)) {}
    explicit ChaseTimeline(Duration step);

    /// Runs from now: from its first step in a new order drawn from seed, or on from where it
    /// stopped (in the order it had) when carryOn and it ran before.
    void Start(TimePoint now, bool carryOn, uint32_t seed);
    /// Stands still where it is at now.
    void Stop(TimePoint now);
    bool IsRunning() const { return m_running; }

    /// A new step time (clamped to the chase limits) from now on, the step under way going on
    /// from the share of it already gone: the look never jumps.
    void SetStep(Duration step, TimePoint now);
    Duration GetStep() const { return m_step; }
    /// The next step begins now.
    void NextStep(TimePoint now);
    /// A step begins now: the one under way again when it began in the nearer half of a step's
    /// time, else the next (a tap on the beat).
    void SyncBeat(TimePoint now);

    /// Steps since the run's first, in dmx::kStepUnits; still while stopped.
    int64_t PositionAt(TimePoint now) const;
    /// The timing chase plays by: this time with chase's steps, order and crossfade.
    dmx::ChaseTiming Timing(const Chase &chase) const;
    /// timing with this time instead of its own (its steps, order and crossfade kept).
    dmx::ChaseTiming Retimed(dmx::ChaseTiming timing) const;

private:
    void MoveTo(int64_t position, TimePoint now);

    TimePoint m_anchor{};
    int64_t m_position = 0; // at m_anchor
    Duration m_step;
    uint32_t m_seed = 0;
    bool m_running = false;
    bool m_ran = false;
};

/// BPM (one step per beat) for a step time, with one decimal as shown.
double BpmOfStep(std::chrono::nanoseconds step);
/// The step time for bpm, clamped to the chase limits.
std::chrono::nanoseconds StepOfBpm(double bpm);

} // namespace orinsub::model
