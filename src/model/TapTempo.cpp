#include "TapTempo.h"

#include <algorithm>

namespace orinsub::model {

std::optional<std::chrono::nanoseconds> TapTempo::Tap(TimePoint t)
{
    if (m_count > 0 && t - m_taps[m_count - 1] >= kPause)
        m_count = 0;
    if (m_count == kTaps)
        std::shift_left(m_taps.begin(), m_taps.end(), 1);
    else
        ++m_count;
    m_taps[m_count - 1] = t;
    if (m_count < kTaps)
        return std::nullopt;
    return (m_taps[kTaps - 1] - m_taps[0]) / (kTaps - 1);
}

} // namespace orinsub::model
