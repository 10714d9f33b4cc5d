#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

namespace orinsub::dmx {

/// The dimmers' curves as the link applies them last, on every slot it sends: a table of 256
/// levels per slot, so the tick's cost is one look-up a slot whatever the curves are. Every
/// entry is a relaxed atomic: a frame sent while a table changes carries the old or the new
/// level of each slot, never anything else. Starts linear.
class CurveStage
{
public:
    static constexpr int kSlots = 512;

    CurveStage();

    /// The table of slot 1..512 (others are ignored). UI thread.
    void SetTable(int slot, std::span<const uint8_t, 256> table);
    /// Puts slots 1..512 of frame (the start code at 0) through their tables. Any thread.
    void Apply(std::span<uint8_t, kSlots + 1> frame) const;

private:
    std::array<std::array<std::atomic<uint8_t>, 256>, kSlots> m_tables;
};

} // namespace orinsub::dmx
