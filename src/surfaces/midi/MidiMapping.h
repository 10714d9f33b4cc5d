#pragma once

#include "MidiMessage.h"
#include "surfaces/ControlTarget.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace orinsub::surfaces::midi {

/// One control of a surface: the message it sends and what it plays. A note on a continuous
/// target is that fader's touch sensor; any other message on a button target presses it while
/// its value is above 0.
struct MidiBinding
{
    MidiMessage::Type type = MidiMessage::Type::Control;
    int channel = 0; // 0..15
    int number = 0;  // 0..127 (fine controllers 0..31, pitch bend 0)
    ControlTarget target;

    bool IsTouch() const { return type == MidiMessage::Type::Note && target.IsContinuous(); }
    bool SameMessage(const MidiBinding &other) const
    {
        return type == other.type && channel == other.channel && number == other.number;
    }
    /// Whether a 14-bit pair n / n + 32 and a 7-bit control change on one of its numbers: both
    /// cannot be read from one stream.
    bool SharesController(const MidiBinding &other) const;
    bool operator==(const MidiBinding &other) const = default;
};

enum class MidiProfile { Generic, MackieControl };

/// What a surface sends and plays: its profile, whether its faders are motorised and its
/// controls.
struct MidiMapping
{
    MidiProfile profile = MidiProfile::Generic;
    bool motorised = false;
    std::vector<MidiBinding> controls;

    bool operator==(const MidiMapping &other) const = default;
};

/// The built-in mapping of a profile. Mackie Control: strips 1-8 as pitch bend on channels 1-8
/// with touch notes 104-111, the master strip (channel 9, touch note 112) as the crossfader,
/// bank left / right on notes 46 / 47; motorised. Generic: no control yet (learned or read
/// from a file), not motorised.
MidiMapping BuiltInMapping(MidiProfile profile);

/// A profile's name in mapping files and settings ("generic", "mackie-control"), and back.
QString ProfileName(MidiProfile profile);
std::optional<MidiProfile> ProfileFromName(const QString &name);

/// The largest mapping read, from a file or the settings.
inline constexpr qint64 kMaxMappingBytes = 1 << 20;

struct MappingReadResult
{
    std::optional<MidiMapping> mapping;
    QString error; // one line naming the file and the entry, when mapping is empty
};

/// Reads a mapping file's JSON: {"profile": ..., "motorised": ..., "controls": [{"message":
/// "note"|"cc"|"cc14"|"pitchbend", "channel": 1..16, "number": ..., "target": "B/1"}, ...]}.
/// Without "controls" the profile's built-in controls apply, without "motorised" the
/// profile's default. Strict: a key given twice (anywhere), numbers that are not integers,
/// unknown keys, values out of range and two controls on the same message are errors. fileName only
/// names the file in the error.
MappingReadResult ParseMapping(const QByteArray &json, const QString &fileName);
/// Reads the regular file at path (at most kMaxMappingBytes) as ParseMapping does.
MappingReadResult ReadMappingFile(const QString &path);

/// Binds what a surface control sent while learning to target, and tells the binding made;
/// nothing when the mapping had it already. The message's own binding on another target goes.
/// Control change n + 32 on the target of control change n (or the reverse) are the two halves
/// of a 14-bit fader sent before the console knew it: they become one cc14 n, and a halve
/// still coming in afterwards belongs to it.
std::optional<MidiBinding> LearnControl(MidiMapping &mapping, const MidiMessage &message,
                                        const ControlTarget &target);

/// The mapping as a file's JSON, every control listed; ParseMapping reads it back unchanged.
QByteArray MappingToJson(const MidiMapping &mapping);
/// Writes the file through a temporary file; false with a one-line error.
bool WriteMappingFile(const QString &path, const MidiMapping &mapping, QString &error);

} // namespace orinsub::surfaces::midi
