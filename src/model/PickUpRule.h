#pragma once

namespace orinsub::model {

/// A control's value before its first one: nothing to have moved from.
inline constexpr int kNoLastValue = -1;

/// Whether a control that went from last to now catches a fader standing at level: it reached
/// or crossed it. Its first value (last is kNoLastValue) has no travel to judge by: it catches
/// when within step of the level, step being the control's resolution in levels (1: every
/// level; a 7-bit control lands only near the level, never on every one).
///
/// The one rule of the console's pick-up: the DMX input takes a hooked fader over, and a surface
/// fader without a motor takes a console fader over, by it.
constexpr bool PicksUp(int level, int last, int now, int step = 1)
{
    if (last == kNoLastValue)
        return (now > level ? now - level : level - now) <= step;
    return (last <= level && level <= now) || (now <= level && level <= last);
}

} // namespace orinsub::model
