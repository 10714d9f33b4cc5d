#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace orinsub::dmx {

// What the link tick needs to know of chases to play them at its own time. The console's chase
// model (model/Chase.h) takes these as its own.
inline constexpr int kChaseChannels = 80; // a step's look: one level per console channel
inline constexpr int kMaxChaseSteps = 99;

/// A step's look: the level of channel n at n - 1.
using ChaseLook = std::array<uint8_t, kChaseChannels>;

/// The order a chase plays its steps in. Random never plays the same step twice in a row.
enum class ChaseDirection : uint8_t { Forward = 0, Backward = 1, Bounce = 2, Random = 3 };

using ChaseClock = std::chrono::steady_clock;

/// A chase's position counts steps from the first step of its run, in millionths.
inline constexpr int64_t kStepUnits = 1'000'000;
/// How far a fade has come: 0 at its start, kFadeScale at its end.
inline constexpr uint32_t kFadeScale = 1u << 16;

/// Everything that says where a running chase stands at any time: at anchor it stood at
/// position, and it moves on one step per step time. Each step begins with a fade from the step
/// before over crossfade (in kStepUnits of the step), then holds.
struct ChaseTiming
{
    ChaseClock::time_point anchor{};
    int64_t position = 0;
    std::chrono::nanoseconds step{std::chrono::milliseconds(500)};
    int32_t crossfade = 0;
    ChaseDirection direction = ChaseDirection::Forward;
    uint32_t seed = 0; // the random order's
    int stepCount = 0;

    bool operator==(const ChaseTiming &) const = default;
};

/// What a chase shows at a moment: step (an index into its steps) reached from the step from by
/// share (0..kFadeScale) of the fade. Meaningless for a chase without steps.
struct ChaseMoment
{
    int step = 0;
    int from = 0;
    uint32_t share = kFadeScale;

    bool operator==(const ChaseMoment &) const = default;
};

/// The position at t; t before the anchor counts as the anchor.
int64_t ChasePositionAt(const ChaseTiming &timing, ChaseClock::time_point t);
/// The step index played on beat (0 the first of a run, counting every step played) in the
/// given order. Random plays every step once in each round of stepCount beats, in an order drawn
/// from the seed and the round, never the same step twice in a row (with one or two steps it
/// alternates as forward does).
int ChaseStepOfBeat(ChaseDirection direction, int stepCount, uint32_t seed, int64_t beat);
/// What the chase shows at t. The first beat of a run shows its step at once, without a fade.
ChaseMoment ChaseMomentAt(const ChaseTiming &timing, ChaseClock::time_point t);
/// from moved toward to by share of kFadeScale, rounded.
constexpr uint8_t BlendLevel(uint8_t from, uint8_t to, uint32_t share)
{
    return static_cast<uint8_t>(
        (uint32_t{from} * (kFadeScale - share) + uint32_t{to} * share + kFadeScale / 2) /
        kFadeScale);
}

} // namespace orinsub::dmx
