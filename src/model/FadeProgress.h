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

/// One crossfader handle's way in a fade: it stands at from for delay, then travels to over
/// duration.
struct HandleTravel
{
    uint8_t from = 0;
    uint8_t to = 0;
    std::chrono::milliseconds delay{0};
    std::chrono::milliseconds duration{0};

    /// Where the handle stands once elapsed has gone by. Truncating toward the start keeps every
    /// step on the same side of the end level, so the handle only ever moves one way and reaches
    /// the end on its last step alone; in 64 bits, so an hour's fade in milliseconds stays exact.
    uint8_t LevelAt(std::chrono::milliseconds elapsed) const
    {
        if (elapsed >= delay + duration)
            return to;
        if (elapsed <= delay)
            return from;
        return static_cast<uint8_t>(from + int64_t{to - from} * (elapsed - delay).count() /
                                               duration.count());
    }
    bool operator==(const HandleTravel &) const = default;
};

/// Both handles' ways in a fade toward row incoming from where they stand (from, by row): the
/// incoming handle rises to 255 over up, the other waits delay and falls to 0 over down.
inline std::array<HandleTravel, 2> TravelsOf(int incoming, std::array<uint8_t, 2> from,
                                             const FadeTimes &times)
{
    std::array<HandleTravel, 2> travels;
    travels[incoming] = {from[incoming], 255, std::chrono::milliseconds(0), times.up};
    travels[1 - incoming] = {from[1 - incoming], 0, times.delay, times.down};
    return travels;
}

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
    /// The handles' ways from the start of the fade.
    std::array<HandleTravel, 2> Travels() const { return TravelsOf(incoming, from, times); }
    bool operator==(const FadeProgress &) const = default;
};

} // namespace orinsub::model
