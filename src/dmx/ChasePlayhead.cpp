#include "ChasePlayhead.h"

#include <algorithm>
#include <numeric>

namespace orinsub::dmx {

namespace {

uint64_t SplitMix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

/// Step index at place of round's order: every step once, drawn from the seed and the round.
int ShuffledStep(int stepCount, uint32_t seed, int64_t round, int place)
{
    std::array<uint8_t, kMaxChaseSteps> order;
    std::iota(order.begin(), order.begin() + stepCount, 0);
    uint64_t state = SplitMix(uint64_t{seed} << 32 ^ static_cast<uint64_t>(round));
    for (int i = stepCount - 1; i > 0; --i) {
        state = SplitMix(state);
        std::swap(order[i], order[state % static_cast<uint64_t>(i + 1)]);
    }
    return order[place];
}

int RandomStep(int stepCount, uint32_t seed, int64_t beat)
{
    const int64_t round = beat / stepCount;
    const int place = static_cast<int>(beat % stepCount);
    // A round that would begin with the step the round before ended on begins with its second
    // step instead. With three steps or more that never changes the round's last step, so each
    // round depends on the one before only.
    const auto isRepeat = [&] {
        return round > 0 && ShuffledStep(stepCount, seed, round, 0) ==
                                ShuffledStep(stepCount, seed, round - 1, stepCount - 1);
    };
    if (place <= 1 && isRepeat())
        return ShuffledStep(stepCount, seed, round, 1 - place);
    return ShuffledStep(stepCount, seed, round, place);
}

} // namespace

int64_t ChasePositionAt(const ChaseTiming &timing, ChaseClock::time_point t)
{
    const int64_t elapsed = std::max<int64_t>(0, (t - timing.anchor).count());
    const int64_t step = std::max<int64_t>(1, timing.step.count());
    // Whole steps apart from the rest, so that hours of running never overflow.
    return timing.position + elapsed / step * kStepUnits + elapsed % step * kStepUnits / step;
}

int ChaseStepOfBeat(ChaseDirection direction, int stepCount, uint32_t seed, int64_t beat)
{
    if (stepCount <= 1)
        return 0;
    beat = std::max<int64_t>(0, beat);
    switch (direction) {
    case ChaseDirection::Forward:
        break;
    case ChaseDirection::Backward:
        return stepCount - 1 - static_cast<int>(beat % stepCount);
    case ChaseDirection::Bounce: {
        const int turn = static_cast<int>(beat % (2 * stepCount - 2));
        return turn < stepCount ? turn : 2 * stepCount - 2 - turn;
    }
    case ChaseDirection::Random:
        if (stepCount > 2)
            return RandomStep(stepCount, seed, beat);
        break;
    }
    return static_cast<int>(beat % stepCount);
}

ChaseMoment ChaseMomentAt(const ChaseTiming &timing, ChaseClock::time_point t)
{
    const int stepCount = std::clamp(timing.stepCount, 0, kMaxChaseSteps);
    const int64_t position = ChasePositionAt(timing, t);
    const int64_t beat = position / kStepUnits;
    const int64_t into = position % kStepUnits;
    ChaseMoment moment;
    moment.step = ChaseStepOfBeat(timing.direction, stepCount, timing.seed, beat);
    moment.from = beat > 0 ? ChaseStepOfBeat(timing.direction, stepCount, timing.seed, beat - 1)
                           : moment.step;
    if (beat > 0 && into < timing.crossfade)
        moment.share = static_cast<uint32_t>(into * kFadeScale / timing.crossfade);
    return moment;
}

} // namespace orinsub::dmx
