#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>

namespace orinsub::model {

/// How the two crossfader handles travel in one fade: the incoming handle (of the row going on
/// air) rises to 255 over up; the outgoing one waits delay, then falls to 0 over down. Each
/// starts from where it stands.
struct FadeTimes
{
    std::chrono::milliseconds up{0};
    std::chrono::milliseconds down{0};
    std::chrono::milliseconds delay{0};

    /// Both handles at once over the same time: the desk's own GO.
    static FadeTimes Together(std::chrono::milliseconds time) { return {time, time, {}}; }
    std::chrono::milliseconds Total() const { return std::max(up, delay + down); }
    /// What is left of these times once elapsed has gone by.
    FadeTimes After(std::chrono::milliseconds elapsed) const
    {
        using std::chrono::milliseconds;
        const auto left = [](milliseconds time, milliseconds gone) {
            return std::max(milliseconds(0), time - std::max(milliseconds(0), gone));
        };
        return {left(up, elapsed), left(down, elapsed - delay), left(delay, elapsed)};
    }
    bool operator==(const FadeTimes &) const = default;
};

/// A crossfader fade as it stands: running, or stopped by a hand on a handle (the next GO of the
/// cue list completes it over what is left of its times). Rows and handles 0 A, 1 B.
struct FadeProgress
{
    enum class Phase : uint8_t { None = 0, Running = 1, Stopped = 2 };

    Phase phase = Phase::None;
    uint8_t incoming = 1;          // the row going on air
    std::array<uint8_t, 2> from{}; // the handles as the fade started
    FadeTimes times;
    std::chrono::milliseconds elapsed{0}; // run before it was stopped or captured

    bool IsActive() const { return phase != Phase::None; }
    bool operator==(const FadeProgress &) const = default;
};

} // namespace orinsub::model
