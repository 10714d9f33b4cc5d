#include "ChaseTimeline.h"

#include <algorithm>
#include <cmath>

namespace orinsub::model {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr nanoseconds kMinStep = milliseconds(kMinChaseStepMs);
constexpr nanoseconds kMaxStep = milliseconds(kMaxChaseStepMs);
constexpr double kNanosecondsPerMinute = 60e9;

} // namespace

ChaseTimeline::ChaseTimeline(Duration step) : m_step(std::clamp(step, kMinStep, kMaxStep)) {}

void ChaseTimeline::Start(TimePoint now, bool carryOn, uint32_t seed)
{
    if (m_running)
        return;
    if (!carryOn || !m_ran) {
        m_position = 0;
        m_seed = seed;
    }
    m_anchor = now;
    m_running = true;
    m_ran = true;
}

void ChaseTimeline::Stop(TimePoint now)
{
    if (!m_running)
        return;
    MoveTo(PositionAt(now), now);
    m_running = false;
}

void ChaseTimeline::SetStep(Duration step, TimePoint now)
{
    MoveTo(PositionAt(now), now);
    m_step = std::clamp(step, kMinStep, kMaxStep);
}

void ChaseTimeline::NextStep(TimePoint now)
{
    MoveTo((PositionAt(now) / dmx::kStepUnits + 1) * dmx::kStepUnits, now);
}

void ChaseTimeline::SyncBeat(TimePoint now)
{
    const int64_t position = PositionAt(now);
    MoveTo((position + dmx::kStepUnits / 2) / dmx::kStepUnits * dmx::kStepUnits, now);
}

void ChaseTimeline::MoveTo(int64_t position, TimePoint now)
{
    m_position = position;
    m_anchor = now;
}

int64_t ChaseTimeline::PositionAt(TimePoint now) const
{
    return m_running ? dmx::ChasePositionAt(Retimed({}), now) : m_position;
}

dmx::ChaseTiming ChaseTimeline::Timing(const Chase &chase) const
{
    dmx::ChaseTiming timing;
    timing.crossfade =
        static_cast<int32_t>(std::clamp(chase.crossfadePercent, 0, 100) * dmx::kStepUnits / 100);
    timing.direction = chase.direction;
    timing.stepCount = static_cast<int>(chase.steps.size());
    return Retimed(timing);
}

dmx::ChaseTiming ChaseTimeline::Retimed(dmx::ChaseTiming timing) const
{
    timing.anchor = m_anchor;
    timing.position = m_position;
    timing.step = m_step;
    timing.seed = m_seed;
    return timing;
}

double BpmOfStep(nanoseconds step)
{
    if (step.count() <= 0)
        return 0;
    return std::round(kNanosecondsPerMinute * 10 / static_cast<double>(step.count())) / 10;
}

nanoseconds StepOfBpm(double bpm)
{
    if (!(bpm > 0)) // NaN too: the slowest step, never a division by nothing
        return kMaxStep;
    const double step = std::round(kNanosecondsPerMinute / bpm);
    return nanoseconds(static_cast<int64_t>(std::clamp(step, static_cast<double>(kMinStep.count()),
                                                       static_cast<double>(kMaxStep.count()))));
}

} // namespace orinsub::model
