#include "MidiChecks.h"

#include "surfaces/midi/MidiDecoder.h"
#include "surfaces/midi/MidiMapping.h"

namespace orinsub::fuzz {

using namespace orinsub::surfaces::midi;

namespace {

// The stream's first two bytes choose 14-bit controllers, so the pairs get covered too.
MidiDecoder DecoderFor(std::span<const uint8_t> bytes)
{
    MidiDecoder decoder;
    if (bytes.size() >= 2)
        decoder.DeclareFine(bytes[0] & 0x0F, bytes[1] & 0x1F);
    return decoder;
}

bool InRange(const MidiMessage &m)
{
    const int maxNumber = m.type == MidiMessage::Type::FineControl ? 31
                          : m.type == MidiMessage::Type::PitchBend ? 0
                                                                   : 127;
    return m.channel >= 0 && m.channel <= 15 && m.number >= 0 && m.number <= maxNumber &&
           m.value >= 0 && m.value <= MaxValue(m.type);
}

} // namespace

std::string CheckMidiDecoder(std::span<const uint8_t> bytes)
{
    std::vector<MidiMessage> whole;
    MidiDecoder atOnce = DecoderFor(bytes);
    atOnce.Feed(bytes, whole);

    std::vector<MidiMessage> pieces;
    MidiDecoder byteByByte = DecoderFor(bytes);
    for (size_t i = 0; i < bytes.size(); ++i)
        byteByByte.Feed(bytes.subspan(i, 1), pieces);
    if (whole != pieces)
        return "the stream decodes differently when it arrives byte by byte";

    for (const MidiMessage &message : whole) {
        if (!InRange(message))
            return "a message out of range";
        std::vector<uint8_t> encoded;
        AppendBytes(message, encoded);
        std::vector<MidiMessage> again;
        MidiDecoder fresh = DecoderFor(bytes);
        fresh.Feed(encoded, again);
        // A 14-bit pair reads as its coarse value first, then the whole one.
        if (again.empty() || !(again.back() == message))
            return "a message does not encode and decode back to itself";
    }
    return {};
}

std::string CheckMidiMapping(std::span<const uint8_t> bytes)
{
    const QByteArray json(reinterpret_cast<const char *>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    const MappingReadResult read = ParseMapping(json, QStringLiteral("fuzz.json"));
    if (!read.mapping) {
        if (read.error.isEmpty() || read.error.contains(u'\n'))
            return "a refused file without a one-line reason";
        return {};
    }
    const std::vector<MidiBinding> &controls = read.mapping->controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (!InRange({controls[i].type, controls[i].channel, controls[i].number, 0}))
            return "an accepted control out of range";
        for (size_t j = 0; j < i; ++j) {
            if (controls[j].SameMessage(controls[i]) || controls[j].SharesController(controls[i]))
                return "two accepted controls that one stream cannot tell apart";
        }
    }
    const MappingReadResult again = ParseMapping(MappingToJson(*read.mapping), {});
    if (!again.mapping || !(*again.mapping == *read.mapping))
        return "a written mapping does not read back the same";
    return {};
}

} // namespace orinsub::fuzz
