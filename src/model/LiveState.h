#pragma once

#include "FadeProgress.h"
#include "ShowExtension.h"
#include "ShowLimits.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace orinsub::model {

/// What the desk plays that no show stores: the faders as the operator left them and where the
/// cue list stands, so that the stage comes back after a crash or a power cut. Rows and handles
/// 0 A, 1 B.
struct LiveState
{
    using Look = std::array<uint8_t, kDimmers>; // slot n at n - 1
    struct SubFader
    {
        uint8_t level = 0;
        uint8_t page = 1; // of the sub-master it plays
        bool operator==(const SubFader &) const = default;
    };
    /// Which "IN" buttons are on (input take-over), one bit each.
    enum TakeOver : uint8_t { kTakeOverA = 1, kTakeOverB = 2, kTakeOverSub = 4 };

    std::array<std::array<uint8_t, kConsoleChannels>, 2> rows{}; // channel n at n - 1
    std::array<uint8_t, 2> handles{0, 255};
    bool linked = false;
    uint8_t lastOnAir = 1; // the row last fully on air
    std::array<SubFader, kSubMastersPerPage> subFaders{};
    uint8_t page = 1; // shown
    uint8_t grandMaster = 255;
    bool blackout = false;
    uint16_t fadeTime = kDefaultFadeTime; // tenths of a second
    uint8_t takeOvers = 0;
    QString showPath; // the show on the desk; empty for an untitled one

    // Since version 2.
    bool cuePlaying = false; // キュー再生
    int currentCue = 0;      // the cue on stage, tenths; 0 before the first
    FadeProgress fade;
    std::optional<std::chrono::milliseconds> followLeft; // a follow waiting to start its cue
    bool locked = false;
    std::optional<Look> look; // the output as it went out, held while a restart asks

    bool operator==(const LiveState &) const = default;
    /// Nothing a console that starts afresh would not show: no fader raised, the crossfader
    /// and the masters as they start, no take-over, no cue played, no lock (the show, its fade
    /// time and the look that follows from the rest aside).
    bool IsFresh() const;
};

/// A live state as read from its file; problem says in Japanese why there is none.
struct LiveStateRead
{
    std::optional<LiveState> state;
    QString problem;
};

/// The live state's file: magic "ORIN-LIV", version u16, payload length u32, CRC-32 u32 (of the
/// version, length and payload), then the payload, little-endian:
///
///   rows          160 bytes: row A channels 1..80, then row B
///   handles       2 bytes: A, B
///   linked        1 byte (0, 1)
///   lastOnAir     1 byte (0 A, 1 B)
///   subFaders     20 x (level, page 1..20)
///   page          1 byte (1..20)
///   grandMaster   1 byte
///   blackout      1 byte (0, 1)
///   fadeTime      1 byte (tenths of a second); u16 since version 3
///   takeOvers     1 byte (bits: 1 A, 2 B, 4 sub-masters)
///   showPath      u32 length, then UTF-8
///
/// and since version 2 (a file of version 1 ends there):
///
///   cuePlaying    1 byte (0, 1)
///   currentCue    u16 (0, or a cue number in tenths)
///   fade          phase 1 byte (0 none, 1 running, 2 stopped), incoming row 1 byte, the handles
///                 as it started 2 bytes, up, down, delay and elapsed u32 milliseconds each
///                 (up to a delay and a down time of 59:59.9 each)
///   followLeft    1 byte (0 none, 1 waiting), u32 milliseconds
///   locked        1 byte (0, 1)
///   look          1 byte (0 none, 1 held), then 512 bytes
class LiveStateFile
{
public:
    static constexpr uint16_t kVersion = 3;
    /// Larger than any file of a whole state (its path included): a larger one is not read.
    static constexpr qint64 kMaxFileBytes = 16 * 1024;
    static QByteArray Encode(const LiveState &state);
    /// Refuses anything but a whole, undamaged state of version 1 to 3 with every value in range.
    static LiveStateRead Decode(const QByteArray &bytes);
};

} // namespace orinsub::model
