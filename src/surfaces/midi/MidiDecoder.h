#pragma once

#include "MidiMessage.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

namespace orinsub::surfaces::midi {

/// Turns the bytes a surface sends into channel messages: running status kept (across a
/// system-exclusive message too), system-exclusive and system-common bytes skipped, real-time
/// bytes ignored wherever they fall, a message cut short by another status byte dropped. Control
/// changes n and n + 32 of a controller declared fine become one 14-bit value (the coarse byte
/// resets the fine one, as MIDI has it). Messages the surfaces do not use (aftertouch, program
/// change) are read and dropped. Any byte stream is safe.
class MidiDecoder
{
public:
    MidiDecoder() { m_coarse.fill(-1); }

    /// Control changes number (0..31) and number + 32 on channel (0..15) form one 14-bit value.
    void DeclareFine(int channel, int number);
    /// Every controller 7-bit again.
    void ForgetFine()
    {
        m_fine.reset();
        m_coarse.fill(-1);
    }

    /// Reads bytes (continuing any message a previous call left open) and appends every
    /// complete message to out.
    void Feed(std::span<const uint8_t> bytes, std::vector<MidiMessage> &out);

private:
    void Complete(std::vector<MidiMessage> &out);
    bool IsFine(int channel, int number) const { return m_fine[channel * 32 + number]; }

    std::bitset<16 * 32> m_fine;
    std::array<int, 16 * 32> m_coarse{}; // last coarse byte of each fine controller, -1 before one
    uint8_t m_status = 0;                // running status, 0 for none
    uint8_t m_statusBeforeExclusive = 0;
    uint8_t m_data[2] = {};
    int m_count = 0;
    bool m_inExclusive = false;
};

} // namespace orinsub::surfaces::midi
