#pragma once

#include <QString>

#include <optional>

namespace orinsub::surfaces {

/// What a surface control plays, named one way everywhere (mapping files, OSC addresses after
/// "/orinsub/", the web page's data-target):
///   A/1..A/80, B/1..B/80   channel faders of row A / B
///   sub/1..sub/20          the sub-master faders left to right (whatever page they play)
///   xfade/A, xfade/B       one crossfader handle; xfade both, as the linked crossfader moves them
///   page/up, page/down     sub-master page buttons
///   in/A, in/B, in/sub     the three "IN" buttons (input take-over)
///   link                   the crossfader link (F1)
///   go                     the timed crossfade; go/time its fade time
///   strip/1..strip/N       the N-th target of the surface's current bank
///   bank/1..bank/N         selects bank N; bank/next, bank/prev step through the banks
struct ControlTarget
{
    enum class Kind {
        RowFader,        // row 0 (A) or 1 (B), index 0..79
        SubFader,        // index 0..19
        CrossfadeHandle, // index 0 (A) or 1 (B)
        Crossfade,
        PageUp,
        PageDown,
        Input, // index 0 row A, 1 row B, 2 sub-masters (the take-over targets)
        Link,
        Go,
        GoTime,
        Strip,      // index 0.. (strip/1 is index 0)
        BankSelect, // index 0.. (bank/1 is index 0)
        BankNext,
        BankPrevious,
    };

    Kind kind = Kind::Go;
    int row = 0;
    int index = 0;

    static constexpr int kChannels = 80;
    static constexpr int kSubFaders = 20;
    static constexpr int kMaxStrips = 128;
    static constexpr int kMaxBanks = 128;

    /// The target a name stands for; nothing for an unknown or out-of-range name.
    static std::optional<ControlTarget> Parse(const QString &name);
    /// The target's one name ("B/1", "sub/3", "xfade/A", ...).
    QString Name() const;

    /// A level-valued target (0..255): faders, handles, the crossfader, strips and go/time.
    /// Every other target is a button.
    bool IsContinuous() const;

    bool operator==(const ControlTarget &other) const = default;
};

} // namespace orinsub::surfaces
