#pragma once

#include <array>
#include <chrono>
#include <optional>

namespace orinsub::model {

/// A speed from taps on a button: the average time between the last kTaps taps, given from the
/// kTaps-th tap of a count on. A pause of kPause or more starts a new count.
class TapTempo
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr int kTaps = 4;
    static constexpr std::chrono::seconds kPause{2};

    /// A tap at t (taps come in time order); the step time once the count has kTaps taps.
    std::optional<std::chrono::nanoseconds> Tap(TimePoint t);
    /// Taps in the count so far.
    int GetCount() const { return m_count; }

private:
    std::array<TimePoint, kTaps> m_taps{}; // the last taps, m_count of them, oldest first
    int m_count = 0;
};

} // namespace orinsub::model
