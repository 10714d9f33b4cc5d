#pragma once

#include <cstdint>
#include <vector>

namespace orinsub::surfaces::midi {

/// One channel message as a surface control sends it, after running status and 14-bit pairs
/// are resolved.
struct MidiMessage
{
    enum class Type {
        Note,        // note on/off: value is the velocity, 0 for off (note off or velocity 0)
        Control,     // 7-bit control change: value 0..127
        FineControl, // 14-bit control change pair n (0..31) and n + 32: value 0..16383
        PitchBend,   // value 0..16383
    };

    Type type = Type::Control;
    int channel = 0; // 0..15 (shown 1..16)
    int number = 0;  // note or controller number; 0 for pitch bend
    int value = 0;

    bool operator==(const MidiMessage &other) const = default;
};

/// The largest value of a message type (127 or 16383).
int MaxValue(MidiMessage::Type type);

/// The level (0..255) a value of that type plays: round(v × 255 / max).
int LevelFromValue(MidiMessage::Type type, int value);
/// The most levels between two neighbouring values of the type: 3 for 7-bit, 1 for 14-bit.
int LevelStep(MidiMessage::Type type);
/// The value of that type nearest to a level (0..255), so that it plays the level back.
int ValueFromLevel(MidiMessage::Type type, int level);

/// The bytes of a message as the surface would send it (a 14-bit pair: coarse then fine;
/// a note of value 0: note on with velocity 0). Values are clamped to the type's range.
void AppendBytes(const MidiMessage &message, std::vector<uint8_t> &out);

} // namespace orinsub::surfaces::midi
