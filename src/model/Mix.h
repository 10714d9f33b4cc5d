#pragma once

#include "ShowLimits.h"
#include "dmx/Levels.h"

#include <array>
#include <cstdint>

namespace orinsub::model {

/// Last computed output level of each channel: entry n - 1 for channel n (1..80, 81 the spare
/// channel). UI thread only.
extern std::array<uint8_t, 512> s_channelLevels;

using dmx::GrandMasterLevel;
using dmx::ScaleLevel;

/// Two-preset crossfade of rows A and B under handles xa and xb. While the handles overlap
/// (xa + xb > 255) the result moves from the lower row level toward the higher one.
constexpr uint8_t CrossfadeLevel(uint8_t a, uint8_t b, uint8_t xa, uint8_t xb)
{
    if (int{xa} + int{xb} <= 255)
        return static_cast<uint8_t>(ScaleLevel(a, xa) + ScaleLevel(b, xb));
    if (a < b)
        return static_cast<uint8_t>(a + ScaleLevel(b - a, xb));
    return static_cast<uint8_t>(b + ScaleLevel(a - b, xa));
}

/// Highest takes precedence: a sub-master level s under a fader at m raises out, never lowers it.
constexpr uint8_t HighestTakesPrecedence(uint8_t out, uint8_t s, uint8_t m)
{
    const uint8_t t = ScaleLevel(s, m);
    return t > out ? t : out;
}

/// Recomputes channel n (1..81) from the desk as registered in g_orin, stores it in
/// s_channelLevels and on every patched slot of the DMX port's output frame. Slots outside
/// 1..512 are never written. Missing panes read as 0. UI thread only; allocates nothing.
///
/// After the crossfade and the sub-masters (a held flash button playing its sub-master as if
/// its fader were full; in solo mode, while any is held, only the held sub-masters play and the
/// rows and other sub-masters count as 0), the grand master scales the level and blackout takes
/// it to 0. Independent channels play the faders as they stand: no flash, solo, grand master or
/// blackout reaches them. The spare channel is not independent.
void MixChannel(int n);

/// MixChannel for channels 1..80 in ascending order.
void RecomputeAllChannels();

/// Channels 1..80 as the faders set them, before flash, solo, the grand master and blackout
/// (entry n - 1 for channel n): the look that recording from the output keeps. UI thread only.
std::array<uint8_t, kConsoleChannels> LevelsUnderMasters();

} // namespace orinsub::model
