#pragma once

#include <cstdint>

namespace orinsub::dmx {

/// level * master / 255, truncated: how a fader scales a level.
constexpr uint8_t ScaleLevel(uint8_t level, uint8_t master)
{
    return static_cast<uint8_t>(int{level} * int{master} / 255);
}

/// level * gm / 255, rounded to the nearest level (255 being odd, there is never a tie): the grand
/// master at full passes every level unchanged and at 0 gives 0.
constexpr uint8_t GrandMasterLevel(uint8_t level, uint8_t gm)
{
    return static_cast<uint8_t>((int{level} * int{gm} + 127) / 255);
}

} // namespace orinsub::dmx
