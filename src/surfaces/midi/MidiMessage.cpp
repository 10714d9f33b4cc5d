#include "MidiMessage.h"

#include <algorithm>

namespace orinsub::surfaces::midi {

int MaxValue(MidiMessage::Type type)
{
    return type == MidiMessage::Type::FineControl || type == MidiMessage::Type::PitchBend ? 16383
                                                                                          : 127;
}

int LevelFromValue(MidiMessage::Type type, int value)
{
    const int max = MaxValue(type);
    return (std::clamp(value, 0, max) * 255 + max / 2) / max;
}

int LevelStep(MidiMessage::Type type)
{
    const int max = MaxValue(type);
    return (255 + max - 1) / max;
}

int ValueFromLevel(MidiMessage::Type type, int level)
{
    const int max = MaxValue(type);
    return (std::clamp(level, 0, 255) * max + 127) / 255;
}

void AppendBytes(const MidiMessage &message, std::vector<uint8_t> &out)
{
    const auto channel = static_cast<uint8_t>(message.channel & 0x0F);
    const auto number = static_cast<uint8_t>(message.number & 0x7F);
    const int value = std::clamp(message.value, 0, MaxValue(message.type));
    const auto coarse = static_cast<uint8_t>(value >> 7);
    const auto fine = static_cast<uint8_t>(value & 0x7F);
    switch (message.type) {
    case MidiMessage::Type::Note:
        out.insert(out.end(),
                   {static_cast<uint8_t>(0x90 | channel), number, static_cast<uint8_t>(value)});
        break;
    case MidiMessage::Type::Control:
        out.insert(out.end(),
                   {static_cast<uint8_t>(0xB0 | channel), number, static_cast<uint8_t>(value)});
        break;
    case MidiMessage::Type::FineControl:
        out.insert(out.end(),
                   {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(number & 0x1F),
                    coarse, static_cast<uint8_t>(0xB0 | channel),
                    static_cast<uint8_t>((number & 0x1F) + 32), fine});
        break;
    case MidiMessage::Type::PitchBend:
        out.insert(out.end(), {static_cast<uint8_t>(0xE0 | channel), fine, coarse});
        break;
    }
}

} // namespace orinsub::surfaces::midi
