#include "MidiDecoder.h"

namespace orinsub::surfaces::midi {

namespace {

int DataLength(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

} // namespace

void MidiDecoder::DeclareFine(int channel, int number)
{
    if (channel < 0 || channel > 15 || number < 0 || number > 31)
        return;
    m_fine.set(channel * 32 + number);
}

void MidiDecoder::Feed(std::span<const uint8_t> bytes, std::vector<MidiMessage> &out)
{
    for (const uint8_t byte : bytes) {
        if (byte >= 0xF8) // real-time: clock, start, stop, active sensing, reset
            continue;
        if (byte & 0x80) {
            m_count = 0;
            if (byte == 0xF7 && m_inExclusive) {
                // Surfaces go on with their running status after a system-exclusive reply.
                m_status = m_statusBeforeExclusive;
            } else {
                if (byte == 0xF0 && !m_inExclusive)
                    m_statusBeforeExclusive = m_status;
                // System common ends running status; its data bytes then fall on no status.
                m_status = byte < 0xF0 ? byte : 0;
            }
            m_inExclusive = byte == 0xF0;
            continue;
        }
        if (m_inExclusive || m_status == 0)
            continue;
        m_data[m_count++] = byte;
        if (m_count == DataLength(m_status)) {
            Complete(out);
            m_count = 0;
        }
    }
}

void MidiDecoder::Complete(std::vector<MidiMessage> &out)
{
    const int channel = m_status & 0x0F;
    const int first = m_data[0];
    const int second = m_data[1];
    switch (m_status & 0xF0) {
    case 0x80:
        out.push_back({MidiMessage::Type::Note, channel, first, 0});
        break;
    case 0x90:
        out.push_back({MidiMessage::Type::Note, channel, first, second});
        break;
    case 0xB0:
        if (first < 32 && IsFine(channel, first)) {
            m_coarse[channel * 32 + first] = second;
            out.push_back({MidiMessage::Type::FineControl, channel, first, second << 7});
        } else if (first >= 32 && first < 64 && IsFine(channel, first - 32)) {
            const int coarse = m_coarse[channel * 32 + first - 32];
            if (coarse >= 0) // a fine byte without its coarse byte says nothing
                out.push_back(
                    {MidiMessage::Type::FineControl, channel, first - 32, coarse << 7 | second});
        } else {
            out.push_back({MidiMessage::Type::Control, channel, first, second});
        }
        break;
    case 0xE0:
        out.push_back({MidiMessage::Type::PitchBend, channel, 0, second << 7 | first});
        break;
    default: // aftertouch, program change, channel pressure
        break;
    }
}

} // namespace orinsub::surfaces::midi
