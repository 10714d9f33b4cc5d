#pragma once

#include "ShowExtension.h"
#include "ShowFileFormat.h"

#include <QByteArray>
#include <span>

namespace orinsub::model {

// The extension block follows the last sub-master record and ends the file. Little-endian:
//
//   magic    8 bytes  "ORIN-EXT"
//   version  u16      kExtensionVersion
//   length   u32      of the payload in bytes
//   CRC-32   u32      of the version and length bytes followed by the payload
//   payload  records, each: kind u16, data length u32, data
//
// These header fields keep their layout in every version. A console that reads the original
// records only stops after the last sub-master, so it sees the show without its additions. A
// newer version, or a record kind this console does not know, refuses the show as TooNew, as
// opening and saving it again would silently drop what this console cannot read.
inline constexpr char kExtensionMagic[8] = {'O', 'R', 'I', 'N', '-', 'E', 'X', 'T'};
inline constexpr uint16_t kExtensionVersion = 1;
inline constexpr size_t kExtensionHeaderSize = 18;
inline constexpr size_t kExtensionRecordHeaderSize = 6;

enum class ExtensionRecord : uint16_t {
    IndependentChannels = 1, // 10 bytes: channel n is bit (n - 1) % 8 of byte (n - 1) / 8
    FlashMode = 2,           // 1 byte: 0 flash, 1 solo
    FadeTime = 3,            // 1 byte: tenths of a second
    // Count u16 (0..999), then each cue in ascending number order: number u16 (tenths,
    // 10..9999), up time, down time and delay u8 each (tenths of a second), follow u16 (tenths
    // of a second 0..9999, or kNoFollow), the look (80 levels, channel n at n - 1), the label's
    // length u16 (UTF-16 units, 0..255) and the label in UTF-16LE.
    CueList = 4,
    // The long-time forms of FadeTime and CueList, written instead of them only when a time
    // does not fit them (above kMaxShortTime, a follow above kMaxShortFollow): a show without
    // long times stays byte for byte what it was, and a console from before them refuses a
    // show with them as TooNew instead of reading its times wrongly. One form of each per block.
    LongFadeTime = 5, // u16: tenths of a second, 0..35999 (59:59.9)
    LongCueList = 6,  // as CueList, with up time, down time and delay u16 each; every time,
                      // the follow too, 0..35999 (59:59.9)
    // Count u16 (0..99), then each chase in ascending number order: number u8 (1..99), step time
    // u16 (ms, 50..60000), crossfade u8 (percent of the step, 0..100), direction u8 (0 forward,
    // 1 backward, 2 bounce, 3 random), flags u8 (bit 0: raising the fader restarts at step 1;
    // the other bits 0), the sub-master it is put on as page u8 and number u8 (0 and 0: none;
    // else 1..20 each, one chase per sub-master), the name's length u8 (UTF-16 units, 0..63),
    // the name in UTF-16LE (no control characters), the step count u8 (0..99) and each step's
    // look (80 levels, channel n at n - 1). Written only when the show has chases.
    Chases = 7,
    // Count u16 (1..512), then each dimmer whose curve is not linear, in ascending order:
    // dimmer u16 (1..512), kind u8 (CurveKind), switch threshold u8 (1..100 %), top limit u8
    // (0..100 %).
    DimmerCurves = 8,
};
inline constexpr uint16_t kNoFollow = 0xFFFF;
// The longest times FadeTime and CueList hold, as consoles from before the long forms check them.
inline constexpr int kMaxShortTime = 255;
inline constexpr int kMaxShortFollow = 9999;

/// Outcome of reading an extension block: extension is filled only when status is Ok; problem
/// says, in Japanese, what is wrong when it is Corrupt.
struct ShowExtensionParse
{
    ShowFileStatus status = ShowFileStatus::Ok;
    QString problem;
    ShowExtension extension;
};

/// Writes and reads the extension block.
class ShowExtensionBlock
{
public:
    /// True when bytes begin with the block's magic.
    static bool BeginsBlock(std::span<const uint8_t> bytes);
    /// The block holding extension, with only the records that differ from a new show's, in
    /// kind order (a long form where its short one would stand); empty when none does.
    static QByteArray Encode(const ShowExtension &extension);
    /// Reads a block that starts at the first byte and must end exactly at the last. Records
    /// may come in any order, each field once in either form; a field not stored keeps its
    /// default.
    static ShowExtensionParse Decode(std::span<const uint8_t> bytes);
};

} // namespace orinsub::model
